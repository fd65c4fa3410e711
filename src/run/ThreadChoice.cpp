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
    switch (g.phase) {
    case Phase::TryOne:
        return 1;
    case Phase::TryTwo:
        return 2;
    case Phase::Run:
        break;
    }
    return g.choice;
}

int ThreadChoice::chosen(long cells, long longest) const
{
    for (const Grid& g : grids_)
        if (g.cells == cells && g.longest == longest)
            return g.phase == Phase::Run ? g.choice : 1;
    return 1;
}

void ThreadChoice::decide(Grid& g)
{
    const int before = g.choice;
    const bool wasRunning = g.chosenMedian > 0;
    g.choice = g.two.median() < kTwoMustWin * g.one.median() ? 2 : 1;
    g.stretch = wasRunning && g.choice == before ? std::min(2 * g.stretch, kLongestStretch) : kFirstStretch;
    g.left = g.stretch;
    g.chosenMedian = g.choice == 2 ? g.two.median() : g.one.median();
    g.running.clear();
    g.phase = Phase::Run;
}

void ThreadChoice::measured(long cells, long longest, int threads, double seconds)
{
    Grid& g = grid(cells, longest);
    switch (g.phase) {
    case Phase::TryOne:
        if (threads != 1)
            return;
        g.one.add(seconds);
        if (g.one.full()) {
            if (g.two.full())
                decide(g);
            else
                g.phase = Phase::TryTwo;
        }
        return;
    case Phase::TryTwo:
        if (threads != 2)
            return;
        g.two.add(seconds);
        if (g.two.full()) {
            if (g.one.full())
                decide(g);
            else
                g.phase = Phase::TryOne;
        }
        return;
    case Phase::Run:
        break;
    }
    if (threads != g.choice)
        return;
    (g.choice == 2 ? g.two : g.one).add(seconds);
    g.running.add(seconds);
    --g.left;
    if (g.running.full() && std::fabs(g.running.median() / g.chosenMedian - 1) > kDrift) {
        // The machine's load has changed: both ways are timed afresh.
        g.one.clear();
        g.two.clear();
        g.chosenMedian = 0;
        g.phase = Phase::TryOne;
        return;
    }
    if (g.left <= 0) {
        // Time the other way again; the chosen way's window holds its
        // latest steps.
        if (g.choice == 2) {
            g.one.clear();
            g.phase = Phase::TryOne;
        } else {
            g.two.clear();
            g.phase = Phase::TryTwo;
        }
    }
}

} // namespace tamrel
