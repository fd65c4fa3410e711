// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchFiles.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string_view>

#include "common/Format.h"
#include "common/RegularFile.h"
#include "common/Rounding.h"
#include "common/StagedFile.h"
#include "exact/ExactColumns.h"
#include "run/SnapshotRow.h"
#include "setupfile/SetupFile.h"

namespace tamrel::batch {

int fail(const std::string& message, int status)
{
    // Messages quote what files hold (set-up fields, sheet texts): printed
    // so that none of it acts on the terminal.
    std::fprintf(stderr, "tamrel: %s\n", terminalSafe(message).c_str());
    return status;
}

std::string num17(double v)
{
    return formatG17(v);
}

namespace {
    // A stored snapshot value with the digits it holds: the history keeps
    // single precision, whose 24 bits print in 9 significant digits (what
    // reads back to the same float); more digits would show only the
    // conversion to double.
    std::string num9(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", v);
        return buf;
    }
} // namespace

void writeRunLine(std::ostream& out, const ExperimentState& s)
{
    out << "# time=" << num17(s.TimeNow) << " scheme=" << s.SchemeName << " cells=" << s.NGridCells
        << " cycles=" << s.NCycle << " snapshots=" << s.NStoredStates << "\n";
}

std::string finalStateHeader(bool exact)
{
    return std::string("cell,x,rho,p,vx,vy,smoke")
        + (exact ? std::string(",") + exact::ExactColumns::header() : "");
}

std::string historyHeader(bool exact)
{
    return std::string("row,time,cell,x,rho,p,vx,vy,smoke")
        + (exact ? std::string(",") + exact::ExactColumns::header() : "");
}

void writeFinalStateRows(
    std::ostream& out, const ExperimentState& s, exact::ExactColumns* exact, const std::string& lead)
{
    const long n = s.NGridCells;
    if (exact)
        exact->at(s.TimeNow);
    for (long i = 1; i <= n; ++i)
        out << lead << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ',' << num17(s.Rho[i]) << ','
            << num17(s.P[i]) << ',' << num17(s.VX[i]) << ',' << num17(s.VY[i]) << ',' << num17(s.FSmoke[i])
            << (exact ? exact->cell(i) : "") << "\n";
}

void writeHistoryRows(
    std::ostream& out, const ExperimentState& s, exact::ExactColumns* exact, const std::string& lead)
{
    const long n = s.NGridCells;
    for (long r = 0; r < s.NStoredStates; ++r) {
        const long o = r * (n + 2);
        if (o + n + 1 > s.NSTValues)
            break;
        const double t = s.StoredTime.contains(r) ? s.StoredTime[r] : 0.0;
        if (exact)
            exact->at(t);
        for (long i = 1; i <= n; ++i) {
            const long k = o + i;
            out << lead << r << ',' << num17(t) << ',' << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ','
                << num9(StoredPlainValue(s, StoredField::Rho, k)) << ','
                << num9(StoredPlainValue(s, StoredField::P, k)) << ','
                << num9(StoredPlainValue(s, StoredField::VX, k)) << ','
                << num9(StoredPlainValue(s, StoredField::VY, k)) << ','
                << num9(StoredPlainValue(s, StoredField::FSmoke, k))
                << (exact ? exact->cell(i) : "") << "\n";
        }
    }
}

bool writeFinalState(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    writeRunLine(out, s);
    out << finalStateHeader(exact != nullptr) << "\n";
    writeFinalStateRows(out, s, exact);
    out.close();
    return !out.fail();
}

bool writeHistory(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    writeRunLine(out, s);
    out << historyHeader(exact != nullptr) << "\n";
    writeHistoryRows(out, s, exact);
    out.close();
    return !out.fail();
}

// The set-up file is read once before anything is set up, so a refused
// file stops the batch with the window's own message.
std::optional<std::string> checkSetupFile(const std::string& path)
{
    const SetupReadResult read = ReadSetupFile(path);
    if (read.status == SetupReadStatus::Rejected)
        return "set-up file '" + path + "' rejected"
            + (read.line > 0 && read.message.find(" on line " + std::to_string(read.line)) == std::string::npos
                    ? " at line " + std::to_string(read.line)
                    : std::string())
            + ": " + read.message;
    if (read.status == SetupReadStatus::Ok) {
        if (const std::string refusal = CheckSetupData(read.data); !refusal.empty())
            return "set-up file '" + path + "' rejected: " + refusal;
        return std::nullopt;
    }
    if (RegularFileReader file(path); !file.isOpen())
        return "cannot open set-up file '" + path + "': " + file.error();
    return "'" + path + "' is not a complete set-up file";
}

BatchOutputs::BatchOutputs() = default;
BatchOutputs::~BatchOutputs() = default;

std::optional<std::string> BatchOutputs::stage(
    const std::vector<std::pair<const std::optional<std::string>*, const char*>>& given,
    const std::vector<std::pair<const std::optional<std::string>*, const char*>>& inputs)
{
    for (const auto& [path, option] : given) {
        if (!*path)
            continue;
        // An output never replaces a file the run reads.
        for (const auto& [input, inputOption] : inputs)
            if (*input && sameFile(**input, **path))
                return std::string(option) + " '" + **path + "' names the file of " + inputOption + " '" + **input
                    + "': an output never replaces an input";
        auto staged = std::make_unique<StagedFile>(**path);
        if (!staged->ok())
            return staged->error();
        for (const Output& earlier : outputs_)
            if (sameFile(earlier.file->target(), staged->target()))
                return std::string(earlier.option) + " and " + option + " name the same file '" + **path + "'";
        outputs_.push_back({ option, std::move(staged) });
    }
    return std::nullopt;
}

std::optional<std::string> BatchOutputs::stage(const BatchOptions& o)
{
    return stage({ { &o.outFile, "--out" }, { &o.historyFile, "--history" }, { &o.spaceTimeFile, "--spacetime" },
                     { &o.plotsFile, "--plots" }, { &o.animationFile, "--animation" } },
        { { &o.setupFile, "--setup" } });
}

const StagedFile* BatchOutputs::file(const char* option) const
{
    for (const Output& out : outputs_)
        if (std::string_view(out.option) == option)
            return out.file.get();
    return nullptr;
}

std::optional<std::string> BatchOutputs::commit()
{
    std::vector<StagedFile*> files;
    for (Output& out : outputs_)
        files.push_back(out.file.get());
    if (std::string failure = commitAll(files); !failure.empty())
        return failure;
    return std::nullopt;
}

// A set-up file sets the grid size, the Courant number, the run length
// and the snapshot rate itself, over the options given for them: one line
// names each option whose value did not stand, and the value that does.
void reportSetupOverrides(const ExperimentState& s, const BatchOptions& o)
{
    if (!o.setupFile)
        return;
    std::string overridden;
    auto check = [&](const std::optional<std::string>& given, const char* option, const char* field,
                     double standing, bool whole) {
        if (!given)
            return;
        const double asked = whole ? static_cast<double>(roundToLong(*parseNumber(*given))) : *parseNumber(*given);
        if (asked == standing)
            return;
        overridden += std::string(overridden.empty() ? "" : ", ") + option + " " + *given + " (" + field + " = "
            + formatGeneral(standing) + " stands)";
    };
    const std::optional<std::string> cells = o.cells ? std::optional(std::to_string(*o.cells)) : std::nullopt;
    check(cells, "--cells", "NGridCells", static_cast<double>(s.NGridCells), true);
    check(o.courant, "--courant", "CourantNumber", s.CourantNumber, false);
    // A file that names its stop time runs to it whatever the run length.
    if (o.periods && s.ProblemTStop > 0)
        overridden += std::string(overridden.empty() ? "" : ", ") + "--periods " + *o.periods + " (TStop = "
            + formatGeneral(s.ProblemTStop) + " stands)";
    else
        check(o.periods, "--periods", "Periods", s.Periods, false);
    check(o.plotsPerUnit, "--plots-per-unit", "NPlotsPerPeriod", static_cast<double>(s.NPlotsPerPeriod), true);
    if (!overridden.empty())
        std::fprintf(stderr, "tamrel: set-up file '%s' overrides %s\n", o.setupFile->c_str(), overridden.c_str());
}

} // namespace tamrel::batch
