// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/TimeStep.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "common/Format.h"
#include "common/Threading.h"
#include "run/BoundaryFill.h"
#include "run/EstimateTimeStep.h"
#include "run/GridCopies.h"
#include "run/PlotRanges.h"
#include "run/SnapshotInterval.h"
#include "run/RunControl.h"
#include "run/SnapshotRow.h"
#include "run/StripDeal.h"
#include "run/StripPool.h"

namespace tamrel {

using kernels::KLong;
using kernels::SchemeInfo;

namespace {

    template <class Real> kernels::KernelScalars<Real> scalarsOf(const ExperimentState& s)
    {
        auto r = [](double v) { return static_cast<Real>(v); };
        kernels::KernelScalars<Real> k;
        k.dt = r(s.Dt);
        k.gamma = r(s.Gamma);
        k.rhoFloor = r(s.RhoFloor);
        k.kernelFloor = r(s.KernelFloor);
        k.pFloor = r(s.PFloor);
        k.vxEpsilon = r(s.VXEpsilon);
        k.difcon = r(s.Difcon);
        k.shkjmp = r(s.Shkjmp);
        k.wavhaf = r(s.Wavhaf);
        k.gamma1 = r(s.Gamma1);
        k.gamma2 = r(s.Gamma2);
        k.rhoRatio2 = r(s.RhoRatio2);
        k.cycle = s.NCycle;
        return k;
    }

    // The fluid arrays in the kernel's argument order.
    std::array<BoundedArray<double>*, kernels::kFluidArrays> fluidInputs(ExperimentState& s)
    {
        return { &s.Rho1, &s.Rho2, &s.P1, &s.P2, &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY,
            &s.FFracYY };
    }

} // namespace

// What one thread needs to pack and run its strips.
struct TimeStep::Slot {
    kernels::StripPacker<double> d;
    kernels::StripPacker<float> f;

    template <class Real> kernels::StripPacker<Real>& packer()
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return f;
        else
            return d;
    }
};

struct TimeStep::Scratch {
    long n = -1, longest = -1;
    std::vector<Strip> strips;
    std::vector<std::array<KLong, kernels::kCounterCount>> counters;
    std::vector<double> courant;
    std::vector<char> finite; // every result of the strip is finite
    // The results of every strip, kept until the attempt is decided: result q
    // of strip j starts at ((j * kept) + slot[q]) * stride, cell 1 at B.
    std::array<int, kernels::kResultCount> slot {}; // -1: not kept
    long kept = 0, stride = 0;
    std::vector<double> outd;
    std::vector<float> outf;
    kernels::KernelScalars<double> kd {};
    kernels::KernelScalars<float> kf {};
    kernels::GridInputs<double> in {};
    StripDeal deal;
    bool metered = false;
    std::chrono::steady_clock::time_point kernelsDone {};
    std::array<Slot, 2> slots;

    template <class Real> const kernels::KernelScalars<Real>& scalars() const
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return kf;
        else
            return kd;
    }
    template <class Real> std::vector<Real>& results()
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return outf;
        else
            return outd;
    }
    template <class Real> const std::vector<Real>& results() const
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return outf;
        else
            return outd;
    }
    // Result q of strip j at its strip cell 1-B.
    template <class Real> Real* result(long j, int q)
    {
        return results<Real>().data() + (j * kept + slot[static_cast<std::size_t>(q)]) * stride;
    }
    template <class Real> const Real* result(long j, int q) const
    {
        return results<Real>().data() + (j * kept + slot[static_cast<std::size_t>(q)]) * stride;
    }
    // No Courant number of 1 or more or NaN, and every result finite.
    bool acceptable() const
    {
        for (std::size_t j = 0; j < strips.size(); ++j)
            if (!(courant[j] < 1) || finite[j] == 0)
                return false;
        return true;
    }
};

std::vector<TimeStep::Strip> TimeStep::planStrips(long n, long longest)
{
    std::vector<Strip> strips;
    if (n <= 0 || longest <= 0)
        return strips;
    const long m = (n + longest - 1) / longest;
    const long len = (n + m - 1) / m;
    for (long j = 0; j < m; ++j) {
        const long start = j * len;
        if (start >= n)
            break;
        strips.push_back({ start, start + len > n ? n - start : len });
    }
    return strips;
}

