#pragma once
// The schemes the lab can run, found by name. A further scheme is one new
// source file with its entry point and one row in SchemeTable.cpp.

#include <span>
#include <string_view>

#include "kernels/KernelContract.h"

namespace tamrel::kernels {

enum class EntryKind { Orvane64, Orvane32, Lentor, Mixtal, Sorvi };

struct SchemeInfo {
    std::string_view name;      // as the user types it, case-sensitive
    EntryKind kind;
    bool singlePrecision;       // Reals are float
    int longestStrip;           // strips are at most this many cells
    bool shockConstants;        // Difcon, Shkjmp, Wavhaf are passed
    bool carriesSmoke;          // FSmoke is advected (Sorvi: smoke becomes 0)
    bool multifluid;            // the two-fluid arrays are passed
    OrvaneEntry<double>* orvane64 = nullptr;
    OrvaneEntry<float>* orvane32 = nullptr;
    LentorEntry* lentor = nullptr;
    MixtalEntry* mixtal = nullptr;
    SorviEntry* sorvi = nullptr;
};

// nullptr when the name is none of the schemes.
const SchemeInfo* findScheme(std::string_view name);
std::span<const SchemeInfo> allSchemes();

} // namespace tamrel::kernels

// Entry points, linked into the program.
tamrel::kernels::OrvaneEntry<double> ORVANE64;
tamrel::kernels::OrvaneEntry<float> ORVANE32;
tamrel::kernels::LentorEntry LENTOR32;
tamrel::kernels::MixtalEntry MIXTAL;
tamrel::kernels::SorviEntry SORVI;
tamrel::kernels::SubcellProfileEntry QUELMAR1D;
