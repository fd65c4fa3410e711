// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time step of a run: ghost cells, strips handed to the scheme's kernel,
// Courant-number control of Dt, acceptance with floors, and the snapshot rows
// at every snapshot time. Also the metronome tick built on it.
//
// The strips of one attempt are independent (each reads the whole-grid input
// and writes its own cells), so they may run on two threads; Courant numbers
// and operation counts are combined per strip afterwards in strip order, and
// the result is the same bit for bit with one thread or two. Each strip's
// results stay in its own arrays until every strip is done; then, when the
// attempt is accepted, the thread that ran a strip moves its cells into the
// grid (run/StripDeal.h), so a thread's cells stay in its cache. With two
// threads allowed, the second takes part only while it makes the steps of
// the grid faster (run/ThreadChoice.h), unless it is asked for always.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kernels/SchemeTable.h"
#include "run/FlopMeter.h"
#include "run/ThreadChoice.h"
#include "state/ExperimentState.h"

namespace tamrel {

class StripPool;

// What went wrong in a step; the grid, TimeNow and Dt are as before it.
struct StepFault {
    std::string message; // a sentence for a message box
    double time = 0; // TimeNow of the failed step
    Long cycle = 0; // NCycle of the failed attempt
};

enum class AttemptResult {
    Accepted, // cells 1..N, TimeNow, TNextPlot and Dt advanced
    Rejected, // Courant >= 1: Dt *= 0.9, the grid unchanged
    NoScheme, // SchemeName names no scheme: nothing changed
    Fault, // NaN Courant, non-finite new state or Dt not positive: grid unchanged
};

struct StepReport {
    AttemptResult outcome = AttemptResult::Accepted; // Accepted, NoScheme or Fault
    long rejections = 0; // attempts rejected before this outcome
    double courant = 0; // Courant number of the last attempt
    bool snapshotDue = false; // a snapshot time was reached
    bool rowStored = false; // ... and a row was stored (row below)
    long row = -1;
    bool historyFull = false; // ... but the history had no room: skipped
    bool spaceTimeDue = false; // repaint the space-time picture (every max(1, 1000\N) rows, and at the end)
    bool runEnded = false; // the step reached TStop, or the history is full: Stopped = 1
    bool historyEnded = false; // ... ended before TStop because the history holds no further row
    StepFault fault; // when outcome is NoScheme or Fault, and the message of historyEnded
};

struct TickReport {
    long stepsRun = 0; // accepted steps
    long rowsStored = 0;
    bool spaceTimeDue = false; // some step asked for the space-time repaint
    bool runEnded = false;
    bool historyEnded = false; // the run ended before TStop with a full history (fault says so)
    bool outOfTime = false; // the budget stopped the steps early
    bool faulted = false; // a step ended in NoScheme or Fault: Stopped = 1
    StepFault fault;
};

// A run whose time step has collapsed cannot finish: before each step, a Dt
// below this fraction of TStop, or one that would need more than
// kMaxRunSteps steps to reach TStop, halts the run with a message.
inline constexpr double kMinStepFraction = 1e-9;
inline constexpr double kMaxRunSteps = 1e8;

// Why the time step in force cannot finish the run (a sentence), or "" when it can.
std::string StepCollapse(const ExperimentState& s);

// Called by a tick after each step that reached a snapshot time, in the
// order of the steps, so the window can update its stored-state controls as
// the rows come (the run is still going while a row is reported, except
// after the last one when report.runEnded).
using SnapshotHook = std::function<void(const ExperimentState&, const StepReport&)>;

class TimeStep {
public:
    using SchemeLookup = std::function<const kernels::SchemeInfo*(std::string_view)>;

    // A kernel that rejects this many attempts in a row is a fault.
    static constexpr long kMaxRejections = 60;

    // threads: 1, or 2 to share the strips of a step with a worker thread
    // while that pays.
    explicit TimeStep(int threads = 1);
    ~TimeStep();
    TimeStep(const TimeStep&) = delete;
    TimeStep& operator=(const TimeStep&) = delete;

