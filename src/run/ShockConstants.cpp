// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/ShockConstants.h"

#include "common/Format.h"

namespace tamrel {

std::string ShockConstantRefusal(const ShockConstantRange& range, double value)
{
    if (value >= range.lo && value <= range.hi)
        return {};
    return std::string(range.title) + ": " + formatGeneral(value) + " is outside " + formatGeneral(range.lo) + " to "
        + formatGeneral(range.hi) + "; the value before is kept.";
}

} // namespace tamrel
