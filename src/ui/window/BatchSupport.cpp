// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/BatchSupport.h"

#include "ui/kit/Controls.h"
#include "ui/kit/ScriptedDialogs.h"
#include "ui/window/frmTamrel.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "edit/GridParameters.h"
#include "presets/SoundWave.h"

namespace tamrel::batch {

std::optional<std::string> setRunValues(frmTamrel& w, ScriptedDialogs& dialogs, const BatchOptions& o)
{
    const ExperimentState& s = w.record();
    if (o.cells) {
        typeInto(w, "txtNGridCells", std::to_string(*o.cells));
        if (s.NGridCells != *o.cells)
            return "--cells " + std::to_string(*o.cells) + " was refused";
    }
    if (o.scheme || o.meter) {
        dialogs.answer(o.scheme.value_or(s.SchemeName));
        dialogs.answer(o.meter ? "1" : "0");
        press(w, "cmdNumericalScheme");
    }
    // The run length and the snapshot rate are judged together (the
    // snapshots they need must fit in the history): the one that lowers the
    // count goes first, so neither is refused for the other's old value.
    auto setPeriods = [&]() -> std::optional<std::string> {
        typeInto(w, "txtNPeriods", *o.periods);
        if (s.Periods != *parseNumber(*o.periods))
            return "--periods " + *o.periods
                + " was refused (above 0, and the snapshots it needs must fit in the history)";
        return std::nullopt;
    };
    auto setPlotsPerUnit = [&]() -> std::optional<std::string> {
        typeInto(w, "txtNPlotsPerPeriod", *o.plotsPerUnit);
        if (s.NPlotsPerPeriod != roundToLong(*parseNumber(*o.plotsPerUnit)))
            return "--plots-per-unit " + *o.plotsPerUnit
                + " was refused (at least 1, and the snapshots it needs must fit in the history)";
        return std::nullopt;
    };
    const bool rateFirst = o.plotsPerUnit && *parseNumber(*o.plotsPerUnit) < s.NPlotsPerPeriod;
    if (rateFirst)
        if (auto refusal = setPlotsPerUnit())
            return refusal;
    if (o.periods)
        if (auto refusal = setPeriods())
            return refusal;
    if (o.plotsPerUnit && !rateFirst)
        if (auto refusal = setPlotsPerUnit())
            return refusal;
    if (o.courant) {
        typeInto(w, "txtCourantNumber", *o.courant);
        if (s.CourantNumber != *parseNumber(*o.courant))
            return "--courant " + *o.courant + " was refused (it must lie " + kCourantRangeText + ")";
    }
    return std::nullopt;
}

std::optional<std::string> loadProblem(frmTamrel& w, ScriptedDialogs& dialogs, const BatchOptions& o)
{
    if (o.test) {
        press(w, "cmdTest" + std::to_string(*o.test));
    } else if (o.soundWave) {
        // The window's rule, asked first: a refused wave would leave the
        // wave before in place, and a run of another problem.
        SoundWaveAnswers answers;
        for (std::size_t k = 0; k < o.wave.size() && k < answers.size(); ++k)
            answers[k] = o.wave[k];
        if (const std::string why = SoundWaveAnswersRefusal(w.record(), answers); !why.empty())
            return "the sound wave was refused: " + why;
        for (const auto& a : o.wave)
            dialogs.answer(a);
        press(w, "cmdSoundWave");
    } else if (o.setupFile) {
        dialogs.answerFile(*o.setupFile);
        press(w, "cmdReadSetUp");
        if (!dialogs.messages.empty())
            return "set-up file '" + *o.setupFile + "' rejected: " + dialogs.messages.back();
    }
    return std::nullopt;
}

} // namespace tamrel::batch
