// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a time step hands half of its strips to the second thread. A
// second thread pays on an idle machine and costs on a busy one, where the
// step waits for a worker the other programs keep off its core; which it
// is changes while a run goes. So the choice is measured as the run goes,
// for each grid (its cells and strip length) on its own: a trial runs pairs
// of steps one way and the other in turn (so both meet the same load), then
// the faster way runs for a stretch of steps, after which comes the next
// trial. Only the second step of a pair is timed: the first one after a
// change of way pays for it (the worker wakes from its sleep, the cells move
// into the other core's cache), which a stretch of steps run the same way
// does not.
// A choice that keeps winning is tried less and less often; when two
// threads, once chosen, become much slower than they were, the next trial
// comes at once.
//
// The choice changes nothing in the results (the strips are independent),
// only how long a step takes. Times are given by the caller, so the policy
// runs the same on measured and on made-up times.

#include <array>
#include <vector>

namespace tamrel {

class ThreadChoice {
public:
    // Steps timed for each way in a trial (each after a step of warm-up).
    static constexpr int kTrialSteps = 6;
    // Steps run the chosen way before the first trial of the other way; the
    // stretch doubles while the choice stands, up to kLongestStretch.
    static constexpr long kFirstStretch = 200;
    static constexpr long kLongestStretch = 6400;
    // Two threads must be this much faster than one to be chosen.
    static constexpr double kTwoMustWin = 0.8;
    // A trial step on two threads this many times slower than one thread
    // ends the trial at once for one thread: on a busy machine each such step
    // can take several times a whole one-thread step, and the rest of the
    // trial would only add more of them.
    static constexpr double kHopeless = 2.0;
    // Two threads, once chosen, whose running median grows this much over
    // their median when chosen are tried against one thread again.
    static constexpr double kDrift = 0.35;

    // 1 or 2: the threads for the next step of a grid of `cells` cells cut
    // into strips of at most `longest` cells.
    int next(long cells, long longest);
    // The seconds the step just chosen by next() took with `threads`.
    void measured(long cells, long longest, int threads, double seconds);

    // The way a grid runs at present (1 before anything is measured).
    int chosen(long cells, long longest) const;

private:
    struct Window {
        std::array<double, kTrialSteps> t {};
        int count = 0; // values held (up to kTrialSteps)
        int next = 0; // slot of the next value
        void add(double v);
        bool full() const { return count == kTrialSteps; }
        double median() const;
        void clear() { count = next = 0; }
    };
    enum class Phase { Trial, Run };
    struct Grid {
        long cells = 0, longest = 0;
        Phase phase = Phase::Trial;
        int choice = 1;
        int trialNext = 1; // the way of the next trial step
        bool warmedUp = false; // the step before ran trialNext's way, untimed
        long left = 0; // steps of the present stretch
        long stretch = kFirstStretch;
        double chosenMedian = 0; // median of the chosen way when chosen
        Window one, two, running;
    };
    Grid& grid(long cells, long longest);
    void decide(Grid& g);
    void choose(Grid& g, int threads);
    static void startTrial(Grid& g);

    std::vector<Grid> grids_;
};

} // namespace tamrel
