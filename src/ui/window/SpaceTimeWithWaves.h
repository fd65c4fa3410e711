// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's space-time picture with the exact waves over it, for the
// batch's picture files.

#include <QImage>
#include <string>

namespace tamrel {

class frmTamrel;

// The space-time picture the window shows, in colour, with the exact waves
// of the record's initial grid drawn over it (just the picture when there
// are none).
QImage SpaceTimeImageWithWaves(const frmTamrel& w);

bool SaveSpaceTimeWithWaves(const frmTamrel& w, const std::string& path);

} // namespace tamrel
