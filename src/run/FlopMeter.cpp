// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/FlopMeter.h"

#include "common/Format.h"
#include "common/Rounding.h"

namespace tamrel {

long MeterRepetitions(const ExperimentState& s)
{
    return static_cast<long>(s.MeterOn) * 80000 / s.NGridCells + 1;
}

void UpdateFlopMeter(ExperimentState& s, double seconds, const OpCounts& counts)
{
    s.MeterSeconds = s.MeterSeconds + seconds;
    s.MflopsTotal = s.MflopsTotal + static_cast<double>(counts[0]) * 0.000001;
    if (s.MeterSeconds > 0)
        s.MflopRate = s.MflopsTotal / s.MeterSeconds;
}

MeterTexts FlopMeterTexts(const ExperimentState& s, const OpCounts& c, long reps)
{
    const double d = static_cast<double>(reps) * static_cast<double>(s.NGridCells);
    auto perCell = [&](std::int64_t v) {
        return formatPattern(static_cast<double>(roundToLong(static_cast<double>(v) / d)), "###0");
    };
    MeterTexts t;
    t.buttons = { "Mflop/s", s.MeterSeconds > 0 ? formatPattern(s.MflopRate, "##0") : std::string("-"), "flops /",
        "cell =", perCell(c[0]) };
    const std::string sep = ",    ";
    t.label = "flops / cell = " + perCell(c[0]) + sep + "adds / cell = " + perCell(c[1]) + sep + "mults / cell = "
        + perCell(c[2]) + sep + "cvmgms / cell = " + perCell(c[4]) + sep + "recips / cell = " + perCell(c[3]) + sep
        + "sqrts / cell = " + formatPattern(static_cast<double>(c[5] + c[6]) / d, "###0.0#") + sep
        + "exps / cell = " + perCell(c[7]) + sep;
    return t;
}

} // namespace tamrel
