// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/common/UniformShortcut.h"

#include <atomic>

namespace tamrel::kernels {

namespace {
    std::atomic<bool> shortcutOn { true };
}

bool uniformShortcut()
{
    return shortcutOn.load(std::memory_order_relaxed);
}

void setUniformShortcut(bool on)
{
    shortcutOn.store(on, std::memory_order_relaxed);
}

} // namespace tamrel::kernels
