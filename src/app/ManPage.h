// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The manual page (troff, section 1), made from the same option texts as
// --help so the two cannot disagree.

#include <string>

namespace tamrel {

std::string programManPage();

} // namespace tamrel