TimeStep::TimeStep(int threads)
    : lookup_(kernels::findScheme)
    , scratch_(std::make_unique<Scratch>())
{
    setThreads(threads);
}

TimeStep::~TimeStep() = default;

void TimeStep::setThreads(int threads)
{
    // Without threads (WebAssembly) every step runs on the caller.
    threads_ = std::clamp(threads, 1, TAMREL_HAS_THREADS ? 2 : 1);
    if (threads_ == 2 && !pool_)
        pool_ = std::make_unique<StripPool>();
    if (threads_ == 1)
        pool_.reset();
}

void TimeStep::setSchemeLookup(SchemeLookup lookup)
{
    lookup_ = std::move(lookup);
}

StepFault TimeStep::makeFault(const ExperimentState& s, const std::string& why) const
{
    StepFault f;
    f.time = s.TimeNow;
    f.cycle = s.NCycle;
    f.message = "The time step at t=" + formatGeneral(s.TimeNow) + " (cycle " + std::to_string(s.NCycle)
        + ") failed: " + why;
    return f;
}

template <class Real> void TimeStep::runStrips(ExperimentState& s, const SchemeInfo& k, int slotIndex)
{
    Scratch& sc = *scratch_;
    kernels::StripPacker<Real>& packer = sc.slots[static_cast<std::size_t>(slotIndex)].template packer<Real>();
    const kernels::StripEntry<Real>& entry = k.entry<Real>();
    const long b = s.NBdy;

    // This thread's strips: first..last, neighbours all.
    long first = -1, last = -2;
    for (long j = sc.deal.take(slotIndex); j >= 0; j = sc.deal.take(slotIndex)) {
        const Strip st = sc.strips[static_cast<std::size_t>(j)];
        KLong* counters = sc.counters[static_cast<std::size_t>(j)].data();
        std::fill(counters, counters + kernels::kCounterCount, 0);
        Real courant = 0;
        kernels::StripArgs<Real> args = packer.packFrom(sc.in, sc.template scalars<Real>(), st.start, st.length, b,
            entry.stripArrays, k.twoFluid, entry.reads, &courant, counters);
        for (int q = 0; q < kernels::kResultCount; ++q)
            if (sc.slot[static_cast<std::size_t>(q)] >= 0)
                args.out[static_cast<std::size_t>(q)] = sc.template result<Real>(j, q);
        for (long r = 0; r < reps_; ++r)
            entry.run(args);
        sc.courant[static_cast<std::size_t>(j)] = static_cast<double>(courant);
        // The results are checked while they are in the cache.
        std::uint64_t bad = 0;
        for (int q = 0; q < kernels::kResultCount; ++q)
            if (sc.slot[static_cast<std::size_t>(q)] >= 0)
                bad |= nonFinite(args.out[static_cast<std::size_t>(q)] + b, st.length);
        sc.finite[static_cast<std::size_t>(j)] = bad == 0;
        first = first < 0 ? j : std::min(first, j);
        last = std::max(last, j);
        sc.deal.done(slotIndex);
    }

    sc.deal.waitAll(slotIndex);
    if (slotIndex == 0 && sc.metered)
        sc.kernelsDone = std::chrono::steady_clock::now();
    // Both threads come to the same verdict from the same strips.
    if (!sc.acceptable())
        return;
    for (long j = first; j <= last; ++j)
        acceptStrip<Real>(s, k, j);
}

