// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pieces every batch run shares, without Qt: the failure line and exit
// codes, the staged output files, and the CSV files of a run's final state
// and history.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/BatchOptions.h"
#include "state/ExperimentState.h"

namespace tamrel {

class StagedFile;
namespace exact {
    class ExactColumns;
}

namespace batch {

    inline constexpr int kRunFailed = 1;
    inline constexpr int kRefused = 2;

    // "tamrel: message" on stderr; returns `status`.
    int fail(const std::string& message, int status = kRefused);

    std::string num17(double v);

    // The first line of a run's files: where the run ended.
    void writeRunLine(std::ostream& out, const ExperimentState& s);
    // The column names of the final state and of the history (with the exact
    // columns when `exact`).
    std::string finalStateHeader(bool exact);
    std::string historyHeader(bool exact);
    // The rows of cells 1..N, each led by `lead` ("" or "scheme,"); `exact`,
    // when given, adds its columns at the run's end time or at each row's time.
    void writeFinalStateRows(
        std::ostream& out, const ExperimentState& s, exact::ExactColumns* exact, const std::string& lead = "");
    void writeHistoryRows(
        std::ostream& out, const ExperimentState& s, exact::ExactColumns* exact, const std::string& lead = "");

    // A run's files: run line, header, rows. False when the file cannot be written.
    bool writeFinalState(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact);
    bool writeHistory(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact);

    // The set-up file is read once before anything is set up, so a refused
    // file stops the batch with the window's own message.
    std::optional<std::string> checkSetupFile(const std::string& path);

    // Every output file of the run, staged beside its target before the run
    // starts: a path that cannot be written stops the batch before it runs,
    // and a run that fails leaves every target as it was.
    class BatchOutputs {
    public:
        BatchOutputs();
        ~BatchOutputs();
        // Stages each of the (path, option) pairs given; none may name the
        // file of one of the `inputs`.
        std::optional<std::string> stage(
            const std::vector<std::pair<const std::optional<std::string>*, const char*>>& given,
            const std::vector<std::pair<const std::optional<std::string>*, const char*>>& inputs = {});
        std::optional<std::string> stage(const BatchOptions& o); // --out, --history, --spacetime
        // Where the content of this option's output goes; null when it was not asked for.
        const StagedFile* file(const char* option) const;
        // Renames every written file onto its target, all or none: a target
        // that cannot be replaced any more stops it before the first rename,
        // and a rename that fails puts back those done before it.
        std::optional<std::string> commit();

    private:
        struct Output {
            const char* option;
            std::unique_ptr<StagedFile> file;
        };
        std::vector<Output> outputs_;
    };

    // A set-up file sets the grid size, the Courant number, the run length
    // and the snapshot rate itself, over the options given for them: one line
    // names each option whose value did not stand, and the value that does.
    void reportSetupOverrides(const ExperimentState& s, const BatchOptions& o);

} // namespace batch
} // namespace tamrel
