// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// QUELMAR1D: the fluid-2 fraction of each cell sampled on a equal sub-cells,
// for the smoke plot of the two-fluid scheme.

#include "kernels/KernelContract.h"

// Entry point.
tamrel::kernels::SubcellProfileEntry QUELMAR1D;
