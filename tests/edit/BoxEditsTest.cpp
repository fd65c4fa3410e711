// SPDX-License-Identifier: GPL-3.0-or-later
// A box whose editing ends on a refused entry goes back to the value in
// force, with the reason and the allowed range.

#include <gtest/gtest.h>

#include "edit/BoxEdits.h"
#include "run/DefaultProblem.h"

using namespace tamrel;

namespace {

ExperimentState startUp()
{
    ExperimentState s;
    StartUpState(s);
    return s;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(BoxEdits, RefusedEntriesGoBackToTheValueInForceWithTheReason)
{
    ExperimentState s = startUp();
    s.CourantNumber = 0.8;
    s.Periods = 1.5;
    s.NPlotsPerPeriod = 400;
    s.MCurrent = 90;
    s.NStoredStates = 1;
    s.StoredStateShown = 0;
    struct Case {
        EditedBox box;
        const char* typed;
        const char* shown; // the value in force as the box writes it
        const char* reasonHas; // a part of the reason: the range allowed
    };
    const Case cases[] = {
        { EditedBox::GridSize, "3", "100", "from 6 to 5000" },
        { EditedBox::GridSize, "abc", "100", "not a number" },
        { EditedBox::CourantNumber, "abc", "0.8", "from 0.01 to below 1" },
        { EditedBox::CourantNumber, "1", "0.8", "from 0.01 to below 1" },
        { EditedBox::Periods, "0", "1.5", "above 0" },
        { EditedBox::PlotsPerPeriod, "0.2", "400", "a whole number from 1" },
        { EditedBox::MSec, "-", "5", "from 1 to 2000" },
        { EditedBox::StoredState, "7", "0", "from 0 to 0" },
        { EditedBox::CellNumber, "101", "90", "from 1 to 100" },
        { EditedBox::Density, "0", "1.00", "above 0" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const BoxEditEnd end = EndBoxEdit(s, c.box, c.typed);
        EXPECT_FALSE(end.holds);
        EXPECT_EQ(end.text, c.shown);
        EXPECT_TRUE(contains(end.reason, c.reasonHas)) << end.reason;
        EXPECT_TRUE(contains(end.reason, std::string("\"") + c.typed + "\"")) << end.reason;
    }
}

TEST(BoxEdits, EntriesThatStandForTheValueInForceStay)
{
    ExperimentState s = startUp();
    s.CourantNumber = 0.8;
    s.RhoCurrent = 0.1234567891;
    struct Case {
        EditedBox box;
        const char* typed;
    };
    const Case cases[] = {
        { EditedBox::GridSize, "100" },
        { EditedBox::GridSize, "100.4" }, // rounds to the grid in force
        { EditedBox::CourantNumber, "0.80" },
        { EditedBox::MSec, "5" },
        { EditedBox::Density, "0.123457" }, // the readout's decimals
        { EditedBox::StoredState, "0" },
    };
    for (const Case& c : cases)
        EXPECT_TRUE(EndBoxEdit(s, c.box, c.typed).holds) << c.typed;
}

TEST(BoxEdits, ABoxLockedByTheRunStateSaysWhatToPress)
{
    ExperimentState s = startUp();
    s.TimeNow = 0.01; // halted after a run
    const BoxEditEnd grid = EndBoxEdit(s, EditedBox::GridSize, "200");
    EXPECT_FALSE(grid.holds);
    EXPECT_TRUE(contains(grid.reason, "Restart")) << grid.reason;
    s.Stopped = 0; // running
    const BoxEditEnd courant = EndBoxEdit(s, EditedBox::CourantNumber, "0.3");
    EXPECT_TRUE(contains(courant.reason, "Pause")) << courant.reason;
}

TEST(BoxEdits, SelectSaysWhichValueItRefuses)
{
    EXPECT_EQ(SelectRefusal("1", "1", "0"), "");
    EXPECT_TRUE(contains(SelectRefusal("0", "1", "0"), "density must be above 0"));
    EXPECT_TRUE(contains(SelectRefusal("1", "x", "0"), "pressure \"x\" is not a number"));
    EXPECT_TRUE(contains(SelectRefusal("1", "1", ""), "velocity"));
}
