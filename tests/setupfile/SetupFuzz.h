// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mutation fuzzer of the set-up file reader: files written by the lab,
// mutated (bytes, truncation, lines dropped, doubled or swapped, numbers
// replaced by values the lab finds hard), read, committed and rebuilt.
//
// Properties of every input:
//   * reading never faults, a failed read says why (a message, never
//     silence), and it changes nothing, not even through a commit of what
//     it had gathered;
//   * an accepted file gives a sound table and a state the program can run:
//     after the rebuild every cell's density, pressure, velocity and sound
//     speed are finite (densities and pressures positive), the first time
//     step and the time scales finite and positive, the plot ranges finite;
//   * Write Setup then Read Setup is exact: the set-up written from the
//     committed state, and again from the rebuilt one, reads back equal to
//     that state, number for number.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "edit/EditTestStates.h"
#include "setupfile/SetupFile.h"

namespace tamrel::testing {

// What a failed read must leave untouched: every parameter and table entry
// a set-up file carries (as the writer sees them), the run state and the
// sizes of the arrays a commit or rebuild would replace.
struct Fingerprint {
    std::string setup;
    Long nGridCells, stopped;
    double timeNow;
    long tableUpper, xUpper, historyUpper;
    bool operator==(const Fingerprint&) const = default;
};

inline Fingerprint fingerprint(const ExperimentState& s)
{
    return { WriteSetupText(s), s.NGridCells, s.Stopped, s.TimeNow, s.MSelected.upper(), s.X.upper(),
        s.STRho.upper() };
}

inline ::testing::AssertionResult tableIsSound(const ExperimentState& s)
{
    const Long n = s.NGridCells;
    if (n < 6 || n > 5000)
        return ::testing::AssertionFailure() << "grid of " << n << " cells";
    if (s.NSelected < 0 || s.NSelected > n || s.MSelected.upper() < s.NSelected + 1)
        return ::testing::AssertionFailure() << "table of " << s.NSelected << " entries";
    if (s.MSelected[0] != 0 || s.MSelected[s.NSelected + 1] != n + 1)
        return ::testing::AssertionFailure() << "end entries";
    for (Long j = 1; j <= s.NSelected; ++j)
        if (s.MSelected[j] <= s.MSelected[j - 1] || s.MSelected[j] > n)
            return ::testing::AssertionFailure() << "entry " << j << " at cell " << s.MSelected[j];
    return ::testing::AssertionSuccess();
}

inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end + 1 - pos));
        pos = end + 1;
    }
    return lines;
}

inline std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += l;
    return text;
}

class Mutator {
public:
    explicit Mutator(unsigned seed)
        : rng_(seed)
    {
    }

    std::string mutate(std::string text)
    {
        const int count = 1 + pick(3);
        for (int i = 0; i < count; ++i) {
            switch (pick(6)) {
            case 0:
                flipByte(text);
                break;
            case 1:
                truncate(text);
                break;
            case 2:
                duplicateLine(text);
                break;
            case 3:
                dropLine(text);
                break;
            case 4:
                swapNumber(text);
                break;
            default:
                swapLines(text);
                break;
            }
        }
        return text;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::size_t at(const std::string& text)
    {
        return text.empty() ? 0 : static_cast<std::size_t>(pick(static_cast<int>(text.size())));
    }

    void flipByte(std::string& text)
    {
        if (text.empty())
            return;
        static const std::string kInteresting = "0123456789-+.eE ,\t\r\n";
        text[at(text)] = pick(2)
            ? kInteresting[static_cast<std::size_t>(pick(static_cast<int>(kInteresting.size())))]
            : static_cast<char>(pick(256));
    }
    void truncate(std::string& text) { text.resize(at(text)); }
    void duplicateLine(std::string& text)
    {
        auto lines = splitLines(text);
        const auto i = static_cast<std::size_t>(pick(static_cast<int>(lines.size())));
        lines.insert(lines.begin() + static_cast<long>(i), lines[i]);
        text = joined(lines);
    }
    void dropLine(std::string& text)
    {
        auto lines = splitLines(text);
        lines.erase(lines.begin() + pick(static_cast<int>(lines.size())));
        text = joined(lines);
    }
    void swapLines(std::string& text)
    {
        auto lines = splitLines(text);
        std::swap(lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))],
            lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))]);
        text = joined(lines);
    }
    // Replace one number with a value the rest of the lab finds hard.
    void swapNumber(std::string& text)
    {
        static const std::vector<std::string> kNumbers = { "0", "-1", "1", "6", "5000", "5001", "2000000000",
            "-2000000000", "1e308", "-1e308", "1e-320", "0.5", "2.5", "99999999999999999999", "1e", ".", "-",
            "nan", "inf", "101", "7", "100.4", "1e300", "-1e300", "1e-300", "1.7976931348623157e308", "4.9e-324",
            "0.9999999999999999", "0.00999", "0.01", "1e154", "1e-154", "6700", "6707", "33554431",
            "0.1428571428571428571", "1.00000000000000001" };
        std::vector<std::size_t> starts;
        for (std::size_t i = 0; i < text.size(); ++i)
            if ((text[i] >= '0' && text[i] <= '9') && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '-'))
                starts.push_back(i);
        if (starts.empty())
            return;
        const std::size_t b = starts[static_cast<std::size_t>(pick(static_cast<int>(starts.size())))];
        std::size_t e = b;
        while (e < text.size() && text[e] != ' ' && text[e] != '\r' && text[e] != '\n')
            ++e;
        text.replace(b, e - b, kNumbers[static_cast<std::size_t>(pick(static_cast<int>(kNumbers.size())))]);
    }

    std::mt19937 rng_;
};

