// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Lentor32": MUSCL-Hancock with the HLLC Riemann solver, single precision
// (the method: LentorKernel.h).

#include "kernels/KernelContract.h"
#include "kernels/StripArgs.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels::lentor {

// Ghost cells the stencil reads beyond each end of a strip.
inline constexpr int kGhostCells = 2;

// The strip of a call run on the counting type (see StripEntry::count).
OpCount countStrip(const StripArgs<float>& a);

} // namespace tamrel::kernels::lentor

// Entry point.
tamrel::kernels::LentorEntry LENTOR32;
