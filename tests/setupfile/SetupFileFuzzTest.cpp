#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "edit/EditTestStates.h"
#include "setupfile/SetupFile.h"

namespace tamrel {
namespace {

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

    Fingerprint fingerprint(const ExperimentState& s)
    {
        return { WriteSetupText(s), s.NGridCells, s.Stopped, s.TimeNow, s.MSelected.upper(), s.X.upper(),
            s.STRho.upper() };
    }

    ::testing::AssertionResult tableIsSound(const ExperimentState& s)
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

    std::vector<std::string> splitLines(const std::string& text)
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

    std::string joined(const std::vector<std::string>& lines)
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
            static const std::vector<std::string> kNumbers
                = { "0", "-1", "1", "6", "5000", "5001", "2000000000", "-2000000000", "1e308", "-1e308", "1e-320",
                      "0.5", "2.5", "99999999999999999999", "1e", ".", "-", "nan", "inf", "101", "7" };
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

    std::vector<std::string> seedFiles()
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

    TEST(SetupFileFuzz, MutatedFilesNeverFaultAndFailuresChangeNothing)
    {
        const auto seeds = seedFiles();
        ExperimentState base;
        StartUpState(base);
        const Fingerprint untouched = fingerprint(base);

        Mutator mutator(20240611u);
        int accepted = 0, rejected = 0, failed = 0;
        for (int iteration = 0; iteration < 3000; ++iteration) {
            const std::string text = mutator.mutate(seeds[static_cast<std::size_t>(iteration) % seeds.size()]);
            SCOPED_TRACE("iteration " + std::to_string(iteration));
            const SetupReadResult r = ReadSetupText(text);

            if (iteration % 100 == 0) {
                // The file reader sees the same lines as the text reader.
                const std::string path = ::testing::TempDir() + "tamrel_setup_fuzz.txt";
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
                (r.status == SetupReadStatus::Rejected ? rejected : failed) += 1;
                if (r.status == SetupReadStatus::Rejected)
                    ASSERT_NE(r.message.find(std::string(kSetupRejectTail)), std::string::npos) << r.message;
                else
                    ASSERT_TRUE(r.message.empty());
                // Whatever the reader had gathered before it stopped, the commit refuses it.
                EXPECT_FALSE(CommitSetup(s, r.data));
                ASSERT_TRUE(fingerprint(s) == untouched) << text;
                continue;
            }

            ++accepted;
            ASSERT_TRUE(CommitSetup(s, r.data)) << text;
            ASSERT_TRUE(tableIsSound(s)) << text;
            const std::int64_t historyValues = static_cast<std::int64_t>(s.NGridCells + 2)
                * PlotsTotalFor(static_cast<double>(s.NPlotsPerPeriod), s.Periods);
            if (historyValues <= 2'000'000 && static_cast<std::int64_t>(s.NSelected) * s.NGridCells <= 1'000'000) {
                testing::rebuildWithoutBoxes(s);
                ASSERT_TRUE(tableIsSound(s)) << text;
                // And a file written from the rebuilt state reads back.
                EXPECT_EQ(ReadSetupText(WriteSetupText(s)).status, SetupReadStatus::Ok) << WriteSetupText(s);
            }
        }
        // The mutations reach every outcome.
        EXPECT_GT(accepted, 0);
        EXPECT_GT(rejected, 0);
        EXPECT_GT(failed, 0);
    }

} // namespace
} // namespace tamrel