template <class Real> void TimeStep::acceptStrip(ExperimentState& s, const SchemeInfo& k, long j)
{
    const Scratch& sc = *scratch_;
    const Strip st = sc.strips[static_cast<std::size_t>(j)];
    const long c = st.start + 1, b = s.NBdy;
    auto result = [&](int q) { return sc.template result<Real>(j, q) + b; };
    // Under a two-fluid scheme the smoke is the fluid-2 fraction.
    const Real* smoke = k.twoFluid ? result(kernels::kFirstFluidNew + 4)
        : k.carriesSmoke           ? result(kernels::kSmokeNew)
                                   : nullptr;
    acceptCells(AcceptedCells<Real> { s.Rho.ptr(c), s.P.ptr(c), s.VX.ptr(c), s.VY.ptr(c), s.FSmoke.ptr(c),
                    result(kernels::kRhoNew), result(kernels::kPNew), result(kernels::kVXNew),
                    result(kernels::kVYNew), smoke, s.RhoFloor, s.PFloor, s.VXEpsilon },
        st.length);
    if (k.twoFluid) {
        const auto to = fluidInputs(s);
        for (int q = 0; q < kernels::kFluidArrays; ++q)
            widenCopy(to[static_cast<std::size_t>(q)]->ptr(c), result(kernels::kFirstFluidNew + q), st.length);
    }
}

void TimeStep::runStripsOf(ExperimentState& s, const SchemeInfo& k, int slot)
{
    if (k.singlePrecision())
        runStrips<float>(s, k, slot);
    else
        runStrips<double>(s, k, slot);
}

double TimeStep::runKernel(ExperimentState& s, const SchemeInfo& k, bool& nanCourant)
{
    Scratch& sc = *scratch_;
    const long n = s.NGridCells;
    const long b = s.NBdy;

    // Every attempt starts from fresh ghost cells, counts as a cycle and
    // takes the meter's repetitions.
    FillGhostCells(s);
    s.NCycle = s.NCycle + 1;
    reps_ = MeterRepetitions(s);

    if (sc.n != n || sc.longest != k.longestStrip) {
        sc.strips = planStrips(n, k.longestStrip);
        sc.counters.assign(sc.strips.size(), {});
        sc.courant.assign(sc.strips.size(), 0.0);
        sc.finite.assign(sc.strips.size(), 1);
        sc.n = n;
        sc.longest = k.longestStrip;
    }
    const long m = static_cast<long>(sc.strips.size());

    // The results kept: those that become the grid, and the smoke, which is
    // checked even where the fraction becomes the smoke.
    sc.kept = 0;
    for (int q = 0; q < kernels::kResultCount; ++q) {
        const bool kept = q < kernels::kSmokeNew || (q == kernels::kSmokeNew && k.carriesSmoke)
            || (q >= kernels::kFirstFluidNew && k.twoFluid);
        sc.slot[static_cast<std::size_t>(q)] = kept ? static_cast<int>(sc.kept++) : -1;
    }
    // Rounded up to whole cache lines.
    sc.stride = (sc.strips.front().length + 2 * b + 1 + 15) / 16 * 16;
    const auto values = static_cast<std::size_t>(m * sc.kept * sc.stride);
    if (k.singlePrecision() ? sc.outf.size() < values : sc.outd.size() < values)
        k.singlePrecision() ? sc.outf.resize(values) : sc.outd.resize(values);

    const bool chooses = threads_ == 2 && m >= 2 && !secondAlways_;
    int slotsUsed = threads_ == 2 && m >= 2 ? 2 : 1;
    if (chooses)
        slotsUsed = choice_.next(n, k.longestStrip);

    // The whole-grid inputs at cell 1-B; a Single scheme's strips are
    // converted as they are packed.
    const long lo = 1 - b;
    sc.in = { s.X.ptr(lo), s.Rho.ptr(lo), s.P.ptr(lo), s.VX.ptr(lo), s.VY.ptr(lo), s.FSmoke.ptr(lo), {} };
    if (k.twoFluid) {
        const auto in = fluidInputs(s);
        for (std::size_t q = 0; q < in.size(); ++q)
            sc.in.fluid[q] = in[q]->ptr(lo);
    }
    if (k.singlePrecision())
        sc.kf = scalarsOf<float>(s);
    else
        sc.kd = scalarsOf<double>(s);

    sc.metered = s.MeterOn > 0;
    const auto t0
        = sc.metered || chooses ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point {};

    sc.deal.reset(m);
    if (slotsUsed == 2) {
        const std::function<void(int)> task = [&](int slot) { runStripsOf(s, k, slot); };
        pool_->runPair(task);
    } else {
        runStripsOf(s, k, 0);
    }
    if (chooses)
        choice_.measured(n, k.longestStrip, slotsUsed,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());

    // Combine the strips in order: counts add, the Courant number is the
    // largest, and a NaN from any strip poisons the step.
    counts_ = {};
    double courant = 0;
    nanCourant = false;
    for (long j = 0; j < m; ++j) {
        const auto& c = sc.counters[static_cast<std::size_t>(j)];
        for (int q = 0; q < kernels::kCounterCount; ++q)
            counts_[static_cast<std::size_t>(q)] += c[static_cast<std::size_t>(q)];
        const double cj = sc.courant[static_cast<std::size_t>(j)];
        if (std::isnan(cj))
            nanCourant = true;
        else if (cj > courant)
            courant = cj;
    }

    if (sc.metered) {
        const std::chrono::duration<double> elapsed = sc.kernelsDone - t0;
        UpdateFlopMeter(s, elapsed.count(), counts_);
    }
    return courant;
}

