// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Mflop/s meter: totals of timed kernel work and the texts it shows.

#include <array>
#include <cstdint>
#include <string>

#include "state/ExperimentState.h"

namespace tamrel {

// Operation counts of one attempt, summed over strips and repetitions, by
// kind: 0 all flops, 1 adds, 2 mults, 3 reciprocals, 4 merges, 5 and 6
// square roots, 7 exponentials.
using OpCounts = std::array<std::int64_t, 8>;

// Repetitions of each kernel call: MeterOn * 80000 \ N + 1.
long MeterRepetitions(const ExperimentState& s);

// Add one attempt: MeterSeconds += seconds, MflopsTotal += flops * 1e-6, and
// MflopRate = MflopsTotal / MeterSeconds once some time has been measured
// (before that the rate stays as it was).
void UpdateFlopMeter(ExperimentState& s, double seconds, const OpCounts& counts);

struct MeterTexts {
    // Captions of the test buttons 1, 2, 6, 7, 8: "Mflop/s", the rate
    // ("##0", or "-" while no time has been measured), "flops /", "cell =",
    // flops per cell.
    std::array<std::string, 5> buttons;
    // "flops / cell = ..., adds / cell = ..., ... exps / cell = ...,    "
    std::string label;
};

// Texts of the last attempt: counts per cell and time step, D = reps * N.
MeterTexts FlopMeterTexts(const ExperimentState& s, const OpCounts& counts, long reps);

} // namespace tamrel
