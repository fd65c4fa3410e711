// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One lab session for the page, its boxes taking text as the window's
// boxes do: each operation answers whether it acted and, when it did not,
// why in the lab's own words (message()).

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "edit/BoxEdits.h"
#include "lab/LabSession.h"
#include "state/ExperimentState.h"

namespace tamrel::web {

enum class TickOutcome { Running = 0, Stopped = 1, Faulted = 2 };

class WebLab {
public:
    WebLab();
    ~WebLab();

    // Boxes and buttons; false: refused, message() says why.
    bool setCells(std::string_view text);
    bool setCourant(std::string_view text);
    bool setScheme(std::string_view name);
    bool loadTest(int number);
    // The seven answers of the sound-wave questions, in their order.
    bool loadSoundWave(const std::string (&answers)[7]);
    bool begin();
    bool pause();
    bool resume();
    bool restart();
    // Steps until the run stops or `budgetMs` (0: no limit) is used.
    TickOutcome tick(double budgetMs);

    const ExperimentState& state() const;
    const std::string& message() const { return message_; }
    long acceptedSteps() const;

private:
    bool said(const lab::Refusal& refusal);
    std::optional<double> number(EditedBox box, std::string_view text);
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string message_;
};

} // namespace tamrel::web