    void setThreads(int threads); // clamped to 1..2
    int threads() const { return threads_; }
    // With two threads: share every step, whether it pays or not.
    void setSecondThreadAlways(bool always) { secondAlways_ = always; }

    // How a SchemeName becomes a kernel; kernels::findScheme unless replaced.
    void setSchemeLookup(SchemeLookup lookup);

    // One attempt: Courant 0, ghost cells, NCycle + 1, the kernel over all
    // strips (reps times each with the meter on), meter update, then
    // rejection (Dt *= 0.9) or acceptance (floors, the multifluid arrays,
    // TimeNow += Dt, TNextPlot -= Dt, step-size control).
    AttemptResult attempt(ExperimentState& s);

    // One step of the run: a Dt that has collapsed (StepCollapse) halts the
    // run as a fault before any attempt; a step that would reach or cross
    // TStop is shortened to end exactly on it (TimeNow = TStop, Dt back to
    // the value in force). Attempts until one is accepted (or a fault), then,
    // at a snapshot time or at TStop: widening and a row stored. The run ends
    // at TStop, or earlier when the history holds no further row
    // (historyEnded, with a message). With TimeNow already at or past TStop
    // nothing is stepped and the run ends.
    StepReport advance(ExperimentState& s);

    // Up to n steps; stops after a step that ends the run or fails (a failure
    // sets Stopped = 1), or once `budget` (if above zero) is used up. The steps
    // themselves are the same whatever the budget.
    TickReport runTickSteps(
        ExperimentState& s, long n, std::chrono::nanoseconds budget = {}, const SnapshotHook& onSnapshot = {});

    // Counts and repetitions of the last attempt, for the meter's texts.
    const OpCounts& lastCounts() const { return counts_; }
    long lastRepetitions() const { return reps_; }
    double lastCourant() const { return courant_; }

    struct Strip {
        long start; // cells before the strip
        long length; // L
    };
    // Strips of at most `longest` cells: m = (N+v-1)\v strips of common length
    // L = (N+m-1)\m, the last one shorter when the cells run out.
    static std::vector<Strip> planStrips(long n, long longest);

private:
    struct Scratch;
    struct Slot;

    double runKernel(ExperimentState& s, const kernels::SchemeInfo& scheme, bool& nanCourant);
    // What thread `slot` does in an attempt: it runs the strips it takes
    // (run/StripDeal.h) and checks their results, waits for the other
    // thread's strips, and when the attempt is accepted (no Courant number of
    // 1 or more or NaN, every result finite) moves the results of its own
    // strips into the grid with the floors.
    template <class Real> void runStrips(ExperimentState& s, const kernels::SchemeInfo& scheme, int slot);
    void runStripsOf(ExperimentState& s, const kernels::SchemeInfo& scheme, int slot);
    template <class Real> void acceptStrip(ExperimentState& s, const kernels::SchemeInfo& scheme, long strip);
    template <class Real> long firstNotFinite(int result, long ghostCells) const;
    long firstNotFiniteCell(const ExperimentState& s, const kernels::SchemeInfo& scheme) const;
    void accept(ExperimentState& s, double courant);
    StepFault makeFault(const ExperimentState& s, const std::string& why) const;
    StepFault collapseFault(const ExperimentState& s, const std::string& why) const;

    int threads_ = 1;
    bool secondAlways_ = false;
    ThreadChoice choice_;
    SchemeLookup lookup_;
    std::unique_ptr<Scratch> scratch_;
    std::unique_ptr<StripPool> pool_;
    OpCounts counts_ {};
    long reps_ = 1;
    double courant_ = 0;
    std::string lastReason_;
};

// The metronome tick's state part: nothing unless Stopped is 0; otherwise
// StepsPerTick steps (fewer if the run ends, a step fails, or the budget is
// used), then the ghost cells, the widening of the plot ranges over cells 1..N
// and MultiplePlots = 0. The window then shows the time and repaints.
TickReport RunTick(ExperimentState& s, TimeStep& stepper, std::chrono::nanoseconds budget = {},
    const SnapshotHook& onSnapshot = {});

} // namespace tamrel
