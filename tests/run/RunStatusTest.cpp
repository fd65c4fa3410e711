// The run's state on the status line and the buttons that would do nothing
// in each state: one table for every state.

#include <gtest/gtest.h>

#include <map>

#include "run/DefaultProblem.h"
#include "run/RunStatus.h"

using namespace tamrel;

namespace {

struct Phase {
    const char* name;
    Long stopped;
    double time;
    Long storedStates;
};

ExperimentState inPhase(const Phase& p)
{
    ExperimentState s;
    StartUpState(s);
    s.TStop = 0.2;
    s.Stopped = p.stopped;
    s.TimeNow = p.time;
    s.NStoredStates = p.storedStates;
    return s;
}

} // namespace

TEST(RunStatus, ButtonsThatWouldDoNothingInEachState)
{
    const Phase phases[] = {
        { "Ready", 1, 0.0, 1 },
        { "Running", 0, 0.1, 5 },
        { "Halted", 1, 0.1, 5 },
        { "Finished", 1, 0.2, 9 },
    };
    // Which buttons act, per state: Begin, Pause, Continue, Restart, then
    // the six set-up commands (Sound Wave, Select, Reset, Bdrys, scheme,
    // shock constants), which act in Ready only.
    const std::map<std::string, std::vector<bool>> acts {
        { "Ready", { true, false, true, true, true, true, true, true, true, true } },
        { "Running", { false, true, false, true, false, false, false, false, false, false } },
        { "Halted", { false, false, true, true, false, false, false, false, false, false } },
        { "Finished", { false, false, false, true, false, false, false, false, false, false } },
    };
    for (const Phase& p : phases) {
        SCOPED_TRACE(p.name);
        const ExperimentState s = inPhase(p);
        EXPECT_STREQ(PhaseName(PhaseOf(s)), p.name);
        const auto uses = ButtonUses(s);
        const auto& want = acts.at(p.name);
        ASSERT_EQ(uses.size(), want.size());
        for (std::size_t k = 0; k < uses.size(); ++k) {
            SCOPED_TRACE(uses[k].name);
            EXPECT_EQ(uses[k].acts, want[k]);
            // A button that does nothing says why; one that acts says nothing.
            EXPECT_EQ(uses[k].why.empty(), uses[k].acts);
        }
    }
    // The reasons point the way on.
    EXPECT_NE(ButtonUses(inPhase(phases[3]))[0].why.find("press Restart to run again"), std::string::npos);
    EXPECT_NE(ButtonUses(inPhase(phases[2]))[4].why.find("press Restart first"), std::string::npos);
    // Continue before any Begin has no stored row to go on from.
    EXPECT_FALSE(ButtonUses(inPhase({ "Ready", 1, 0.0, 0 }))[2].acts);
}

TEST(RunStatus, TheLineTellsStateTimeCycleSchemeAndGrid)
{
    ExperimentState s = inPhase({ "Running", 0, 0.1, 5 });
    s.NCycle = 57;
    s.SchemeName = "Lentor32";
    EXPECT_EQ(RunStatusText(s), "Running   t = 0.1 of 0.2   cycle 57   Lentor32   100 cells");
}