template <class Real> long TimeStep::firstNotFinite(int q, long b) const
{
    // Only strips that found a value that is not finite are searched, in
    // the order of their cells.
    const Scratch& sc = *scratch_;
    for (std::size_t j = 0; j < sc.strips.size(); ++j) {
        if (sc.finite[j] != 0)
            continue;
        const Real* v = sc.template result<Real>(static_cast<long>(j), q) + b;
        for (long i = 0; i < sc.strips[j].length; ++i)
            if (!std::isfinite(v[i]))
                return sc.strips[j].start + i + 1;
    }
    return 0;
}

long TimeStep::firstNotFiniteCell(const ExperimentState& s, const SchemeInfo& k) const
{
    const Scratch& sc = *scratch_;
    auto search = [&](int q) -> long {
        if (sc.slot[static_cast<std::size_t>(q)] < 0)
            return 0;
        return k.singlePrecision() ? firstNotFinite<float>(q, s.NBdy) : firstNotFinite<double>(q, s.NBdy);
    };
    // The first cell with a value that is not finite, the five results of a
    // cell before the fluid results.
    long bad = 0;
    for (int q = 0; q < kernels::kFirstFluidNew; ++q)
        if (const long c = search(q); c > 0 && (bad == 0 || c < bad))
            bad = c;
    for (int q = kernels::kFirstFluidNew; q < kernels::kResultCount && bad == 0; ++q)
        bad = search(q);
    return bad;
}

void TimeStep::accept(ExperimentState& s, double courant)
{
    // The cells are in the grid already: each thread moved its own strips.
    s.TimeNow = s.TimeNow + s.Dt;
    s.TNextPlot = s.TNextPlot - s.Dt;

    // Grow 2.5 percent a step while well below the target Courant number,
    // cut back in proportion when above it.
    if (0.9 * s.CourantNumber > courant) {
        s.Dt = 1.025 * s.Dt;
        if (s.DtPlot > 0 && s.Dt > s.DtPlot)
            s.Dt = s.DtPlot;
    } else if (courant > s.CourantNumber) {
        s.Dt = (s.CourantNumber / courant) * s.Dt;
    }
}

