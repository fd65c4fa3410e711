#include "run/TimeStep.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "common/Format.h"
#include "run/BoundaryFill.h"
#include "run/EstimateTimeStep.h"
#include "run/GridCopies.h"
#include "run/PlotRanges.h"
#include "run/RunControl.h"
#include "run/SnapshotRow.h"
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

    // The fluid arrays in the kernel's argument order (inputs) and result order.
    std::array<BoundedArray<double>*, kernels::kFluidArrays> fluidInputs(ExperimentState& s)
    {
        return { &s.Rho1, &s.Rho2, &s.P1, &s.P2, &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY,
            &s.FFracYY };
    }
    std::array<BoundedArray<double>*, kernels::kFluidArrays> fluidResults(ExperimentState& s)
    {
        return { &s.Rho1New, &s.Rho2New, &s.P1New, &s.P2New, &s.FFracNew, &s.FFracXNew, &s.FFracYNew,
            &s.FFracXXNew, &s.FFracXYNew, &s.FFracYYNew };
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
    // Full-length new density, pressure and velocity, indexed by cell.
    std::vector<double> rhoNew, pNew, vxNew;
    // Whole-grid Single copies of cells 1-B..N+B+1 (cell c at c+B-1).
    std::vector<float> x, rho, p, vx, vy, smoke;
    std::array<std::vector<float>, kernels::kFluidArrays> fluid;
    kernels::KernelScalars<double> kd {};
    kernels::KernelScalars<float> kf {};
    kernels::GridInputs<double> ind {};
    kernels::GridInputs<float> inf {};
    std::array<Slot, 2> slots;

    template <class Real> const kernels::GridInputs<Real>& inputs() const
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return inf;
        else
            return ind;
    }
    template <class Real> const kernels::KernelScalars<Real>& scalars() const
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return kf;
        else
            return kd;
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
    threads_ = std::clamp(threads, 1, 2);
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

template <class Real>
void TimeStep::runStrips(
    ExperimentState& s, const SchemeInfo& k, int slotIndex, std::atomic<long>& next, long count)
{
    Scratch& sc = *scratch_;
    kernels::StripPacker<Real>& packer = sc.slots[static_cast<std::size_t>(slotIndex)].template packer<Real>();
    const kernels::StripEntry<Real>& entry = k.entry<Real>();
    const long b = s.NBdy;

    // Destinations of the results, each pointing at cell 0.
    std::array<double*, kernels::kResultCount> dst {};
    dst[kernels::kRhoNew] = sc.rhoNew.data();
    dst[kernels::kPNew] = sc.pNew.data();
    dst[kernels::kVXNew] = sc.vxNew.data();
    dst[kernels::kVYNew] = s.VYNew.ptr(0);
    dst[kernels::kSmokeNew] = k.carriesSmoke ? s.FSmokeNew.ptr(0) : nullptr;
    if (k.twoFluid) {
        auto res = fluidResults(s);
        for (int q = 0; q < kernels::kFluidArrays; ++q)
            dst[static_cast<std::size_t>(kernels::kFirstFluidNew + q)] = res[static_cast<std::size_t>(q)]->ptr(0);
    }

    for (long j = next.fetch_add(1, std::memory_order_relaxed); j < count;
         j = next.fetch_add(1, std::memory_order_relaxed)) {
        const Strip st = sc.strips[static_cast<std::size_t>(j)];
        KLong* counters = sc.counters[static_cast<std::size_t>(j)].data();
        std::fill(counters, counters + kernels::kCounterCount, 0);
        Real courant = 0;
        const kernels::StripArgs<Real> args = packer.pack(sc.template inputs<Real>(), sc.template scalars<Real>(),
            st.start, st.length, b, entry.stripArrays, k.twoFluid, &courant, counters);
        for (long r = 0; r < reps_; ++r)
            entry.run(args);
        sc.courant[static_cast<std::size_t>(j)] = static_cast<double>(courant);
        // The results go back while they are in the cache, and are checked
        // on the way (a value is not finite when its exponent bits are all
        // ones).
        std::uint64_t bad = 0;
        for (int q = 0; q < kernels::kResultCount; ++q) {
            double* d = dst[static_cast<std::size_t>(q)];
            if (d == nullptr)
                continue;
            bad |= copyBack(args.out[static_cast<std::size_t>(q)] + (b - 1), d + st.start, st.length);
        }
        sc.finite[static_cast<std::size_t>(j)] = bad == 0;
    }
}

