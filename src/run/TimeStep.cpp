#include "run/TimeStep.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/Format.h"
#include "run/BoundaryFill.h"
#include "run/EstimateTimeStep.h"
#include "run/PlotRanges.h"
#include "run/RunControl.h"
#include "run/SnapshotRow.h"
#include "run/StripPool.h"

namespace tamrel {

using kernels::EntryKind;
using kernels::KLong;
using kernels::SchemeInfo;

namespace {

    // Kernel outputs in the order the multifluid kernel lists them.
    enum Out {
        oRho,
        oP,
        oVX,
        oVY,
        oSmoke,
        oRho1,
        oRho2,
        oP1,
        oP2,
        oFrac,
        oFracX,
        oFracY,
        oFracXX,
        oFracXY,
        oFracYY,
        kOutCount
    };
    constexpr int kFluidCount = 10;

    template <class Real> struct Constants {
        Real dt, gamma, rhoFloor, kernelFloor, pFloor, vxEpsilon, difcon, shkjmp, wavhaf, gamma1, gamma2,
            rhoRatio2;
    };

    template <class Real> Constants<Real> constantsOf(const ExperimentState& s)
    {
        auto r = [](double v) { return static_cast<Real>(v); };
        return { r(s.Dt), r(s.Gamma), r(s.RhoFloor), r(s.KernelFloor), r(s.PFloor), r(s.VXEpsilon), r(s.Difcon),
            r(s.Shkjmp), r(s.Wavhaf), r(s.Gamma1), r(s.Gamma2), r(s.RhoRatio2) };
    }

    // Whole-grid inputs, each pointing at cell 1-B: a strip that starts after
    // `start` cells finds its cell 1-B at offset `start`.
    template <class Real> struct Inputs {
        const Real *x, *rho, *p, *vx, *vy, *smoke, *vz;
        std::array<const Real*, kFluidCount> fluid;
    };

    // Scratch of one thread: the strip arrays, Work and the New outputs of the
    // strip being advanced. Sized for the common strip length; grows only.
    template <class Real> struct SlotBuffers {
        std::vector<Real> rho3, p3, vx3, vy3, vz3, work;
        std::array<std::vector<Real>, kOutCount> out;

        void ensure(long len, long b)
        {
            const auto s3 = static_cast<std::size_t>(kernels::strip3Size(len, b));
            const auto s1 = static_cast<std::size_t>(len + 2 * b + 1);
            for (auto* v : { &rho3, &p3, &vx3, &vy3, &vz3 }) // vz3 only ever grows with zeros
                if (v->size() < s3)
                    v->resize(s3);
            if (work.size() < s1 * kernels::kWorkPerCell)
                work.resize(s1 * kernels::kWorkPerCell);
            for (auto& v : out)
                if (v.size() < s1)
                    v.resize(s1);
        }
    };

    // A strip array: cells 1-B..L+B of the strip in the first column, then the
    // same column 24 more times.
    template <class Real> void fillStrip3(std::vector<Real>& dst, const Real* src, long len, long b)
    {
        const long col = len + 2 * b;
        std::copy(src, src + col, dst.begin());
        for (long c = 1; c < 25; ++c)
            std::copy(dst.begin(), dst.begin() + col, dst.begin() + c * col);
    }

    template <class Real>
    void fillStrip3s(SlotBuffers<Real>& buf, const Inputs<Real>& in, long start, long len, long b)
    {
        fillStrip3(buf.rho3, in.rho + start, len, b);
        fillStrip3(buf.p3, in.p + start, len, b);
        fillStrip3(buf.vx3, in.vx + start, len, b);
        fillStrip3(buf.vy3, in.vy + start, len, b);
    }

