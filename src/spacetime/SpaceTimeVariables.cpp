// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/SpaceTimeVariables.h"

#include <array>

#include "kernels/SchemeTable.h"

namespace tamrel {

namespace {

    using S = ExperimentState;

    const std::array<SpaceTimeVariable, 8> kVariables = { {
        { "Density", &S::STRho, nullptr, nullptr },
        { "Pressure", &S::STP, nullptr, nullptr },
        { "Velocity", &S::STVX, nullptr, nullptr },
        { "R+", &S::STRPlus, nullptr, nullptr },
        { "R-", &S::STRMinus, nullptr, nullptr },
        { "R0 (Entropy)", &S::STEntropy, nullptr, nullptr },
        { "VY", &S::STVY, &S::VYGrayMin, &S::VYGrayMax },
        { "FSmoke", &S::STFSmoke, &S::FSmokeGrayMin, &S::FSmokeGrayMax },
    } };

} // namespace

std::span<const SpaceTimeVariable> SpaceTimeVariables()
{
    return kVariables;
}

const SpaceTimeVariable* FindSpaceTimeVariable(std::string_view text)
{
    for (const auto& v : kVariables)
        if (v.listText == text)
            return &v;
    return nullptr;
}

std::string_view EffectiveSpaceTimeVariable(const ExperimentState& s, std::string_view listText)
{
    if (kernels::dropsSmoke(s.SchemeName) && listText == "FSmoke")
        return "Density";
    return listText;
}

} // namespace tamrel
