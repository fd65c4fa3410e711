// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A lab sheet: the problem a teacher hands out, the scheme and grid to run it
// on, the questions for the students, and the checks with their tolerances
// that `tamrel --check` measures on the finished run. The JSON file is read
// in the window layer (ui/window/LabSheetReader.h); this is what it becomes.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tamrel::sheets {

enum class CheckKind {
    L1, // the L1 density error against the exact solution at TStop: at most `tolerance`
    Value, // a variable in the cell holding x at time t: `expected` within `tolerance`
    Front, // the position of a wave at TStop: `expected` within `tolerance`
    Width, // the width of a wave at TStop (the density from 10 to 90 percent of its jump): at most
           // `tolerance`, or `expected` within `tolerance` when the sheet gives one
    Volume, // the fluid-2 volume at TStop (two-fluid scheme): `expected` within `tolerance`
    Order, // the fitted order of a convergence ladder: at least `minOrder` for every scheme
};

enum class Variable { Density, Pressure, Velocity, Fraction };

enum class Wave {
    Shock, // the one shock of the problem
    LeftShock,
    RightShock,
    Contact,
    Interface, // where the fluid-2 volume fraction crosses 1/2 (two-fluid scheme)
};

struct Check {
    std::string key; // where it stands in the sheet: "checks[2]"
    std::string name; // as printed
    CheckKind kind = CheckKind::L1;
    std::string scheme; // the scheme the check runs when it names one ("": the sheet's)
    double x = 0; // Value
    std::optional<double> time; // Value: nothing means TStop
    Variable variable = Variable::Density; // Value
    Wave wave = Wave::Contact; // Front, Width
    double expected = 0; // Value, Front, Volume, and Width when `widthExpected`
    bool widthExpected = false;
    double tolerance = 0; // L1, Value, Front, Width, Volume
    std::vector<std::string> schemes; // Order
    std::vector<long> cells; // Order
    double minOrder = 0; // Order
};

// A question whose answer is a number: graded against what the lab measures
// for one of the sheet's checks on the sheet's own run, or against an exact
// value the sheet gives, within `tolerance`.
struct NumericAnswer {
    std::size_t check = 0; // the check whose measured value is the reference
    std::optional<double> exact; // the reference instead, when the sheet gives it
    double tolerance = 0;
};

struct Question {
    std::string text;
    std::optional<NumericAnswer> answer; // nothing: answered in words, not graded
};

struct Problem {
    std::optional<int> test; // shock-tube test 1..kShockTubeTestCount
    std::vector<double> wave; // sound wave: A+, k+, A-, k-, A0, k0, u0 (or empty)
    std::optional<std::string> setupFile; // a set-up file, its path resolved against the sheet's folder
};

struct LabSheet {
    std::string file; // the sheet's own path
    std::string title;
    std::vector<Question> questions;
    bool reveal = false; // show expected values and tolerances before the sheet is checked
    Problem problem;
    std::string scheme;
    std::optional<long> cells;
    std::optional<double> courant;
    std::optional<double> periods;
    std::vector<Check> checks;
};

// Why a sheet cannot be used: the key it is about ("checks[1].tolerance",
// "problem") and a sentence.
struct SheetRefusal {
    std::string key;
    std::string reason;
    std::string text() const { return key.empty() ? reason : key + ": " + reason; }
};

const char* variableName(Variable v); // "density"
const char* waveName(Wave w); // "right shock"

} // namespace tamrel::sheets