    template <class Real>
    void callOrvane(kernels::OrvaneEntry<Real>* fn, SlotBuffers<Real>& buf, const Inputs<Real>& in,
        const Constants<Real>& c, long start, long len, long b, long reps, Real* courant, KLong* counters)
    {
        fillStrip3s(buf, in, start, len, b);
        const KLong l = static_cast<KLong>(len), bb = static_cast<KLong>(b);
        auto& o = buf.out;
        for (long r = 0; r < reps; ++r)
            fn(in.x + start, buf.rho3.data(), buf.p3.data(), buf.vx3.data(), buf.vy3.data(), buf.vz3.data(),
                in.smoke + start, o[oRho].data(), o[oP].data(), o[oVX].data(), o[oVY].data(), buf.work.data(),
                o[oSmoke].data(), &c.dt, courant, &c.gamma, &c.rhoFloor, &c.kernelFloor, &c.pFloor, &c.vxEpsilon,
                &c.difcon, &c.shkjmp, &c.wavhaf, &l, &bb, counters);
    }

    void callLentor(kernels::LentorEntry* fn, SlotBuffers<float>& buf, const Inputs<float>& in,
        const Constants<float>& c, long start, long len, long b, long reps, float* courant, KLong* counters)
    {
        const KLong l = static_cast<KLong>(len), bb = static_cast<KLong>(b);
        auto& o = buf.out;
        const long at = start;
        for (long r = 0; r < reps; ++r)
            fn(in.x + at, in.rho + at, in.p + at, in.vx + at, in.vy + at, in.vz + at, in.smoke + at,
                o[oRho].data(), o[oP].data(), o[oVX].data(), o[oVY].data(), buf.work.data(), o[oSmoke].data(),
                &c.dt, courant, &c.gamma, &c.rhoFloor, &c.kernelFloor, &c.pFloor, &c.vxEpsilon, &l, &bb, counters);
    }

    void callSorvi(kernels::SorviEntry* fn, SlotBuffers<float>& buf, const Inputs<float>& in,
        const Constants<float>& c, long start, long len, long b, long reps, float* courant, KLong* counters)
    {
        const KLong l = static_cast<KLong>(len), bb = static_cast<KLong>(b);
        auto& o = buf.out;
        const float* rho = in.rho + start;
        const float* p = in.p + start;
        const float* vx = in.vx + start;
        const float* vy = in.vy + start;
        const float* vz3 = buf.vz3.data();
        for (long r = 0; r < reps; ++r)
            fn(in.x + start, rho, rho, rho, rho, rho, p, p, p, p, p, vx, vx, vx, vx, vx, vy, vy, vy, vy, vy, vy,
                vy, vz3, vz3, vz3, vz3, vz3, vz3, vz3, o[oRho].data(), o[oP].data(), o[oVX].data(), o[oVY].data(),
                buf.work.data(), &c.dt, courant, &c.gamma, &c.rhoFloor, &c.kernelFloor, &c.pFloor, &c.vxEpsilon,
                &l, &bb, counters);
    }

    void callMixtal(kernels::MixtalEntry* fn, SlotBuffers<float>& buf, const Inputs<float>& in,
        const Constants<float>& c, long start, long len, long b, long reps, KLong cycle, float* courant,
        KLong* counters)
    {
        fillStrip3s(buf, in, start, len, b);
        const KLong l = static_cast<KLong>(len), bb = static_cast<KLong>(b);
        auto& o = buf.out;
        const auto& f = in.fluid;
        const long at = start;
        for (long r = 0; r < reps; ++r)
            fn(in.x + at, buf.rho3.data(), buf.p3.data(), buf.vx3.data(), buf.vy3.data(), buf.vz3.data(),
                in.smoke + at, f[0] + at, f[1] + at, f[2] + at, f[3] + at, f[4] + at, f[5] + at, f[6] + at,
                f[7] + at, f[8] + at, f[9] + at, o[oRho].data(), o[oP].data(), o[oVX].data(), o[oVY].data(),
                o[oSmoke].data(), o[oRho1].data(), o[oRho2].data(), o[oP1].data(), o[oP2].data(), o[oFrac].data(),
                o[oFracX].data(), o[oFracY].data(), o[oFracXX].data(), o[oFracXY].data(), o[oFracYY].data(), &c.dt,
                courant, &c.gamma, &c.rhoFloor, &c.kernelFloor, &c.pFloor, &c.vxEpsilon, &c.gamma1, &c.gamma2,
                &c.rhoRatio2, &c.difcon, &c.shkjmp, &c.wavhaf, &l, &bb, counters, &cycle);
    }