void TimeStep::runStripsOf(ExperimentState& s, const SchemeInfo& k, int slot, std::atomic<long>& next, long count)
{
    if (k.singlePrecision())
        runStrips<float>(s, k, slot, next, count);
    else
        runStrips<double>(s, k, slot, next, count);
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
    for (auto* v : { &sc.rhoNew, &sc.pNew, &sc.vxNew })
        if (v->size() < static_cast<std::size_t>(n + 1))
            v->resize(static_cast<std::size_t>(n + 1));
    const bool chooses = threads_ == 2 && sc.strips.size() >= 2 && !secondAlways_;
    int slotsUsed = threads_ == 2 && sc.strips.size() >= 2 ? 2 : 1;
    if (chooses)
        slotsUsed = choice_.next(n, k.longestStrip);
    lastThreads_ = slotsUsed;

    if (k.singlePrecision()) {
        // Whole-grid Single copies of cells 1-B..N+B+1, VZ all zero.
        const auto len = static_cast<std::size_t>(n + 2 * b + 1);
        const long lo = 1 - b;
        auto copy = [&](std::vector<float>& dst, const BoundedArray<double>& src) {
            if (dst.size() < len)
                dst.resize(len);
            narrowCopy(dst.data(), src.ptr(lo), static_cast<long>(len));
        };
        copy(sc.x, s.X);
        copy(sc.rho, s.Rho);
        copy(sc.p, s.P);
        copy(sc.vx, s.VX);
        copy(sc.vy, s.VY);
        copy(sc.smoke, s.FSmoke);
        sc.inf = { sc.x.data(), sc.rho.data(), sc.p.data(), sc.vx.data(), sc.vy.data(), sc.smoke.data(), {} };
        if (k.twoFluid) {
            auto in = fluidInputs(s);
            for (int q = 0; q < kernels::kFluidArrays; ++q) {
                copy(sc.fluid[static_cast<std::size_t>(q)], *in[static_cast<std::size_t>(q)]);
                sc.inf.fluid[static_cast<std::size_t>(q)] = sc.fluid[static_cast<std::size_t>(q)].data();
            }
        }
        sc.kf = scalarsOf<float>(s);
    } else {
        const long lo = 1 - b;
        sc.ind = { s.X.ptr(lo), s.Rho.ptr(lo), s.P.ptr(lo), s.VX.ptr(lo), s.VY.ptr(lo), s.FSmoke.ptr(lo), {} };
        sc.kd = scalarsOf<double>(s);
    }
    if (!k.carriesSmoke)
        for (long i = 1; i <= n; ++i)
            s.FSmokeNew[i] = 0.0;

    const bool metered = s.MeterOn > 0;
    const auto t0
        = metered || chooses ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point {};

    const long m = static_cast<long>(sc.strips.size());
    std::atomic<long> next { 0 };
    if (slotsUsed == 2) {
        const std::function<void(int)> task = [&](int slot) { runStripsOf(s, k, slot, next, m); };
        pool_->runPair(task);
    } else {
        runStripsOf(s, k, 0, next, m);
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

    if (metered) {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - t0;
        UpdateFlopMeter(s, elapsed.count(), counts_);
    }
    return courant;
}

namespace {

    long firstNotFinite(const double* v, long n)
    {
        for (long i = 1; i <= n; ++i)
            if (!std::isfinite(v[i]))
                return i;
        return 0;
    }

} // namespace

bool TimeStep::newStateFinite(const ExperimentState& s, const SchemeInfo& k, long& badCell) const
{
    // The strips checked their results as they copied them back: the cells
    // are searched only when one of them found a value that is not finite.
    const Scratch& sc = *scratch_;
    if (std::all_of(sc.finite.begin(), sc.finite.end(), [](char f) { return f != 0; }))
        return true;
    const long n = s.NGridCells;
    std::vector<const double*> arrays { sc.rhoNew.data(), sc.pNew.data(), sc.vxNew.data(), s.VYNew.ptr(0),
        s.FSmokeNew.ptr(0) };
    if (k.twoFluid)
        for (auto* a : fluidResults(const_cast<ExperimentState&>(s)))
            arrays.push_back(a->ptr(0));
    // The first cell with a value that is not finite, the five results of a
    // cell before the fluid results.
    badCell = 0;
    for (std::size_t q = 0; q < 5; ++q)
        if (const long c = firstNotFinite(arrays[q], n); c > 0 && (badCell == 0 || c < badCell))
            badCell = c;
    if (badCell == 0)
        for (std::size_t q = 5; q < arrays.size() && badCell == 0; ++q)
            badCell = firstNotFinite(arrays[q], n);
    return false;
}

void TimeStep::accept(ExperimentState& s, const SchemeInfo& k, double courant)
{
    const Scratch& sc = *scratch_;
    const long n = s.NGridCells;
    acceptCells(
        { s.Rho.ptr(0), s.P.ptr(0), s.VX.ptr(0), s.VY.ptr(0), s.FSmoke.ptr(0), sc.rhoNew.data(), sc.pNew.data(),
            sc.vxNew.data(), s.VYNew.ptr(0), s.FSmokeNew.ptr(0), s.RhoFloor, s.PFloor, s.VXEpsilon },
        n);
    if (k.twoFluid) {
        // The fluid results become the state as they are, the fraction also
        // the smoke: one copy per array (a loop over all eleven at once
        // reloads each array's address for every cell).
        const auto to = fluidInputs(s);
        const auto from = fluidResults(s);
        for (std::size_t q = 0; q < to.size(); ++q)
            std::copy_n(from[q]->ptr(1), n, to[q]->ptr(1));
        std::copy_n(s.FFracNew.ptr(1), n, s.FSmoke.ptr(1));
    }

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
    long bad = 0;
    if (!newStateFinite(s, *k, bad)) {
        lastReason_ = "the new state of cell " + std::to_string(bad) + " is not finite.";
        return AttemptResult::Fault;
    }
    accept(s, *k, courant);
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
        const long every = std::max(1L, 1000 / n);
        r.spaceTimeDue = s.NStoredStates % every == 0;
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
