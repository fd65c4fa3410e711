// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/BoundaryTypes.h"

#include "common/Format.h"
#include "common/Rounding.h"
#include "state/Boundaries.h"

namespace tamrel {

bool BoundaryTypesEditable(const ExperimentState& s)
{
    return s.isReady();
}

BoundaryPrompt LeftBoundaryPrompt(const ExperimentState& s)
{
    return { std::string(kLeftBoundaryPromptText) + std::string(kBoundaryCodesText),
        std::string(kLeftBoundaryTitle), std::to_string(s.MnBdry) };
}

BoundaryPrompt RightBoundaryPrompt(const ExperimentState& s)
{
    return { std::string(kRightBoundaryPromptText) + std::string(kBoundaryCodesText),
        std::string(kRightBoundaryTitle), std::to_string(s.MxBdry) };
}

std::optional<Long> BoundaryAnswerCode(const std::optional<std::string>& answer)
{
    if (!answer)
        return std::nullopt;
    const auto v = parseNumber(*answer);
    if (!v)
        return std::nullopt;
    return roundToLong(*v);
}

bool ApplyLeftBoundaryAnswer(ExperimentState& s, const std::optional<std::string>& answer)
{
    if (const auto code = BoundaryAnswerCode(answer))
        s.MnBdry = *code;
    // A periodic left end makes the whole grid periodic.
    if (s.MnBdry == kPeriodicBoundary) {
        s.MxBdry = kPeriodicBoundary;
        return false;
    }
    return true;
}

void ApplyRightBoundaryAnswer(ExperimentState& s, const std::optional<std::string>& answer)
{
    if (const auto code = BoundaryAnswerCode(answer))
        s.MxBdry = *code;
}

} // namespace tamrel