    bool entryPresent(const SchemeInfo& k)
    {
        switch (k.kind) {
        case EntryKind::Orvane64:
            return k.orvane64 != nullptr;
        case EntryKind::Orvane32:
            return k.orvane32 != nullptr;
        case EntryKind::Lentor:
            return k.lentor != nullptr;
        case EntryKind::Mixtal:
            return k.mixtal != nullptr;
        case EntryKind::Sorvi:
            return k.sorvi != nullptr;
        }
        return false;
    }

    // The fluid arrays in the kernel's argument order (inputs) and result order.
    std::array<BoundedArray<double>*, kFluidCount> fluidInputs(ExperimentState& s)
    {
        return { &s.Rho1, &s.Rho2, &s.P1, &s.P2, &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY,
            &s.FFracYY };
    }
    std::array<BoundedArray<double>*, kFluidCount> fluidResults(ExperimentState& s)
    {
        return { &s.Rho1New, &s.Rho2New, &s.P1New, &s.P2New, &s.FFracNew, &s.FFracXNew, &s.FFracYNew,
            &s.FFracXXNew, &s.FFracXYNew, &s.FFracYYNew };
    }

} // namespace

struct TimeStep::Slot {
    SlotBuffers<double> d;
    SlotBuffers<float> f;
};

struct TimeStep::Scratch {
    long n = -1, longest = -1;
    std::vector<Strip> strips;
    std::vector<std::array<KLong, kernels::kCounterCount>> counters;
    std::vector<double> courant;
    // Full-length new density, pressure and velocity, indexed by cell.
    std::vector<double> rhoNew, pNew, vxNew;
    // Whole-grid Single copies of cells 1-B..N+B+1 (cell c at c+B-1).
    std::vector<float> x, rho, p, vx, vy, smoke, vz;
    std::array<std::vector<float>, kFluidCount> fluid;
    Constants<double> cd {};
    Constants<float> cf {};
    Inputs<double> ind {};
    Inputs<float> inf {};
    std::array<Slot, 2> slots;
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

void TimeStep::runStrips(ExperimentState& s, const SchemeInfo& k, int slotIndex, long first, long last)
{
    Scratch& sc = *scratch_;
    Slot& slot = sc.slots[static_cast<std::size_t>(slotIndex)];
    const long b = s.NBdy;
    const KLong cycle = s.NCycle;

    // Destinations of the outputs, each pointing at cell 0.
    std::array<double*, kOutCount> dst {};
    dst[oRho] = sc.rhoNew.data();
    dst[oP] = sc.pNew.data();
    dst[oVX] = sc.vxNew.data();
    dst[oVY] = s.VYNew.ptr(0);
    dst[oSmoke] = k.carriesSmoke ? s.FSmokeNew.ptr(0) : nullptr;
    if (k.multifluid) {
        auto res = fluidResults(s);
        for (int q = 0; q < kFluidCount; ++q)
            dst[static_cast<std::size_t>(oRho1 + q)] = res[static_cast<std::size_t>(q)]->ptr(0);
    }

    for (long j = first; j < last; ++j) {
        const Strip st = sc.strips[static_cast<std::size_t>(j)];
        KLong* counters = sc.counters[static_cast<std::size_t>(j)].data();
        std::fill(counters, counters + kernels::kCounterCount, 0);
        double courant = 0;
        if (k.singlePrecision) {
            float c = 0;
            switch (k.kind) {
            case EntryKind::Orvane32:
                callOrvane(k.orvane32, slot.f, sc.inf, sc.cf, st.start, st.length, b, reps_, &c, counters);
                break;
            case EntryKind::Lentor:
                callLentor(k.lentor, slot.f, sc.inf, sc.cf, st.start, st.length, b, reps_, &c, counters);
                break;
            case EntryKind::Mixtal:
                callMixtal(k.mixtal, slot.f, sc.inf, sc.cf, st.start, st.length, b, reps_, cycle, &c, counters);
                break;
            case EntryKind::Sorvi:
                callSorvi(k.sorvi, slot.f, sc.inf, sc.cf, st.start, st.length, b, reps_, &c, counters);
                break;
            case EntryKind::Orvane64:
                break;
            }
            courant = static_cast<double>(c);
            for (int q = 0; q < kOutCount; ++q) {
                double* d = dst[static_cast<std::size_t>(q)];
                if (d == nullptr || (q == oSmoke && k.kind == EntryKind::Sorvi))
                    continue;
                const float* o = slot.f.out[static_cast<std::size_t>(q)].data() + (b - 1);
                for (long i = 1; i <= st.length; ++i)
                    d[st.start + i] = static_cast<double>(o[i]);
            }
        } else {
            callOrvane(k.orvane64, slot.d, sc.ind, sc.cd, st.start, st.length, b, reps_, &courant, counters);
            for (int q = 0; q <= oSmoke; ++q) {
                double* d = dst[static_cast<std::size_t>(q)];
                if (d == nullptr)
                    continue;
                const double* o = slot.d.out[static_cast<std::size_t>(q)].data() + (b - 1);
                for (long i = 1; i <= st.length; ++i)
                    d[st.start + i] = o[i];
            }
        }
        sc.courant[static_cast<std::size_t>(j)] = courant;
    }
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
        sc.n = n;
        sc.longest = k.longestStrip;
    }
    const long common = sc.strips.empty() ? 0 : sc.strips.front().length;
    for (auto* v : { &sc.rhoNew, &sc.pNew, &sc.vxNew })
        if (v->size() < static_cast<std::size_t>(n + 1))
            v->resize(static_cast<std::size_t>(n + 1));
    const int slotsUsed = threads_ == 2 && sc.strips.size() >= 2 ? 2 : 1;
    for (int q = 0; q < slotsUsed; ++q) {
        auto& slot = sc.slots[static_cast<std::size_t>(q)];
        if (k.singlePrecision)
            slot.f.ensure(common, b);
        else
            slot.d.ensure(common, b);
    }

