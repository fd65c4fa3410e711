// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operations of each block of the exact Riemann solver, measured by
// running the block once with the counting type. Blocks are branch-free, so
// one run on any values gives their cost on every input.

#include <array>

#include "kernels/common/Counted.h"
#include "kernels/riemann/ExactRiemannCore.h"

namespace tamrel::kernels::riemann {

// Costs of the blocks of RiemannPath, for the precision Real, written to
// out[0 .. kRiemannPathCount-1].
template <class Real, std::size_t N> void measureRiemannBlockCosts(std::array<OpCount, N>& out)
{
    static_assert(N >= kRiemannPathCount);
    using C = Counted<Real>;
    const C one(1), s(0);
    const GasConstants<C> g = GasConstants<C>::make(C(1.4));
    const GasState<C> K { one, one, one, one };
    const PressureFunction<C> f { one, one };
    auto cost = [&](RiemannPath p) -> OpCount& { return out[static_cast<std::size_t>(p)]; };
    using P = RiemannPath;
    cost(P::VelocityJump) = measureOps([&] { (void)velocityJump(K, K, g); });
    cost(P::GuessPvrs) = measureOps([&] { (void)guessPvrs(K, K); });
    cost(P::GuessTwoRarefaction) = measureOps([&] { (void)guessTwoRarefaction(K, K, g, one); });
    cost(P::GuessTwoShock) = measureOps([&] { (void)guessTwoShock(K, K, one, g, one); });
    cost(P::PrefunShock) = measureOps([&] { (void)prefunShock(one, K, g); });
    cost(P::PrefunRarefaction) = measureOps([&] { (void)prefunRarefaction(one, K, g); });
    cost(P::NewtonStep) = measureOps([&] { (void)newtonStep(one, f, f, one, one); });
    cost(P::StarVelocity) = measureOps([&] { (void)starVelocity(K, K, f, f); });
    cost(P::RarefactionHead) = measureOps([&] { (void)rarefactionHead(K, false); });
    cost(P::RarefactionTail) = measureOps([&] { (void)rarefactionTail(K, one, one, g, false); });
    cost(P::StarRarefaction) = measureOps([&] { (void)starDensityRarefaction(K, one, g); });
    cost(P::Fan) = measureOps([&] { (void)fanState(K, s, g, false); });
    cost(P::ShockSpeed) = measureOps([&] { (void)shockSpeed(K, one, g, false); });
    cost(P::StarShock) = measureOps([&] { (void)starDensityShock(K, one, g); });
    cost(P::VacuumFronts) = measureOps([&] { (void)vacuumFronts(K, K, g); });
}

} // namespace tamrel::kernels::riemann