AttemptResult TimeStep::attempt(ExperimentState& s)
{
    const SchemeInfo* k = lookup_ ? lookup_(s.SchemeName) : nullptr;
    if (k == nullptr || !k->runnable()) {
        lastReason_ = "there is no scheme named \"" + s.SchemeName + "\".";
        return AttemptResult::NoScheme;
    }
    const long n = s.NGridCells;
    if (n < 1 || !s.X.contains(n + s.NBdy + 1) || !s.VYNew.contains(n + 1)
        || (k->twoFluid && !s.FFracYYNew.contains(n + 1))
        || (k->twoFluid && !s.FFracYY.contains(n + s.NBdy + 1))) {
        lastReason_ = "the grid arrays are not allocated for this grid and scheme.";
        return AttemptResult::Fault;
    }
    if (s.NBdy < k->ghostCells) {
        lastReason_ = "the grid has " + std::to_string(s.NBdy) + " ghost cells, the scheme reads "
            + std::to_string(k->ghostCells) + ".";
        return AttemptResult::Fault;
    }
    if (!(s.Dt > 0) || !std::isfinite(s.Dt)) {
        lastReason_ = "the time step " + formatGeneral(s.Dt) + " is not a positive number.";
        return AttemptResult::Fault;
    }

    bool nanCourant = false;
    const double courant = runKernel(s, *k, nanCourant);
    courant_ = nanCourant ? std::nan("") : courant;
    if (nanCourant) {
        lastReason_ = "the kernel reported a Courant number that is not a number.";
        return AttemptResult::Fault;
    }
    if (courant >= 1) {
        s.Dt = 0.9 * s.Dt;
        return AttemptResult::Rejected;
    }
    if (!std::all_of(scratch_->finite.begin(), scratch_->finite.end(), [](char f) { return f != 0; })) {
        lastReason_ = "the new state of cell " + std::to_string(firstNotFiniteCell(s, *k)) + " is not finite.";
        return AttemptResult::Fault;
    }
    accept(s, courant);
    return AttemptResult::Accepted;
}

StepFault TimeStep::collapseFault(const ExperimentState& s, const std::string& why) const
{
    StepFault f;
    f.time = s.TimeNow;
    f.cycle = s.NCycle;
    const StepLimit limit = LimitingCell(s);
    f.message = "The run cannot finish: at t=" + formatGeneral(s.TimeNow) + " (cycle " + std::to_string(s.NCycle)
        + ") " + why;
    if (limit.cell > 0)
        f.message += " Cell " + std::to_string(limit.cell) + " (x=" + formatGeneral(limit.x) + ", rho="
            + formatGeneral(limit.rho) + ", p=" + formatGeneral(limit.p) + ", u=" + formatGeneral(limit.u)
            + ", sound speed " + formatGeneral(limit.soundSpeed) + ") limits the step.";
    return f;
}

std::string StepCollapse(const ExperimentState& s)
{
    const double left = s.TStop - s.TimeNow;
    if (s.Dt < kMinStepFraction * s.TStop)
        return "the time step has fallen to " + formatGeneral(s.Dt) + ", below " + formatGeneral(kMinStepFraction)
            + " of the stop time " + formatGeneral(s.TStop) + ".";
    if (left / s.Dt > kMaxRunSteps)
        return "the time step " + formatGeneral(s.Dt) + " would need more than " + formatGeneral(kMaxRunSteps)
            + " steps to reach the stop time " + formatGeneral(s.TStop) + ".";
    return {};
}

