// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/SpaceTimePaint.h"

#include "common/Format.h"
#include "spacetime/SpaceTimeVariables.h"

namespace tamrel {

SpaceTimePaint PaintSpaceTime(const ExperimentState& s, std::string_view listText, int W, int H, GrayImage& image)
{
    SpaceTimePaint out;
    if (s.NStoredStates <= 1) {
        out.noRun = true;
        return out;
    }

    const std::string_view shown = EffectiveSpaceTimeVariable(s, listText);
    if (shown != listText)
        out.replacementListText = std::string(shown);
    const bool big = s.BigSpaceTime == 1;
    if (big)
        out.velocityLabelCaption = std::string(shown);

    const SpaceTimeVariable* var = FindSpaceTimeVariable(shown);
    if (!var)
        return out;
    const BoundedArray<float>& history = s.*(var->history);
    if (history.empty())
        return out;

    const long n = s.NGridCells;
    const std::span<const float> data(history.ptr(history.lower()), static_cast<std::size_t>(history.size()));
    const auto range = DrawSpaceTimeImage(data, n, s.NStoredStates, n + 2, W, H, image);
    if (!range)
        return out;

    out.drawn = true;
    out.vmin = range->vmin;
    out.vmax = range->vmax;
    out.keptMin = var->keptMin;
    out.keptMax = var->keptMax;
    if (big) {
        out.velocityMinText = formatPattern(range->vmin, "##0.0####");
        out.velocityMaxText = formatPattern(range->vmax, "##0.0####");
    }
    return out;
}

void KeepSpaceTimeRange(ExperimentState& s, const SpaceTimePaint& paint)
{
    if (!paint.drawn || !paint.keptMin || !paint.keptMax)
        return;
    s.*(paint.keptMin) = paint.vmin;
    s.*(paint.keptMax) = paint.vmax;
}

} // namespace tamrel
