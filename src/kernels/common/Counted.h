// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Counted<Real>: a number that behaves like Real and tallies every
// floating-point operation it takes part in, by kind (see OpCount.h).
//
// A kernel body written as a template over its number type is instantiated
// once with float or double to run, and once with Counted<float> or
// Counted<double> to count: the counting run executes exactly the arithmetic
// of the real one, on the same values and through the same branches. Tests
// compare what a kernel reports in its Counters with such a run; kernels also
// derive the cost of each branch-free block of their code from it once.
//
// Counting goes to the innermost OpCountScope of the calling thread; without
// one the operations run uncounted. Construction from a plain number is
// explicit, so a kernel body cannot mix in double arithmetic by accident
// (Real(0.5) * x, never 0.5 * x).
//
// Usage:
//     OpCountScope scope;
//     myKernelBody<Counted<float>>(...);
//     scope.counts().mul ...

#include <cmath>
#include <concepts>
#include <type_traits>

#include "kernels/common/KernelMath.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels {

namespace opcount_detail {
    inline thread_local OpCount* sink = nullptr;
    inline void bump(std::uint64_t OpCount::*kind)
    {
        if (sink)
            ++(sink->*kind);
    }
} // namespace opcount_detail

// Collects the operations of Counted numbers on this thread while alive.
// Scopes nest; an inner scope hides its counts from the outer one.
class OpCountScope {
public:
    OpCountScope()
        : previous_(opcount_detail::sink)
    {
        opcount_detail::sink = &counts_;
    }
    ~OpCountScope() { opcount_detail::sink = previous_; }
    OpCountScope(const OpCountScope&) = delete;
    OpCountScope& operator=(const OpCountScope&) = delete;
    const OpCount& counts() const { return counts_; }

private:
    OpCount counts_;
    OpCount* previous_;
};

// Operations executed by f() on Counted numbers.
template <class F> OpCount measureOps(F&& f)
{
    OpCountScope scope;
    f();
    return scope.counts();
}

template <std::floating_point Real> class Counted {
public:
    using value_type = Real;

    Counted() = default;
    template <class S>
    requires std::is_arithmetic_v<S>
    explicit Counted(S v)
        : v_(static_cast<Real>(v))
    {
    }

    Real value() const { return v_; }

    friend Counted operator+(Counted a, Counted b) { return tally(&OpCount::add, a.v_ + b.v_); }
    friend Counted operator-(Counted a, Counted b) { return tally(&OpCount::add, a.v_ - b.v_); }
    friend Counted operator*(Counted a, Counted b) { return tally(&OpCount::mul, a.v_ * b.v_); }
    friend Counted operator/(Counted a, Counted b) { return tally(&OpCount::div, a.v_ / b.v_); }
    friend Counted operator-(Counted a) { return Counted(-a.v_); }
    Counted& operator+=(Counted b) { return *this = *this + b; }
    Counted& operator-=(Counted b) { return *this = *this - b; }
    Counted& operator*=(Counted b) { return *this = *this * b; }
    Counted& operator/=(Counted b) { return *this = *this / b; }

    friend bool operator==(Counted a, Counted b) { return a.v_ == b.v_; }
    friend bool operator!=(Counted a, Counted b) { return a.v_ != b.v_; }
    friend bool operator<(Counted a, Counted b) { return a.v_ < b.v_; }
    friend bool operator<=(Counted a, Counted b) { return a.v_ <= b.v_; }
    friend bool operator>(Counted a, Counted b) { return a.v_ > b.v_; }
    friend bool operator>=(Counted a, Counted b) { return a.v_ >= b.v_; }

    friend Counted kmin(Counted a, Counted b) { return tally(&OpCount::merge, kmin(a.v_, b.v_)); }
    friend Counted kmax(Counted a, Counted b) { return tally(&OpCount::merge, kmax(a.v_, b.v_)); }
    friend Counted kabs(Counted a) { return tally(&OpCount::merge, kabs(a.v_)); }
    friend Counted kselect(bool c, Counted a, Counted b) { return tally(&OpCount::merge, c ? a.v_ : b.v_); }
    friend Counted ksqrt(Counted a) { return tally(&OpCount::sqrt, ksqrt(a.v_)); }
    friend Counted kpow(Counted a, Counted b) { return tally(&OpCount::exp, kpow(a.v_, b.v_)); }
    friend bool kfinite(Counted a) { return kfinite(a.v_); }
    friend Real plainValue(Counted a) { return a.v_; }

private:
    static Counted tally(std::uint64_t OpCount::*kind, Real v)
    {
        opcount_detail::bump(kind);
        return Counted(v);
    }
    Real v_ = 0;
};

} // namespace tamrel::kernels