StepReport TimeStep::advance(ExperimentState& s)
{
    StepReport r;
    if (!(s.TimeNow < s.TStop)) {
        // Nothing is left of the run.
        r.runEnded = true;
        s.Stopped = 1;
        return r;
    }
    if (s.Dt > 0) {
        if (const std::string why = StepCollapse(s); !why.empty()) {
            r.outcome = AttemptResult::Fault;
            r.fault = collapseFault(s, why);
            return r;
        }
    }

    const double dt0 = s.Dt;
    bool landed = false;
    for (;;) {
        // The step that would reach or cross TStop is shortened to end on it.
        const bool landing = s.TimeNow + s.Dt >= s.TStop;
        const double dtInForce = s.Dt;
        if (landing)
            s.Dt = s.TStop - s.TimeNow;
        const AttemptResult a = attempt(s);
        r.courant = courant_;
        if (a == AttemptResult::Accepted) {
            if (landing) {
                // TimeNow + (TStop - TimeNow) can miss TStop by a rounding.
                s.TimeNow = s.TStop;
                s.Dt = dtInForce;
                landed = true;
            }
            break;
        }
        if (a == AttemptResult::Rejected) {
            if (++r.rejections < kMaxRejections)
                continue;
            lastReason_ = "the kernel rejected " + std::to_string(kMaxRejections)
                + " attempts in a row (Courant number " + formatGeneral(courant_) + ").";
        }
        // A failed step leaves the grid, the time and the time step as they were.
        s.Dt = dt0;
        r.outcome = a == AttemptResult::NoScheme ? AttemptResult::NoScheme : AttemptResult::Fault;
        r.fault = makeFault(s, lastReason_);
        return r;
    }

    // A snapshot time, and the end of the run, store a row.
    const bool snapshotTime = s.TNextPlot <= 0;
    if (!snapshotTime && !landed)
        return r;
    r.snapshotDue = true;
    const long n = s.NGridCells;
    if (snapshotTime)
        s.TNextPlot = s.TNextPlot + s.DtPlot;
    WidenPlotRanges(s);
    const long offset = (n + 2) * static_cast<long>(s.NStoredStates);
    s.STRowOffset = static_cast<Long>(offset);
    const long row = s.NStoredStates;
    if (offset + n + 1 <= static_cast<long>(s.NSTValues) && s.StoredTime.contains(row)
        && SnapshotRowFits(s, row)) {
        FillGhostCells(s);
        StoreSnapshotRow(s, row);
        s.STRowOffset = static_cast<Long>(offset + n + 2);
        s.NStoredStates = s.NStoredStates + 1;
        s.StoredStateShown = s.NStoredStates - 1;
        s.StoredTime[s.StoredStateShown] = s.TimeNow;
        r.rowStored = true;
        r.row = row;
        r.spaceTimeDue = SpaceTimeRepaintDue(row, s.NStoredStates, n);
    } else {
        r.historyFull = true;
    }
    if (landed) {
        r.runEnded = true;
        r.spaceTimeDue = true;
        s.Stopped = 1;
    } else if (!SnapshotRowFits(s, s.NStoredStates) || !s.StoredTime.contains(s.NStoredStates)) {
        // The history holds no further row: the run ends with its last row
        // rather than going on without storing.
        r.runEnded = true;
        r.historyEnded = true;
        r.spaceTimeDue = true;
        s.Stopped = 1;
        r.fault.time = s.TimeNow;
        r.fault.cycle = s.NCycle;
        r.fault.message = "The history is full: the run stops at t=" + formatGeneral(s.TimeNow) + " with its "
            + std::to_string(s.NStoredStates) + " stored rows, before its stop time " + formatGeneral(s.TStop)
            + ". Fewer cells or fewer snapshots per time unit let it run to the end.";
    }
    return r;
}

TickReport TimeStep::runTickSteps(
    ExperimentState& s, long n, std::chrono::nanoseconds budget, const SnapshotHook& onSnapshot)
{
    TickReport t;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < n; ++i) {
        const StepReport r = advance(s);
        if (r.outcome != AttemptResult::Accepted) {
            s.Stopped = 1;
            t.faulted = true;
            t.fault = r.fault;
            break;
        }
        if (r.runEnded && !r.snapshotDue) {
            // Nothing was left to step.
            t.runEnded = true;
            break;
        }
        ++t.stepsRun;
        if (r.rowStored)
            ++t.rowsStored;
        t.spaceTimeDue = t.spaceTimeDue || r.spaceTimeDue;
        if (r.snapshotDue && onSnapshot)
            onSnapshot(s, r);
        if (r.runEnded) {
            t.runEnded = true;
            t.historyEnded = r.historyEnded;
            if (r.historyEnded)
                t.fault = r.fault;
            break;
        }
        if (budget.count() > 0 && i + 1 < n && std::chrono::steady_clock::now() - start >= budget) {
            t.outOfTime = true;
            break;
        }
    }
    return t;
}

TickReport RunTick(
    ExperimentState& s, TimeStep& stepper, std::chrono::nanoseconds budget, const SnapshotHook& onSnapshot)
{
    if (s.Stopped != 0)
        return {};
    TickReport t = stepper.runTickSteps(s, StepsPerTick(s), budget, onSnapshot);
    FillGhostCells(s);
    WidenPlotRanges(s);
    s.MultiplePlots = 0;
    return t;
}

} // namespace tamrel
