// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The handful of operations kernel bodies use besides + - * /, written once
// for plain float and double. Kernel bodies are templates over their number
// type and call these by unqualified name, so the counting type of
// kernels/common/Counted.h can stand in for float or double (its overloads
// are found by argument-dependent lookup) and the same source both runs and
// counts its own arithmetic.
//
// kmin/kmax/kabs/kselect are the conditional merges of the operation counts;
// written as selects they compile to branch-free min/max/blend instructions.

#include <cmath>
#include <concepts>

namespace tamrel::kernels {

template <std::floating_point R> inline R kmin(R a, R b)
{
    return b < a ? b : a;
}
template <std::floating_point R> inline R kmax(R a, R b)
{
    return a < b ? b : a;
}
template <std::floating_point R> inline R kabs(R a)
{
    return std::fabs(a);
}
template <std::floating_point R> inline R kselect(bool c, R a, R b)
{
    return c ? a : b;
}
template <std::floating_point R> inline R ksqrt(R a)
{
    return std::sqrt(a);
}
// A power of 1 is 1 for every exponent, as std::pow gives it, without the
// library call: neighbouring cells of equal pressure raise their ratio 1 to
// a power at about a quarter of the exact Riemann solver's powers.
template <std::floating_point R> inline R kpow(R a, R b)
{
    return a == R(1) ? R(1) : std::pow(a, b);
}
// Not an operation: a test on the value (never counted).
template <std::floating_point R> inline bool kfinite(R a)
{
    return std::isfinite(a);
}
// The stored value of a number (identity for plain floats).
template <std::floating_point R> inline R plainValue(R a)
{
    return a;
}

} // namespace tamrel::kernels