inline std::vector<std::string> seedFiles()
{
    std::vector<std::string> seeds;
    ExperimentState startUp;
    StartUpState(startUp);
    seeds.push_back(WriteSetupText(startUp));

    seeds.push_back(
        WriteSetupText(testing::selectedState({ { 1, 1.0 / 7, 2.0 / 3, -0.1 }, { 100, 0.125, 0.1, 1.0 / 9 },
            { 37, 3e-5, 1e6 / 7, -123.456789 }, { 38, 0.5, 0.3, 0 }, { 2, 1, 1, 1 }, { 99, 2, 2, 2 } })));

    ExperimentState small = testing::emptyTableState();
    SelectCellState(small, 3, 1.0, 1.0, 0.0);
    GridSizeTextChanged(small, "6");
    testing::rebuildWithoutBoxes(small);
    seeds.push_back(WriteSetupText(small));
    return seeds;
}

// The set-up a file written from this state holds.
inline SetupData setupOf(const ExperimentState& s)
{
    SetupData d;
    d.NDifferenceScheme = s.NDifferenceScheme;
    d.NGridCells = s.NGridCells;
    d.SoundSpeed0 = s.SoundSpeed0;
    d.CourantNumber = s.CourantNumber;
    d.RhoMax = s.RhoMax;
    d.RhoMin = s.RhoMin;
    d.PMax = s.PMax;
    d.PMin = s.PMin;
    d.VXMax = s.VXMax;
    d.VXMin = s.VXMin;
    d.Periods = s.Periods;
    d.NPlotsPerPeriod = s.NPlotsPerPeriod;
    d.NSelected = s.NSelected;
    d.TStop = s.TStop;
    d.MnBdry = s.MnBdry;
    d.MxBdry = s.MxBdry;
    for (Long j = 0; j <= s.NSelected + 1; ++j) {
        d.MSelected.push_back(s.MSelected[j]);
        d.XSelected.push_back(s.XSelected[j]);
        d.RhoSelected.push_back(s.RhoSelected[j]);
        d.PSelected.push_back(s.PSelected[j]);
        d.VXSelected.push_back(s.VXSelected[j]);
    }
    return d;
}

