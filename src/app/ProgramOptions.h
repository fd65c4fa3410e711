// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line, read before any window system is started: the
// options, their checks and the help text. Nothing here needs Qt, so --help,
// --version and a refused option answer on a machine without a display.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/BatchOptions.h"

namespace tamrel {

// What the window was asked for.
struct WindowStart {
    std::optional<std::string> studentName;
    std::optional<int> exitAfterShownMs; // close the window this long after it is shown
    std::optional<std::string> screenshotFile; // saved just before that close
    // The first size of the window in pixels ("-geometry WxH", X11 style; a
    // "+X+Y" after it places the window).
    std::optional<std::pair<int, int>> size;
    std::optional<std::pair<int, int>> position;
    std::optional<std::string> scene; // a problem set up and run before the window shows
    std::optional<std::string> openFile; // a lab sheet or a set-up file to open (tamrel FILE)
    int threads = 2;
};

struct ProgramOptions {
    enum class Action { Window, Batch, Convergence, Riemann, Check, Help, Version, List, Refused };
    Action action = Action::Window;
    // Help: the help text; Version: the version line; List: a line per
    // scheme or test (--list-schemes, --list-tests); Refused: the reason;
    // Riemann: the states (rhoL,uL,pL,rhoR,uR,pR[,gamma]), already checked.
    std::string text;
    WindowStart window; // for Window
    BatchOptions batch; // for Batch and Convergence
    std::vector<std::string> sheets; // for Check: the lab sheets, in the order given
    std::optional<std::string> answers; // for Check of one sheet: the student's answers file
    std::optional<std::string> report; // for Check of one sheet: the report (the student: window.studentName)
};

// Reads the arguments that follow the program's name. Options are
// "--name value" or "--name=value"; "-h" and "-v" stand for --help and
// --version. An unknown option, an option given twice, a value out of its
// range, an option of the other mode, or an output name whose extension is
// not its format's, is Refused with a one-line reason.
ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments);

// The option texts, grouped as --help shows them (the man page is made from
// the same texts).
struct OptionHelp {
    std::string shortName; // "-h", or empty
    std::string name; // "--cells"
    std::string value; // "N", or empty for a switch
    std::string help;
};
struct OptionHelpSection {
    std::string heading;
    std::vector<OptionHelp> options;
};
std::vector<OptionHelpSection> programOptionHelp();
const char* programSummary(); // one sentence: what the program is
const char* programHelpClosing(); // the notes after the options
const char* programVersion(); // "1.1.0"

std::string programHelpText();
std::string programVersionText();

} // namespace tamrel
