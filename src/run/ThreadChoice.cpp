// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/ThreadChoice.h"

#include <algorithm>
#include <cmath>

namespace tamrel {

void ThreadChoice::Window::add(double v)
{
    t[static_cast<std::size_t>(next)] = v;
    next = (next + 1) % kTrialSteps;
    count = std::min(count + 1, kTrialSteps);
}

double ThreadChoice::Window::median() const
{
    std::array<double, kTrialSteps> v = t;
    const auto end = v.begin() + count;
    const auto mid = v.begin() + count / 2;
    std::nth_element(v.begin(), mid, end);
    return count > 0 ? *mid : 0.0;
}

ThreadChoice::Grid& ThreadChoice::grid(long cells, long longest)
{
    for (Grid& g : grids_)
        if (g.cells == cells && g.longest == longest)
            return g;
    Grid g;
    g.cells = cells;
    g.longest = longest;
    grids_.push_back(g);
    return grids_.back();
}

int ThreadChoice::next(long cells, long longest)
{
    const Grid& g = grid(cells, longest);
    return g.phase == Phase::Trial ? g.trialNext : g.choice;
}

int ThreadChoice::chosen(long cells, long longest) const
{
    for (const Grid& g : grids_)
        if (g.cells == cells && g.longest == longest)
            return g.chosenMedian > 0 ? g.choice : 1;
    return 1;
}

void ThreadChoice::startTrial(Grid& g)
{
    g.one.clear();
    g.two.clear();
    g.trialNext = 1;
    g.warmedUp = false;
    g.phase = Phase::Trial;
}

void ThreadChoice::decide(Grid& g)
{
    choose(g, g.two.median() < kTwoMustWin * g.one.median() ? 2 : 1);
}

void ThreadChoice::choose(Grid& g, int threads)
{
    const int before = g.choice;
    const bool wasRunning = g.chosenMedian > 0;
    g.choice = threads;
    g.stretch = wasRunning && g.choice == before ? std::min(2 * g.stretch, kLongestStretch) : kFirstStretch;
    g.left = g.stretch;
    g.chosenMedian = g.choice == 2 ? g.two.median() : g.one.median();
    g.running.clear();
    g.phase = Phase::Run;
}

void ThreadChoice::measured(long cells, long longest, int threads, double seconds)
{
    Grid& g = grid(cells, longest);
    if (g.phase == Phase::Trial) {
        if (threads != g.trialNext)
            return;
        if (!g.warmedUp) {
            g.warmedUp = true;
            return;
        }
        g.warmedUp = false;
        (threads == 2 ? g.two : g.one).add(seconds);
        g.trialNext = threads == 1 ? 2 : 1;
        if (threads == 2 && g.one.count > 0 && seconds > kHopeless * g.one.median()) {
            choose(g, 1);
            return;
        }
        if (g.one.full() && g.two.full())
            decide(g);
        return;
    }
    if (threads != g.choice)
        return;
    g.running.add(seconds);
    --g.left;
    // Two threads that have become much slower: the load has grown.
    const bool slower = g.choice == 2 && g.running.full() && g.running.median() > (1 + kDrift) * g.chosenMedian;
    if (slower) {
        g.chosenMedian = 0;
        startTrial(g);
        return;
    }
    if (g.left <= 0)
        startTrial(g);
}

} // namespace tamrel
