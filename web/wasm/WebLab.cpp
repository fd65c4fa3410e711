// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebLab.h"

#include <chrono>
#include <cmath>

#include "common/Format.h"
#include "common/Rounding.h"
#include "edit/BoxEdits.h"
#include "lab/LabSession.h"
#include "presets/SoundWave.h"

namespace tamrel::web {

struct WebLab::Impl {
    lab::LabSession session { 1 };
};

WebLab::WebLab()
    : impl_(std::make_unique<Impl>())
{
}

WebLab::~WebLab() = default;

const ExperimentState& WebLab::state() const
{
    return impl_->session.record();
}

long WebLab::acceptedSteps() const
{
    return impl_->session.acceptedSteps();
}

bool WebLab::said(const lab::Refusal& refusal)
{
    if (!refusal)
        return true;
    message_ = *refusal;
    return false;
}

// A box's text that is no number is refused as the window's box refuses it.
std::optional<double> WebLab::number(EditedBox box, std::string_view text)
{
    if (const auto v = parseNumber(text))
        return v;
    const BoxEditEnd end = EndBoxEdit(state(), box, text);
    message_ = end.reason.empty() ? "\"" + std::string(text) + "\" is not a number." : end.reason;
    return std::nullopt;
}

bool WebLab::setCells(std::string_view text)
{
    const auto n = number(EditedBox::GridSize, text);
    // The box takes the number rounded half-even; one beyond a Long is
    // refused as the largest would be.
    return n
        && said(impl_->session.setGridCells(*n >= 1e9 ? 1000000000L
                : *n <= -1e9                          ? -1000000000L
                                                      : roundToLong(*n)));
}

bool WebLab::setCourant(std::string_view text)
{
    const auto c = number(EditedBox::CourantNumber, text);
    return c && said(impl_->session.setCourant(*c));
}

bool WebLab::setScheme(std::string_view name)
{
    return said(impl_->session.setScheme(std::string(name)));
}

bool WebLab::loadTest(int number)
{
    return said(impl_->session.loadTest(number));
}

bool WebLab::loadSoundWave(const std::string (&answers)[7])
{
    // Each answer as its dialog takes it: a number, the wave numbers whole.
    double v[7];
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k) {
        const SoundWaveQuestion& q = kSoundWaveQuestions[k];
        if (std::string why = SoundWaveAnswerRefusal(q.field, answers[k]); !why.empty())
            return said(std::string(q.title) + ": " + why + ".");
        const auto x = parseNumber(answers[k]);
        if (!x)
            return said(std::string(q.title) + ": \"" + answers[k] + "\" is not a number.");
        v[k] = isWaveNumberField(q.field) ? std::nearbyint(*x) : *x; // halves to even
    }
    lab::SoundWaveAsked w;
    w.rPlusAmplitude = v[0];
    w.rPlusFrequency = static_cast<long>(v[1]);
    w.rMinusAmplitude = v[2];
    w.rMinusFrequency = static_cast<long>(v[3]);
    w.r0Amplitude = v[4];
    w.r0Frequency = static_cast<long>(v[5]);
    w.u0 = v[6];
    return said(impl_->session.loadSoundWave(w));
}

bool WebLab::begin()
{
    return said(impl_->session.begin());
}

bool WebLab::pause()
{
    impl_->session.pause();
    return true;
}

bool WebLab::resume()
{
    return said(impl_->session.continueRun());
}

bool WebLab::restart()
{
    impl_->session.restart();
    return true;
}

TickOutcome WebLab::tick(double budgetMs)
{
    lab::LabSession& session = impl_->session;
    using Clock = std::chrono::steady_clock;
    const auto budget = std::chrono::nanoseconds(static_cast<long long>(budgetMs * 1e6));
    const auto start = Clock::now();
    while (session.running()) {
        const auto used = Clock::now() - start;
        if (budget.count() > 0 && used >= budget)
            break;
        // Each tick is the window's metronome tick, cut short where the
        // slice's time runs out.
        const lab::TickOutcome t
            = session.tick(budget.count() > 0 ? std::chrono::duration_cast<std::chrono::nanoseconds>(budget - used)
                                              : std::chrono::nanoseconds {});
        if (t.fault) {
            message_ = *t.fault;
            return TickOutcome::Faulted;
        }
    }
    return session.running() ? TickOutcome::Running : TickOutcome::Stopped;
}

} // namespace tamrel::web
