// SPDX-License-Identifier: GPL-3.0-or-later
// The run's state on the status line and the buttons that would do nothing
// in each state: one table for every state.

#include <gtest/gtest.h>

#include <cmath>
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
    // Which buttons act, per state: Begin, Pause, Continue, Restart, then the
    // set-up commands and the problem loaders (Sound Wave, Select, Reset,
    // Bdrys, scheme, shock constants, Read Setup, two test buttons),
    // which act in Ready only. Continue acts on a halted run only: in Ready
    // (after a set-up or Restart) there is no run to go on with.
    const std::vector<bool> setUps(9, true), noSetUps(9, false);
    auto row = [](std::vector<bool> run, const std::vector<bool>& rest) {
        run.insert(run.end(), rest.begin(), rest.end());
        return run;
    };
    const std::map<std::string, std::vector<bool>> acts {
        { "Ready", row({ true, false, false, true }, setUps) },
        { "Running", row({ false, true, false, true }, noSetUps) },
        { "Halted", row({ false, false, true, true }, noSetUps) },
        { "Finished", row({ false, false, false, true }, noSetUps) },
    };
    for (const Phase& p : phases) {
        SCOPED_TRACE(p.name);
        const ExperimentState s = inPhase(p);
        EXPECT_STREQ(PhaseName(PhaseOf(s)), p.name);
        auto uses = ButtonUses(s, 2);
        ASSERT_EQ(uses.back().name, "cmdPlotFVSmoke");
        uses.pop_back();
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
    EXPECT_NE(ButtonUses(inPhase(phases[3]), 2)[0].why.find("press Restart to run again"), std::string::npos);
    EXPECT_NE(ButtonUses(inPhase(phases[2]), 2)[4].why.find("press Restart first"), std::string::npos);
    EXPECT_NE(ButtonUses(inPhase(phases[0]), 2)[2].why.find("press Begin"), std::string::npos);
    const auto halted = ButtonUses(inPhase(phases[2]), 2);
    EXPECT_EQ(halted[11].name, "cmdTest1");
    EXPECT_NE(halted[11].why.find("press Restart first"), std::string::npos);
}

TEST(RunStatus, PlotFVSmokeActsUnderATwoFluidSchemeOnly)
{
    ExperimentState s = inPhase({ "Ready", 1, 0.0, 1 });
    for (const char* scheme : { "Orvane", "Orvane32", "Lentor32", "Sorvi", "Mixtal32" }) {
        SCOPED_TRACE(scheme);
        s.SchemeName = scheme;
        const ButtonUse smoke = ButtonUses(s, 0).back();
        ASSERT_EQ(smoke.name, "cmdPlotFVSmoke");
        EXPECT_EQ(smoke.acts, std::string(scheme) == "Mixtal32");
        if (!smoke.acts) {
            EXPECT_NE(smoke.why.find("Mixtal32"), std::string::npos);
        }
    }
}

TEST(RunStatus, TheLineTellsStateTimeCycleSchemeAndGrid)
{
    ExperimentState s = inPhase({ "Running", 0, 0.1, 5 });
    s.NCycle = 57;
    s.SchemeName = "Lentor32";
    EXPECT_EQ(RunStatusText(s), "Running   t = 0.1 of 0.2   cycle 57   Lentor32   100 cells");
}

// A run that stopped a rounding short of its stop time has reached it; one
// halted a step short, or at a time that is not a number, has not.
TEST(RunStatus, ReachedStopTimeForgivesOnlyARounding)
{
    const struct {
        double time;
        bool reached;
    } cases[] = {
        { 0.2, true },
        { 0.2 * (1 - 1e-14), true },
        { 0.2000001, true },
        { 0.2 * (1 - 1e-9), false },
        { 0.19, false },
        { 0.0, false },
        { std::nan(""), false },
    };
    ExperimentState s;
    StartUpState(s);
    s.TStop = 0.2;
    for (const auto& c : cases) {
        s.TimeNow = c.time;
        EXPECT_EQ(ReachedStopTime(s), c.reached) << "time " << c.time;
    }
}
