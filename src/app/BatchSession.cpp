// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchSession.h"

#include "app/BatchFiles.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "edit/GridParameters.h"
#include "lab/LabSession.h"
#include "presets/SoundWave.h"

namespace tamrel::batch {

namespace {

    // The run length and the snapshot rate are judged together (the
    // snapshots they need must fit in the history): the one that lowers the
    // count goes first, so neither is refused for the other's old value.
    std::optional<std::string> setRunLength(lab::LabSession& session, const BatchOptions& o)
    {
        const ExperimentState& s = session.record();
        auto setPeriods = [&]() -> std::optional<std::string> {
            if (session.typePeriods(*o.periods) || s.Periods != *parseNumber(*o.periods))
                return "--periods " + *o.periods
                    + " was refused (above 0, and the snapshots it needs must fit in the history)";
            return std::nullopt;
        };
        auto setPlotsPerUnit = [&]() -> std::optional<std::string> {
            if (session.typePlotsPerUnit(*o.plotsPerUnit)
                || s.NPlotsPerPeriod != roundToLong(*parseNumber(*o.plotsPerUnit)))
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
        return std::nullopt;
    }

    std::optional<std::string> setRunValues(lab::LabSession& session, const BatchOptions& o)
    {
        const ExperimentState& s = session.record();
        if (o.cells)
            if (session.setGridCells(*o.cells) || s.NGridCells != *o.cells)
                return "--cells " + std::to_string(*o.cells) + " was refused";
        if (o.scheme || o.meter)
            if (auto refusal = session.setScheme(o.scheme.value_or(s.SchemeName), o.meter))
                return "--scheme: " + *refusal;
        if (auto refusal = setRunLength(session, o))
            return refusal;
        if (o.courant)
            if (session.typeCourant(*o.courant) || s.CourantNumber != *parseNumber(*o.courant))
                return "--courant " + *o.courant + " was refused (it must lie " + kCourantRangeText + ")";
        return std::nullopt;
    }

    // The seven answers as the dialogs take them: an answer not given is the
    // one its dialog offers, the field's present value as shown.
    lab::SoundWaveAsked waveAsked(const ExperimentState& s, const std::vector<std::string>& given)
    {
        double v[kSoundWaveQuestions.size()];
        for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k) {
            const std::string text
                = k < given.size() ? given[k] : soundWaveDefaultText(s, kSoundWaveQuestions[k].field);
            v[k] = parseNumber(text).value_or(0.0);
        }
        return { v[0], roundToLong(v[1]), v[2], roundToLong(v[3]), v[4], roundToLong(v[5]), v[6] };
    }

    std::optional<std::string> loadProblem(lab::LabSession& session, const BatchOptions& o)
    {
        if (o.test) {
            if (auto refusal = session.loadTest(*o.test))
                return "--test: " + *refusal;
        } else if (o.soundWave) {
            // The window's rule, in the batch's words, before the session's.
            SoundWaveAnswers answers;
            for (std::size_t k = 0; k < o.wave.size() && k < answers.size(); ++k)
                answers[k] = o.wave[k];
            if (const std::string why = SoundWaveAnswersRefusal(session.record(), answers); !why.empty())
                return "the sound wave was refused: " + why;
            if (auto refusal = session.loadSoundWave(waveAsked(session.record(), o.wave)))
                return "the sound wave was refused: " + *refusal;
        } else if (o.setupFile) {
            if (auto refusal = session.loadSetupFile(*o.setupFile))
                return "set-up file '" + *o.setupFile + "' rejected: " + *refusal;
        }
        return std::nullopt;
    }

} // namespace

std::optional<std::string> setUpSession(lab::LabSession& session, const BatchOptions& o)
{
    if (auto refusal = setRunValues(session, o))
        return refusal;
    return loadProblem(session, o);
}

std::optional<ExperimentState> prepareRun(
    const BatchOptions& o, const std::string& scheme, std::optional<long> cells, std::string& why)
{
    BatchOptions one = o;
    one.scheme = scheme;
    one.cells = cells;
    one.meter = false;
    lab::LabSession session(1);
    if (auto refusal = setUpSession(session, one)) {
        why = *refusal;
        return std::nullopt;
    }
    return session.record();
}

BatchOptions mirroredWave(const BatchOptions& o)
{
    BatchOptions m = o;
    if (!m.soundWave)
        return m;
    const ExperimentState defaults;
    m.wave.resize(kSoundWaveQuestions.size());
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k) {
        const SoundWaveField f = kSoundWaveQuestions[k].field;
        if (m.wave[k].empty())
            m.wave[k] = soundWaveDefaultText(defaults, f);
        const bool amplitude = f == SoundWaveField::RPlusAmplitude || f == SoundWaveField::RMinusAmplitude
            || f == SoundWaveField::R0Amplitude;
        if (const auto v = parseNumber(m.wave[k]); amplitude && v)
            m.wave[k] = num17(-*v);
    }
    return m;
}

std::optional<ExperimentState> prepareStudyRun(
    const BatchOptions& o, const std::string& scheme, long cells, bool mirrored, std::string& why)
{
    return prepareRun(mirrored ? mirroredWave(o) : o, scheme, cells, why);
}

} // namespace tamrel::batch
