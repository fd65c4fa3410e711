// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The uniform-gas shortcut of the PPM kernels: blocks of cells that hold one
// state skip or copy their work, to the same bits (kernels/ppm/PpmScratch.h).
// On unless turned off; the tests turn it off to hold it to the full work.

namespace tamrel::kernels {

bool uniformShortcut();
void setUniformShortcut(bool on);

} // namespace tamrel::kernels
