// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A lab session: one experiment record and what a student does with it,
// without a window. Loading a problem, choosing a scheme, the grid and run
// boxes, Begin, the metronome tick, Pause, Continue, Restart: each goes
// through the rules the window's handlers use, in the order they use them,
// so a session's run is the window's run bit for bit. Every refusal comes
// back as a one-line reason (the window's own where it has one); nothing
// throws.

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compare/ConvergenceStudy.h"
#include "edit/BoxEdits.h"
#include "edit/RebuildGrid.h"
#include "state/ExperimentState.h"

namespace tamrel {

class TimeStep;
namespace exact {
    class ExactColumns;
}

namespace lab {

    // Why a request was refused; nothing when it was taken.
    using Refusal = std::optional<std::string>;

    // The sound wave's six numbers and the mean velocity, as its dialogs ask
    // them (the defaults are the window's).
    struct SoundWaveAsked {
        double rPlusAmplitude = 1.0;
        long rPlusFrequency = 1;
        double rMinusAmplitude = 0.0;
        long rMinusFrequency = 1;
        double r0Amplitude = 0.0;
        long r0Frequency = 1;
        double u0 = -1.0;
    };

    // A state made by hand on N cells: density, velocity and pressure of
    // cells 1..N (vy and smoke may be empty: 0), the boundary types (1
    // reflecting, 2 continuation, 4 periodic) and the ratio of specific heats.
    struct HandMadeState {
        std::vector<double> rho, vx, p, vy, smoke;
        long leftBoundary = 1, rightBoundary = 1;
        double gamma = 1.4;
    };

    // Plain values of cells 1..N: x the cell centres.
    struct GridValues {
        std::vector<double> x, rho, p, vx, vy, smoke;
    };

    struct ExactValues {
        bool valid = false;
        std::string note; // why there are none ("" when valid)
        std::vector<double> rho, p, vx; // cells 1..N
        double l1Rho = 0, l1Vx = 0, l1P = 0; // of the grid in force against them
    };

    struct TickOutcome {
        long steps = 0; // accepted steps
        long rowsStored = 0;
        bool ended = false; // the run has stopped (its end, a full history or a fault)
        Refusal fault; // the window's message when a step failed or the history filled
    };

    struct MeterReading {
        bool on = false;
        double mflopRate = 0, mflopsTotal = 0, seconds = 0;
        double flopsPerCell = 0; // of the last step's kernel, per cell update
    };

    // One scheme's run of a comparison.
    struct SchemeResult {
        std::string scheme;
        bool finished = false;
        std::string failure;
        double time = 0;
        long cycles = 0, snapshots = 0, acceptedSteps = 0;
        GridValues grid;
    };

    class LabSession {
    public:
        // threads: 1, or 2 to share a step's strips (the result is the same).
        explicit LabSession(int threads = 1);
        ~LabSession();
        LabSession(const LabSession&) = delete;
        LabSession& operator=(const LabSession&) = delete;

        const ExperimentState& record() const { return s_; }

        // --- Problems (Ready only) ---------------------------------------
        Refusal loadTest(int test); // the shock-tube tests 1..kShockTubeTestCount
        Refusal loadSoundWave(const SoundWaveAsked& wave);
        Refusal loadSetupText(const std::string& text);
        Refusal loadSetupFile(const std::string& path);
        Refusal loadState(const HandMadeState& state);

        // --- Scheme and boxes (Ready only) --------------------------------
        // The scheme by name (any letter case), and the flop meter when given.
        Refusal setScheme(const std::string& name, std::optional<bool> meter = {});
        Refusal setGridCells(long cells);
        Refusal setPeriods(double periods);
        Refusal setPlotsPerUnit(double rate);
        Refusal setCourant(double courant);
        // The same three boxes given a number as typed (the batch passes its
        // options on as they were written).
        Refusal typePeriods(const std::string& typed);
        Refusal typePlotsPerUnit(const std::string& typed);
        Refusal typeCourant(const std::string& typed);
        // "Get Diff Consts": the shock constants by name ("difcon", "shkjmp",
        // "wavhaf"), the smoke streams a set-up lays out, log plots.
        Refusal setShockConstant(const std::string& name, double value);
        Refusal setSmokeStreams(double streams);
        Refusal setLogPlots(bool logs);

        // --- The run ------------------------------------------------------
        Refusal begin();
        TickOutcome tick(); // the metronome's tick: StepsPerTick steps
        // The tick of a window that must stay responsive: its steps stop once
        // `budget` is used (after at least one). The steps are the same; only
        // how many a tick takes differs.
        TickOutcome tick(std::chrono::nanoseconds budget);
        TickOutcome step(); // one step
        void pause();
        Refusal continueRun();
        void restart();
        // Begin when Ready, then ticks until the run stops; a run that fails
        // or halts before its stop time says why.
        Refusal runToEnd();

        // --- Readings -----------------------------------------------------
        double time() const { return s_.TimeNow; }
        long cycle() const { return s_.NCycle; }
        long cells() const { return s_.NGridCells; }
        bool running() const { return s_.Stopped == 0; }
        bool ready() const { return s_.isReady(); }
        bool faulted() const { return faulted_; }
        long acceptedSteps() const { return acceptedSteps_; }
        const std::string& scheme() const { return s_.SchemeName; }
        GridValues grid() const;
        long storedRows() const { return s_.NStoredStates; }
        std::vector<double> snapshotTimes() const;
        // Row `row` of the history in plain values; nothing when it was not stored.
        std::optional<GridValues> snapshot(long row) const;
        // The exact solution of the run's initial grid at the time in force,
        // where the lab has one.
        ExactValues exact() const;
        MeterReading meter() const;

        // --- Several schemes ----------------------------------------------
        // The loaded problem (Ready) run by 2 to 5 schemes, each to its end:
        // concurrently, or in lockstep a snapshot row at a time.
        Refusal compareSchemes(
            const std::vector<std::string>& schemes, bool lockstep, std::vector<SchemeResult>& results) const;
        // A convergence study of the loaded problem: each run set up as this
        // session was (scheme and grid size replaced), the problem loaded last.
        Refusal convergenceStudy(const std::vector<std::string>& schemes, const std::vector<long>& cells,
            compare::StudyResult& result, int threads = 1) const;

    private:
        // What the session was set up with, to set up another one the same way.
        struct Recipe {
            std::optional<long> cells;
            std::optional<std::string> periods, plotsPerUnit, courant;
            std::optional<bool> meter, logPlots;
            std::optional<double> difcon, shkjmp, wavhaf, smokeStreams;
            enum class Problem { Default, Test, SoundWave, Setup, HandMade } problem = Problem::Default;
            int test = 0;
            SoundWaveAsked wave;
            std::string setupText;
            HandMadeState hand;
        };

        Refusal notReady(const char* what) const;
        Refusal enterBox(EditedBox box, const std::string& text);
        void afterSetUp();
        void makeExact();
        Refusal replay(LabSession& other, const std::string& scheme, std::optional<long> cells, bool mirrored) const;

        ExperimentState s_;
        std::unique_ptr<TimeStep> stepper_;
        ShownBoxes shown_;
        Recipe recipe_;
        bool handMade_ = false;
        bool faulted_ = false;
        long acceptedSteps_ = 0;
        // The exact solution of the grid Begin started from.
        std::shared_ptr<exact::ExactColumns> exact_;
    };

} // namespace lab
} // namespace tamrel
