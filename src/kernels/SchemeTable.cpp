// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/SchemeTable.h"

#include <array>

#include "kernels/ArgumentForms.h"
#include "kernels/lentor/Lentor.h"
#include "kernels/mixtal/Mixtal.h"
#include "kernels/ppm/Ppm.h"
#include "kernels/sorvi/Sorvi.h"

namespace tamrel::kernels {

namespace {
    constexpr std::array<SchemeInfo, 5> kSchemes { {
        { .name = "Orvane",
            .precision = Precision::Double,
            .twoFluid = false,
            .carriesSmoke = true,
            .longestStrip = 100,
            .ghostCells = ppm::kMinGhostCells,
            .single = {},
            .dbl = stripArraysEntry<double, &ORVANE64>(&ppm::countStrip<double>) },
        { .name = "Orvane32",
            .precision = Precision::Single,
            .twoFluid = false,
            .carriesSmoke = true,
            .longestStrip = 200,
            .ghostCells = ppm::kMinGhostCells,
            .single = stripArraysEntry<float, &ORVANE32>(&ppm::countStrip<float>),
            .dbl = {} },
        { .name = "Lentor32",
            .precision = Precision::Single,
            .twoFluid = false,
            .carriesSmoke = true,
            .longestStrip = 200,
            .ghostCells = lentor::kGhostCells,
            .single = slicesEntry<&LENTOR32>(&lentor::countStrip),
            .dbl = {} },
        { .name = "Mixtal32",
            .precision = Precision::Single,
            .twoFluid = true,
            .carriesSmoke = true,
            .longestStrip = 4096,
            .ghostCells = mixtal::kGhostCells,
            // Of the optional inputs MIXTAL reads Rho1, Rho2, FFrac and
            // FFracX; the fraction is its smoke.
            .single = twoFluidEntry<&MIXTAL>(
                &mixtal::countStrip, kReadsFluid << 0 | kReadsFluid << 1 | kReadsFluid << 4 | kReadsFluid << 5),
            .dbl = {} },
        { .name = "Sorvi",
            .precision = Precision::Single,
            .twoFluid = false,
            .carriesSmoke = false,
            .longestStrip = 200,
            .ghostCells = sorvi::kGhostCells,
            .single = repeatedEntry<&SORVI>(&sorvi::countStrip),
            .dbl = {} },
    } };

    char lower(char c)
    {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
} // namespace

bool sameSchemeName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

const SchemeInfo* findSchemeIn(std::span<const SchemeInfo> rows, std::string_view name)
{
    for (const auto& s : rows)
        if (sameSchemeName(s.name, name))
            return &s;
    return nullptr;
}

const SchemeInfo* findScheme(std::string_view name)
{
    return findSchemeIn(kSchemes, name);
}

std::span<const SchemeInfo> allSchemes()
{
    return kSchemes;
}

std::string schemeNamesPhrase(std::span<const SchemeInfo> rows, std::string_view lastJoin)
{
    std::string phrase;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            phrase += i + 1 == rows.size() ? lastJoin : ", ";
        phrase += rows[i].name;
    }
    return phrase;
}

bool twoFluidScheme(std::string_view name)
{
    const SchemeInfo* s = findScheme(name);
    return s != nullptr && s->twoFluid;
}

bool dropsSmoke(std::string_view name)
{
    const SchemeInfo* s = findScheme(name);
    return s != nullptr && !s->carriesSmoke;
}

} // namespace tamrel::kernels
