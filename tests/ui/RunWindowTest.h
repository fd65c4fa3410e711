// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window fixture for runs: choosing a scheme through its dialog, stand-in
// kernels that record their strips and report scripted Courant numbers, and
// copies of the history to compare two runs.

#include <QLineEdit>
#include <deque>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "WindowFixture.h"
#include "run/FakeKernels.h"
#include "run/TimeStep.h"

namespace tamrel::testing {

// What the stand-in kernels saw and what they report next.
struct StandInLog {
    std::vector<long> stripLengths; // L of every call, in call order
    std::deque<double> courants; // reported one per call; the last one stays
};

inline StandInLog& standInLog()
{
    static StandInLog log;
    return log;
}

// Wraps a stand-in entry point: records L (argument LIndex) and, while a
// script is queued, sets the Courant number the call reports.
template <auto Fn, std::size_t LIndex, class Sig> struct Watched;
template <auto Fn, std::size_t LIndex, class... A> struct Watched<Fn, LIndex, void(A...)> {
    static_assert(std::is_same_v<std::tuple_element_t<LIndex, std::tuple<A...>>, const KLong*>);
    static void call(A... a)
    {
        auto& log = standInLog();
        log.stripLengths.push_back(static_cast<long>(*std::get<LIndex>(std::tie(a...))));
        if (!log.courants.empty()) {
            fakeKernel().fixedCourant = log.courants.front();
            if (log.courants.size() > 1)
                log.courants.pop_front();
        }
        Fn(a...);
    }
};

// The position of L in each argument list.
template <auto Fn> constexpr std::size_t lIndex()
{
    using F = std::remove_pointer_t<decltype(Fn)>;
    if constexpr (std::is_same_v<F,
                      kernels::OrvaneEntry<double>> || std::is_same_v<F, kernels::OrvaneEntry<float>>)
        return 23;
    else if constexpr (std::is_same_v<F, kernels::LentorEntry>)
        return 20;
    else if constexpr (std::is_same_v<F, kernels::MixtalEntry>)
        return 45;
    else
        return 42;
}

template <auto Fn> struct WatchedEntry {
    static constexpr auto value = &Watched<Fn, lIndex<Fn>(), std::remove_pointer_t<decltype(Fn)>>::call;
};

// The five schemes with their names and strip lengths, stand-in entry points.
inline const kernels::SchemeInfo* findWatchedScheme(std::string_view name)
{
    static const auto rows = fakeSchemeRows<WatchedEntry>();
    return kernels::findSchemeIn(rows, name);
}

// The stored rows of a run: times and the five grid quantities.
struct History {
    long rows = 0;
    std::vector<double> times;
    std::vector<float> rho, p, vx, vy, smoke;
    bool operator==(const History&) const = default;
};

inline History historyOf(const ExperimentState& s)
{
    History h;
    h.rows = s.NStoredStates;
    const long values = (s.NGridCells + 2) * h.rows;
    for (long r = 0; r < h.rows; ++r)
        h.times.push_back(s.StoredTime[r]);
    for (long k = 0; k < values; ++k) {
        h.rho.push_back(s.STRho[k]);
        h.p.push_back(s.STP[k]);
        h.vx.push_back(s.STVX[k]);
        h.vy.push_back(s.STVY[k]);
        h.smoke.push_back(s.STFSmoke[k]);
    }
    return h;
}

class RunWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        resetFakeKernel();
        standInLog() = {};
    }
    void TearDown() override
    {
        resetFakeKernel();
        standInLog() = {};
    }

    void useStandIns(frmTamrel& w) { panelsOf(w).run.stepper().setSchemeLookup(findWatchedScheme); }
    void useStandIns() { useStandIns(*window); }

    // The scheme button with scripted answers: the name, then the meter.
    void chooseScheme(frmTamrel& w, const std::string& name, const std::string& meter = "0")
    {
        dialogs.answer(name);
        dialogs.answer(meter);
        click(w, "cmdNumericalScheme");
        ASSERT_EQ(stateOf(w).SchemeName, name);
        ASSERT_EQ(dialogs.pendingAnswers(), 0u);
    }
    void chooseScheme(const std::string& name, const std::string& meter = "0")
    {
        chooseScheme(*window, name, meter);
    }

    void setCells(frmTamrel& w, long n)
    {
        setText(box(w, "txtNGridCells"), std::to_string(n));
        ASSERT_EQ(stateOf(w).NGridCells, n);
    }

    static void runToEnd(frmTamrel& w, long maxTicks = 100000)
    {
        for (long i = 0; i < maxTicks && stateOf(w).Stopped == 0 && !w.runFaulted(); ++i)
            w.tick();
    }
    using WindowTest::runToEnd;
};

} // namespace tamrel::testing