    if (k.singlePrecision) {
        // Whole-grid Single copies of cells 1-B..N+B+1, VZ all zero.
        const auto len = static_cast<std::size_t>(n + 2 * b + 1);
        const long lo = 1 - b;
        auto copy = [&](std::vector<float>& dst, const BoundedArray<double>& src) {
            if (dst.size() < len)
                dst.resize(len);
            const double* from = src.ptr(lo);
            for (std::size_t i = 0; i < len; ++i)
                dst[i] = static_cast<float>(from[i]);
        };
        copy(sc.x, s.X);
        copy(sc.rho, s.Rho);
        copy(sc.p, s.P);
        copy(sc.vx, s.VX);
        copy(sc.vy, s.VY);
        copy(sc.smoke, s.FSmoke);
        if (sc.vz.size() < len)
            sc.vz.resize(len);
        sc.inf = { sc.x.data(), sc.rho.data(), sc.p.data(), sc.vx.data(), sc.vy.data(), sc.smoke.data(),
            sc.vz.data(), {} };
        if (k.multifluid) {
            auto in = fluidInputs(s);
            for (int q = 0; q < kFluidCount; ++q) {
                copy(sc.fluid[static_cast<std::size_t>(q)], *in[static_cast<std::size_t>(q)]);
                sc.inf.fluid[static_cast<std::size_t>(q)] = sc.fluid[static_cast<std::size_t>(q)].data();
            }
        }
        sc.cf = constantsOf<float>(s);
    } else {
        const long lo = 1 - b;
        sc.ind = { s.X.ptr(lo), s.Rho.ptr(lo), s.P.ptr(lo), s.VX.ptr(lo), s.VY.ptr(lo), s.FSmoke.ptr(lo), nullptr,
            {} };
        sc.cd = constantsOf<double>(s);
    }
    if (!k.carriesSmoke)
        for (long i = 1; i <= n; ++i)
            s.FSmokeNew[i] = 0.0;