// Write Setup, then Read Setup: the very set-up of the state.
inline ::testing::AssertionResult writesBackExactly(const ExperimentState& s)
{
    const std::string text = WriteSetupText(s);
    const SetupReadResult back = ReadSetupText(text);
    if (back.status != SetupReadStatus::Ok)
        return ::testing::AssertionFailure() << "the rewrite is refused: " << back.message << "\n" << text;
    if (!(back.data == setupOf(s)))
        return ::testing::AssertionFailure() << "the rewrite reads back different numbers:\n" << text;
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult runnable(const ExperimentState& s)
{
    const Long n = s.NGridCells;
    for (long i = 0; i <= n + 1; ++i) {
        const double c = s.SoundSpeed[i];
        if (!(s.Rho[i] > 0) || !(s.P[i] > 0) || !std::isfinite(s.Rho[i]) || !std::isfinite(s.P[i])
            || !std::isfinite(s.VX[i]) || !(c > 0) || !std::isfinite(c))
            return ::testing::AssertionFailure()
                << "cell " << i << ": rho " << s.Rho[i] << " p " << s.P[i] << " u " << s.VX[i] << " c " << c;
    }
    const std::pair<double, const char*> positive[]
        = { { s.Dt, "Dt" }, { s.TimeUnit, "TimeUnit" }, { s.TStop, "TStop" }, { s.DtPlot, "DtPlot" } };
    for (const auto& [v, name] : positive)
        if (!(v > 0) || !std::isfinite(v))
            return ::testing::AssertionFailure() << name << " = " << v;
    for (double v : { s.RhoMin, s.RhoMax, s.PMin, s.PMax, s.VXMin, s.VXMax })
        if (!std::isfinite(v))
            return ::testing::AssertionFailure() << "a plot range end is " << v;
    return ::testing::AssertionSuccess();
}

struct FuzzTally {
    long accepted = 0, rejected = 0, failed = 0, rebuilt = 0;
};

// `iterations` mutated files from the seeds; the properties above hold
// for each. Rebuilds are limited to grids and tables small enough to
// replay quickly.
inline FuzzTally fuzzSetupReader(long iterations, unsigned seed)
{
    const auto seeds = seedFiles();
    ExperimentState base;
    StartUpState(base);
    const Fingerprint untouched = fingerprint(base);

    Mutator mutator(seed);
    FuzzTally tally;
    for (long iteration = 0; iteration < iterations; ++iteration) {
        const std::string text = mutator.mutate(seeds[static_cast<std::size_t>(iteration) % seeds.size()]);
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        const SetupReadResult r = ReadSetupText(text);

        if (iteration % 100 == 0) {
            // The file reader sees the same lines as the text reader.
            // Runs of other seeds, and other checkouts' test runs, may go on at the same time.
            const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_tamrel_setup_fuzz_"
                + std::to_string(seed) + ".txt";
            {
                std::ofstream out(path, std::ios::binary);
                out << text;
            }
            const SetupReadResult fromFile = ReadSetupFile(path);
            std::remove(path.c_str());
            EXPECT_EQ(fromFile.status, r.status);
            EXPECT_EQ(fromFile.message, r.message);
        }

        ExperimentState s = base;
        if (r.status != SetupReadStatus::Ok) {
            (r.status == SetupReadStatus::Rejected ? tally.rejected : tally.failed) += 1;
            // Every text the reader refuses gets its message (only a file
            // that cannot be opened fails without one).
            EXPECT_EQ(r.status, SetupReadStatus::Rejected) << text;
            EXPECT_NE(r.message.find(std::string(kSetupRejectTail)), std::string::npos) << r.message;
            // Whatever the reader had gathered before it stopped, the commit refuses it.
            EXPECT_FALSE(CommitSetup(s, r.data));
            EXPECT_TRUE(fingerprint(s) == untouched) << text;
            if (::testing::Test::HasFailure())
                break;
            continue;
        }

        ++tally.accepted;
        EXPECT_TRUE(CommitSetup(s, r.data)) << text;
        EXPECT_TRUE(tableIsSound(s)) << text;
        // The optional keys a file leaves out keep the state's values.
        SetupData read = r.data;
        read.TStop = read.TStop.value_or(s.TStop);
        read.MnBdry = read.MnBdry.value_or(s.MnBdry);
        read.MxBdry = read.MxBdry.value_or(s.MxBdry);
        EXPECT_TRUE(setupOf(s) == read) << text;
        EXPECT_TRUE(writesBackExactly(s)) << text;
        const std::int64_t historyValues = static_cast<std::int64_t>(s.NGridCells + 2)
            * PlotsTotalFor(static_cast<double>(s.NPlotsPerPeriod), s.Periods);
        if (historyValues <= 2'000'000 && static_cast<std::int64_t>(s.NSelected) * s.NGridCells <= 1'000'000) {
            ++tally.rebuilt;
            rebuildWithoutBoxes(s);
            EXPECT_TRUE(tableIsSound(s)) << text;
            EXPECT_TRUE(runnable(s)) << text;
            EXPECT_TRUE(writesBackExactly(s)) << text;
        }
        if (::testing::Test::HasFailure())
            break;
    }
    return tally;
}

} // namespace tamrel::testing
