// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The schemes the lab can run, one row each, found by name. A row says all
// the rest of the program asks about a scheme: its precision, whether it
// moves two fluids, whether it carries smoke, how long its strips may be and
// how many ghost cells its stencil reads, how to call its entry point and how
// to count the operations of a strip. Nothing outside this table compares
// scheme names: callers look the name up and ask the row.
//
// Adding a scheme: a folder under src/kernels with its entry point (taking
// one of the argument lists of KernelContract.h) and its counting run, and
// one row in SchemeTable.cpp (docs/ARCHITECTURE.md).

#include <span>
#include <string>
#include <string_view>

#include "kernels/StripArgs.h"

namespace tamrel::kernels {

enum class Precision { Single, Double };

struct SchemeInfo {
    std::string_view name; // as the lab shows it; looked up ignoring letter case
    Precision precision;
    bool twoFluid; // the ten fluid arrays go in and out; the smoke is the fluid-2 fraction
    bool carriesSmoke; // FSmoke is advected; otherwise the smoke result is 0
    int longestStrip; // strips are at most this many cells
    int ghostCells; // cells the stencil reads beyond each end of a strip: B must be at least this
    StripEntry<float> single; // the entry of a Single scheme
    StripEntry<double> dbl; // the entry of a Double scheme

    bool singlePrecision() const { return precision == Precision::Single; }
    template <class Real> const StripEntry<Real>& entry() const
    {
        if constexpr (sizeof(Real) == sizeof(float))
            return single;
        else
            return dbl;
    }
    // The entry of the scheme's own precision is there.
    bool runnable() const { return singlePrecision() ? single.run != nullptr : dbl.run != nullptr; }
};

// The row of a name, letter case ignored ("orvane32" finds "Orvane32");
// nullptr when the name is none of the schemes.
const SchemeInfo* findScheme(std::string_view name);
std::span<const SchemeInfo> allSchemes();

// The names as a sentence offers them: "Orvane, Orvane32, Lentor32, Mixtal32
// or Sorvi" (`lastJoin` before the last). Help, refusals and messages take
// their list from here.
std::string schemeNamesPhrase(std::span<const SchemeInfo> rows = allSchemes(), std::string_view lastJoin = " or ");

// The same lookup within other rows (tests add schemes of their own).
const SchemeInfo* findSchemeIn(std::span<const SchemeInfo> rows, std::string_view name);
bool sameSchemeName(std::string_view a, std::string_view b);

// Facts about the scheme a name selects; a name of no scheme has none of them.
bool twoFluidScheme(std::string_view name);
bool dropsSmoke(std::string_view name); // a scheme that carries no smoke

} // namespace tamrel::kernels