    const bool metered = s.MeterOn > 0;
    const auto t0 = metered ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point {};

    const long m = static_cast<long>(sc.strips.size());
    if (slotsUsed == 2) {
        const long half = (m + 1) / 2;
        const std::function<void(int)> task = [&](int slot) {
            if (slot == 0)
                runStrips(s, k, 0, 0, half);
            else
                runStrips(s, k, 1, half, m);
        };
        pool_->runPair(task);
    } else {
        runStrips(s, k, 0, 0, m);
    }

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

bool TimeStep::newStateFinite(const ExperimentState& s, const SchemeInfo& k, long& badCell) const
{
    const Scratch& sc = *scratch_;
    const long n = s.NGridCells;
    for (long i = 1; i <= n; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (!std::isfinite(sc.rhoNew[u]) || !std::isfinite(sc.pNew[u]) || !std::isfinite(sc.vxNew[u])
            || !std::isfinite(s.VYNew[i]) || !std::isfinite(s.FSmokeNew[i])) {
            badCell = i;
            return false;
        }
    }
    if (k.multifluid) {
        auto& ms = const_cast<ExperimentState&>(s);
        for (auto* a : fluidResults(ms))
            for (long i = 1; i <= n; ++i)
                if (!std::isfinite((*a)[i])) {
                    badCell = i;
                    return false;
                }
    }
    return true;
}

void TimeStep::accept(ExperimentState& s, const SchemeInfo& k, double courant)
{
    const Scratch& sc = *scratch_;
    const long n = s.NGridCells;
    for (long i = 1; i <= n; ++i) {
        const auto u = static_cast<std::size_t>(i);
        s.Rho[i] = sc.rhoNew[u];
        s.P[i] = sc.pNew[u];
        s.VX[i] = sc.vxNew[u];
        s.VY[i] = s.VYNew[i];
        s.FSmoke[i] = s.FSmokeNew[i];
        if (s.Rho[i] < s.RhoFloor)
            s.Rho[i] = s.RhoFloor;
        if (s.P[i] < s.PFloor)
            s.P[i] = s.PFloor;
        if (std::fabs(s.VX[i]) < s.VXEpsilon)
            s.VX[i] = 0;
        if (std::fabs(s.VY[i]) < s.VXEpsilon)
            s.VY[i] = 0;
    }
    if (k.multifluid) {
        for (long i = 1; i <= n; ++i) {
            s.Rho1[i] = s.Rho1New[i];
            s.Rho2[i] = s.Rho2New[i];
            s.P1[i] = s.P1New[i];
            s.P2[i] = s.P2New[i];
            s.FSmoke[i] = s.FFracNew[i];
            s.FFrac[i] = s.FFracNew[i];
            s.FFracX[i] = s.FFracXNew[i];
            s.FFracY[i] = s.FFracYNew[i];
            s.FFracXX[i] = s.FFracXXNew[i];
            s.FFracXY[i] = s.FFracXYNew[i];
            s.FFracYY[i] = s.FFracYYNew[i];
        }
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
    if (k == nullptr || !entryPresent(*k)) {
        lastReason_ = "there is no scheme named \"" + s.SchemeName + "\".";
        return AttemptResult::NoScheme;
    }
    const long n = s.NGridCells;
    if (n < 1 || !s.X.contains(n + s.NBdy + 1) || !s.VYNew.contains(n + 1)
        || (k->multifluid && !s.FFracYYNew.contains(n + 1))
        || (k->multifluid && !s.FFracYY.contains(n + s.NBdy + 1))) {
        lastReason_ = "the grid arrays are not allocated for this grid and scheme.";
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
