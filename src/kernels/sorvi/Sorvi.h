// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Sorvi": Godunov's first-order method with the exact Riemann solver, single
// precision (the method: SorviKernel.h).

#include "kernels/KernelContract.h"
#include "kernels/StripArgs.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels::sorvi {

// Ghost cells the stencil reads beyond each end of a strip.
inline constexpr int kGhostCells = 1;

// The strip of a call run on the counting type (see StripEntry::count).
OpCount countStrip(const StripArgs<float>& a);

} // namespace tamrel::kernels::sorvi

// Entry point.
tamrel::kernels::SorviEntry SORVI;
