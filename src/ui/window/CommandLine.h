// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: the window (with an optional start-up name,
// and for scripts a timed exit with a screenshot) or a batch run.

namespace tamrel {

int runProgram(int argc, char** argv);

} // namespace tamrel
