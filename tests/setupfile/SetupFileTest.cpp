// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "edit/EditTestStates.h"
#include "setupfile/SetupFile.h"

namespace tamrel {
namespace {

    using testing::selectedState;

    const std::string kTail = "You screwed up.   This input file will be ignored.";

    std::vector<std::string> linesOf(const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) {
                lines.push_back(text.substr(pos));
                break;
            }
            lines.push_back(text.substr(pos, end - pos));
            pos = end + 2;
        }
        return lines;
    }

    std::string joinLines(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const auto& l : lines)
            text += l + "\r\n";
        return text;
    }

    // A set-up whose numbers need all fifteen digits.
    ExperimentState awkwardState()
    {
        ExperimentState s = selectedState({ { 1, 1.0 / 7, 2.0 / 3, -0.1 }, { 100, 0.125, 0.1, 1.0 / 9 },
            { 37, 3.0e-5, 1.0e6 / 7, -123.456789 } });
        SelectCellState(s, 38, 5.0 / 11, 0.3, 0.0);
        s.NDifferenceScheme = -12;
        s.SoundSpeed0 = 1.0 / 3;
        s.CourantNumber = 0.123456789012345;
        s.RhoMax = 2.0 / 3;
        s.RhoMin = -1e-20;
        s.PMax = 1.23456789012345e17;
        s.PMin = 0;
        s.VXMax = 7e-300;
        s.VXMin = -4.5;
        s.Periods = 0.0123456789;
        s.NPlotsPerPeriod = 1000;
        return s;
    }

    ::testing::AssertionResult sameTo15Digits(double read, double written)
    {
        if (read == written || std::fabs(read - written) <= 5e-15 * std::fabs(written))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << read << " vs " << written;
    }

    TEST(SetupWrite, LayoutOfKeysHeaderAndRows)
    {
        ExperimentState s = selectedState(
            { { 1, 1.0, 1.0, 0.0 }, { 100, 0.5, 0.25, -0.75 }, { 30, 2.0, 1.0, 0.0 }, { 60, 3.0, 1.0, 0.0 } });
        ASSERT_EQ(s.NSelected, 4);
        s.TStop = 0.2;
        s.MnBdry = 2;
        s.MxBdry = 4;
        const std::string text = WriteSetupText(s);

        // Every line ends with CR LF and there is no stray line feed.
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
        const auto lines = linesOf(text);
        ASSERT_EQ(lines.size(), 24u);

        EXPECT_EQ(lines[0], "NDifferenceScheme        3 ");
        EXPECT_EQ(lines[1], "NGridCells               100 ");
        EXPECT_EQ(lines[9].substr(0, 25), "VXMin                   -");
        EXPECT_EQ(lines[12], "NSelected                4 ");
        EXPECT_EQ(lines[13], "TStop                    0.2 ");
        EXPECT_EQ(lines[14], "MnBdry                   2 ");
        EXPECT_EQ(lines[15], "MxBdry                   4 ");
        EXPECT_EQ(lines[16], "");
        EXPECT_EQ(lines[17],
            "MSelected          X                        Rho                      P                        VX");

        // Rows: numbers at columns 1, 15, 40, 65, 90, each a sign place first.
        const std::regex row(R"(^[ -]\d+ +[ -]\S+ +[ -]\S+ +[ -]\S+ +[ -]\S+ $)");
        for (std::size_t r = 18; r < 24; ++r) {
            SCOPED_TRACE(lines[r]);
            EXPECT_TRUE(std::regex_match(lines[r], row));
            for (std::size_t col : { 14u, 39u, 64u, 89u }) {
                ASSERT_GT(lines[r].size(), col + 1);
                EXPECT_NE(lines[r][col - 1], '-'); // the field before ended with its blank
                EXPECT_TRUE(lines[r][col] == ' ' || lines[r][col] == '-');
                EXPECT_NE(lines[r][col + 1], ' ');
            }
        }
        EXPECT_EQ(lines[18].substr(0, 21), " 0            -1E-07 ");
        EXPECT_EQ(lines[22].substr(89), "-0.75 ");
        EXPECT_EQ(lines[23].substr(0, 5), " 101 ");
    }

    TEST(SetupRead, AWrittenFileReadsBackToFifteenDigits)
    {
        const ExperimentState s = awkwardState();
        const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_tamrel_setup_roundtrip.txt";
        ASSERT_TRUE(WriteSetupFile(s, path));
        const SetupReadResult r = ReadSetupFile(path);
        std::remove(path.c_str());
        ASSERT_EQ(r.status, SetupReadStatus::Ok) << r.message;
        const SetupData& d = r.data;

        EXPECT_EQ(d.NDifferenceScheme, -12);
        EXPECT_EQ(d.NGridCells, 100);
        EXPECT_EQ(d.NPlotsPerPeriod, 1000);
        EXPECT_EQ(d.NSelected, s.NSelected);
        for (auto [read, written] : std::vector<std::pair<double, double>> { { d.SoundSpeed0, s.SoundSpeed0 },
                 { d.CourantNumber, s.CourantNumber }, { d.RhoMax, s.RhoMax }, { d.RhoMin, s.RhoMin },
                 { d.PMax, s.PMax }, { d.PMin, s.PMin }, { d.VXMax, s.VXMax }, { d.VXMin, s.VXMin },
                 { d.Periods, s.Periods } })
            EXPECT_TRUE(sameTo15Digits(read, written));
        ASSERT_EQ(d.MSelected.size(), static_cast<std::size_t>(s.NSelected + 2));
        for (Long j = 0; j <= s.NSelected + 1; ++j) {
            SCOPED_TRACE(j);
            const auto i = static_cast<std::size_t>(j);
            EXPECT_EQ(d.MSelected[i], s.MSelected[j]);
            EXPECT_TRUE(sameTo15Digits(d.XSelected[i], s.XSelected[j]));
            EXPECT_TRUE(sameTo15Digits(d.RhoSelected[i], s.RhoSelected[j]));
            EXPECT_TRUE(sameTo15Digits(d.PSelected[i], s.PSelected[j]));
            EXPECT_TRUE(sameTo15Digits(d.VXSelected[i], s.VXSelected[j]));
        }

        // Writing what was read gives the same text again.
        ExperimentState again = testing::emptyTableState();
        ASSERT_TRUE(CommitSetup(again, d));
        EXPECT_EQ(WriteSetupText(again), WriteSetupText(s));
    }

    // The stop time and the boundary types are optional keys: a file written
    // before them reads as it always did (the types in force stay, the run
    // lasts Periods time units); with them, in any order, the problem keeps
    // its stop time and its ends; a value they cannot take, or a key twice, is
    // refused.
    TEST(SetupRead, StopTimeAndBoundaryTypesAreOptionalKeys)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.75 }, { 100, 0.125, 0.1, 0.0 } });
        s.TStop = 0.2;
        s.MnBdry = 2;
        s.MxBdry = 1;
        auto lines = linesOf(WriteSetupText(s));
        ASSERT_EQ(lines[13].substr(0, 5), "TStop");

        auto old = lines;
        old.erase(old.begin() + 13, old.begin() + 16);
        const SetupReadResult before = ReadSetupText(joinLines(old));
        ASSERT_EQ(before.status, SetupReadStatus::Ok) << before.message;
        EXPECT_FALSE(before.data.TStop || before.data.MnBdry || before.data.MxBdry);
        ExperimentState kept = testing::emptyTableState();
        kept.MnBdry = kept.MxBdry = 4;
        kept.ProblemTStop = 0.5;
        ASSERT_TRUE(CommitSetup(kept, before.data));
        EXPECT_EQ(kept.MnBdry, 4);
        EXPECT_EQ(kept.ProblemTStop, 0.0);

        std::swap(lines[13], lines[15]);
        const SetupReadResult r = ReadSetupText(joinLines(lines));
        ASSERT_EQ(r.status, SetupReadStatus::Ok) << r.message;
        ExperimentState read = testing::emptyTableState();
        ASSERT_TRUE(CommitSetup(read, r.data));
        EXPECT_EQ(read.ProblemTStop, 0.2);
        EXPECT_EQ(read.MnBdry, 2);
        EXPECT_EQ(read.MxBdry, 1);

        struct Case {
            std::size_t line;
            std::string text, expected;
        };
        for (const Case& c : {
                 Case { 13, "MxBdry 3", "boundary type 1 (reflecting), 2 (continuation) or 4 (periodic) for 'MxBdry'" },
                 Case { 14, "MnBdry 2.5", "whole number for 'MnBdry'" },
                 Case { 15, "TStop 0", "positive stop time from 1E-300 to 1E+300 for 'TStop'" },
                 Case { 15, "TStop -1", "positive stop time from 1E-300 to 1E+300 for 'TStop'" },
                 Case { 15, "TStop 4.9e-324", "positive stop time from 1E-300 to 1E+300 for 'TStop'" },
                 Case { 14, "MxBdry 2", "null string" },
                 Case { 14, "Gamma 1.4", "null string" },
             }) {
            SCOPED_TRACE(c.text);
            auto copy = lines;
            copy[c.line] = c.text;
            const SetupReadResult bad = ReadSetupText(joinLines(copy));
            EXPECT_EQ(bad.status, SetupReadStatus::Rejected);
            EXPECT_NE(bad.message.find(c.expected), std::string::npos) << bad.message;
        }
    }

    TEST(SetupRead, CommasAndExtraBlanksSeparateFields)
    {
        const ExperimentState s = awkwardState();
        auto lines = linesOf(WriteSetupText(s));
        lines[1] = "NGridCells,100";
        lines[2] = "   SoundSpeed0 ,  " + lines[2].substr(24);
        lines[17] = "MSelected,X,Rho,P,VX";
        lines[19] = std::regex_replace(lines[19], std::regex(" +"), ",");
        lines[19] = lines[19].substr(1); // a row that starts with its first number
        const SetupReadResult r = ReadSetupText(joinLines(lines));
        ASSERT_EQ(r.status, SetupReadStatus::Ok) << r.message;
        EXPECT_EQ(r.data.NGridCells, 100);
        EXPECT_TRUE(sameTo15Digits(r.data.SoundSpeed0, 1.0 / 3));
        EXPECT_TRUE(sameTo15Digits(r.data.XSelected[1], s.XSelected[1]));
        EXPECT_TRUE(sameTo15Digits(r.data.VXSelected[1], s.VXSelected[1]));

        // Line feeds alone end lines too; a separator of blanks counts as empty.
        std::string unix = std::regex_replace(WriteSetupText(s), std::regex("\r\n"), "\n");
        unix.replace(unix.find("\n\nMSelected"), 2, "\n    \t\n");
        EXPECT_EQ(ReadSetupText(unix).status, SetupReadStatus::Ok) << ReadSetupText(unix).message;
    }

    TEST(SetupRead, AMisspeltKeyIsNamedWordForWord)
    {
        std::string text = WriteSetupText(awkwardState());
        text.replace(text.find("NGridCells"), 10, "NGridcells");
        const SetupReadResult r = ReadSetupText(text);
        EXPECT_EQ(r.status, SetupReadStatus::Rejected);
        EXPECT_EQ(r.message,
            "I expected to read the string 'NGridCells' but got instead NGridcells\r\n"
            "You screwed up.   This input file will be ignored.");
    }

    TEST(SetupRead, ASwappedHeaderListsAllFiveChecks)
    {
        std::string text = WriteSetupText(awkwardState());
        const auto at = text.find("Rho                      P");
        text.replace(at, 26, "P                        Rho");
        const SetupReadResult r = ReadSetupText(text);
        EXPECT_EQ(r.status, SetupReadStatus::Rejected);
        EXPECT_EQ(r.message,
            "I expected to read the string 'MSelected' but got instead MSelected\r\n"
            "I expected to read the string 'X' but got instead X\r\n"
            "I expected to read the string 'Rho' but got instead P\r\n"
            "I expected to read the string 'P' but got instead Rho\r\n"
            "I expected to read the string 'VX' but got instead VX\r\n"
            "You screwed up.   This input file will be ignored.");
    }

    TEST(SetupRead, TheSeparatorLineMustBeEmpty)
    {
        auto lines = linesOf(WriteSetupText(awkwardState()));
        lines[16] = "  stray words";
        const SetupReadResult r = ReadSetupText(joinLines(lines));
        EXPECT_EQ(r.status, SetupReadStatus::Rejected);
        EXPECT_EQ(r.message, "I expected to read the null string but got instead   stray words\r\n" + kTail);
    }

    // A file cut short or a field that is no number: the message names the
    // line and the key (the lab's own messages, in the style of the checks).
    TEST(SetupRead, MalformedFilesNameTheLineAndTheKey)
    {
        const std::string good = WriteSetupText(awkwardState());
        const auto lines = linesOf(good);
        const std::string last = std::to_string(lines.size());
        auto withLine = [&](std::size_t i, const std::string& line) {
            auto copy = lines;
            copy[i] = line;
            return joinLines(copy);
        };
        const std::string end = " but got instead the end of the file";
        const std::string row = "the five values 'MSelected', 'X', 'Rho', 'P' and 'VX' of entry ";
        struct Case {
            const char* name;
            std::string text;
            std::string says; // the message before its closing line
            int line;
        };
        for (const Case& c :
            {
                Case { "empty file", "", "the string 'NDifferenceScheme' on line 1" + end, 1 },
                Case { "ends in the keys", good.substr(0, good.find("Periods")),
                    "the string 'Periods' on line 11" + end, 11 },
                Case { "ends before the separator", good.substr(0, good.find("\r\n\r\n") + 2),
                    "the null string on line 17" + end, 17 },
                Case { "ends before the header", good.substr(0, good.find("MSelected")),
                    "the table header 'MSelected X Rho P VX' on line 18" + end, 18 },
                Case { "ends before the last row", joinLines({ lines.begin(), lines.end() - 1 }),
                    row + std::to_string(lines.size() - 19) + " on line " + last + end,
                    static_cast<int>(lines.size()) },
                Case { "ends in the last row", good.substr(0, good.rfind("\r\n", good.size() - 3) + 8),
                    row + std::to_string(lines.size() - 19) + " on line " + last + " but got instead 1 in ",
                    static_cast<int>(lines.size()) },
                Case { "key without value", withLine(1, "NGridCells"),
                    "a number for 'NGridCells' on line 2 but got instead nothing", 2 },
                Case { "value not a number", withLine(3, "CourantNumber     0.5x"),
                    "a number for 'CourantNumber' on line 4 but got instead 0.5x", 4 },
                Case { "decimal comma in a key", withLine(3, "CourantNumber     0,85"),
                    "a number with a period as its decimal point (a comma separates fields) for 'CourantNumber' "
                    "on "
                    "line 4 but got instead 0,85",
                    4 },
                Case { "decimal comma in a row", withLine(19, " 1  0,01  1  1  0"),
                    "a number with a period as its decimal point (a comma separates fields) for 'X' of entry 1 on "
                    "line 20 but got instead 0,01",
                    20 },
                Case { "row with letters", withLine(19, " 1  0.01  1  abc  0"),
                    "a number for 'P' of entry 1 on line 20 but got instead abc", 20 },
                Case { "row with four numbers", withLine(19, " 1  0.01  1  1"),
                    row + "1 on line 20 but got instead 4 in ' 1  0.01  1  1'", 20 },
                Case { "row with an empty field", withLine(19, "1,0.01,,1,1"),
                    "a number for 'Rho' of entry 1 on line 20 but got instead nothing", 20 },
                // A designed message keeps its text; the line comes apart.
                Case { "misspelt key", withLine(1, "NGridcells 100"),
                    "the string 'NGridCells' but got instead NGridcells", 2 },
            }) {
            SCOPED_TRACE(c.name);
            const SetupReadResult r = ReadSetupText(c.text);
            EXPECT_EQ(r.status, SetupReadStatus::Rejected);
            EXPECT_EQ(r.message.find("I expected to read " + c.says), 0u) << r.message;
            EXPECT_NE(r.message.find("\r\n" + kTail), std::string::npos) << r.message;
            EXPECT_EQ(r.line, c.line);
        }
        // Only a file that cannot be opened fails without a word.
        EXPECT_EQ(
            ReadSetupFile(::testing::TempDir() + "no/such/dir/setup.txt").status, SetupReadStatus::SilentFailure);
    }

    TEST(SetupRead, ValuesTheRestOfTheLabCannotTakeAreRejected)
    {
        const auto lines = linesOf(WriteSetupText(
            selectedState({ { 1, 1.0, 1.0, 0.0 }, { 40, 2.0, 1.0, 0.0 }, { 100, 1.0, 1.0, 0.0 } })));
        ASSERT_EQ(lines[19].substr(0, 3), " 1 ");
        auto withLine = [&](std::size_t i, const std::string& line) {
            auto copy = lines;
            copy[i] = line;
            return joinLines(copy);
        };
        struct Case {
            std::string text;
            std::string names; // what the message must name
            std::string got;
        };
        for (const Case& c : {
                 Case { withLine(1, "NGridCells 5"), "'NGridCells'", "5" },
                 Case { withLine(1, "NGridCells 5001"), "'NGridCells'", "5001" },
                 Case { withLine(2, "SoundSpeed0 0"), "'SoundSpeed0'", "0" },
                 Case { withLine(2, "SoundSpeed0 -2"), "'SoundSpeed0'", "-2" },
                 Case { withLine(3, "CourantNumber 1"), "'CourantNumber'", "1" },
                 Case { withLine(3, "CourantNumber 0"), "'CourantNumber'", "0" },
                 Case { withLine(10, "Periods 0"), "'Periods'", "0" },
                 Case { withLine(11, "NPlotsPerPeriod 0"), "'NPlotsPerPeriod'", "0" },
                 Case { withLine(10, "Periods 1e9"), "'Periods'", "1000000000" },
                 Case { withLine(10, "Periods 0.001"), "'Periods'", "0.001" },
                 Case { withLine(11, "NPlotsPerPeriod 1e12"), "'NPlotsPerPeriod'", "1e12" },
                 Case { withLine(1, "NGridCells 100.4"), "'NGridCells'", "100.4" },
                 Case { withLine(3, "CourantNumber 0.005"), "from 0.01 to below 1 for 'CourantNumber'", "0.005" },
                 Case { withLine(20, " 40.5 0.4 2 1 0"), "'MSelected' of entry 2", "40.5" },
                 Case { withLine(20, " 40 0.4 1e-30 1e30 0"), "sound speed", "1E+30" },
                 Case { withLine(20, " 40 0.4 2 1 1e160"), "'VX' of entry 2", "1E+160" },
                 Case { withLine(20, " 40 0.4 1e301 1 0"), "'Rho' of entry 2", "1E+301" },
                 // The history stores, and four schemes compute, in single
                 // precision: the reader takes only what they can hold.
                 Case { withLine(20, " 40 0.4 1e35 1 0"),
                     "density from 1E-30 to 1E+30 (the single-precision range of the history and the 32-bit "
                     "schemes) for 'Rho' of entry 2",
                     "1E+35" },
                 Case { withLine(20, " 40 0.4 1e-31 1 0"), "density from 1E-30 to 1E+30", "1E-31" },
                 Case { withLine(20, " 40 0.4 1 4e38 0"), "pressure from 1E-30 to 1E+30", "4E+38" },
                 Case { withLine(20, " 40 0.4 1 1 -1e31"), "velocity of at most 1E+30 in size", "-1E+31" },
                 Case { withLine(20, " 40 0.4 1e10 1 1e10"),
                     "energy P/(Gamma-1) + Rho VX^2/2 and its flux below 1E+36", "1 and 10000000000" },
                 Case { withLine(20, " 40 0.4 1 1e30 0"), "for 'P' and 'VX' of entry 2", "1E+30 and 0" },
                 Case { withLine(4, "RhoMax 1e303"), "'RhoMax'", "1E+303" },
                 Case { withLine(12, "NSelected -1"), "'NSelected'", "-1" },
                 Case { withLine(12, "NSelected 101"), "'NSelected'", "101" },
                 Case { withLine(19, " 0 0.01 1 1 0"), "'MSelected' of entry 1", "0" },
                 Case { withLine(19, " 41 0.01 1 1 0"), "'MSelected' of entry 2", "40" },
                 Case { withLine(20, " 1 0.4 2 1 0"), "'MSelected' of entry 2", "1" },
                 Case { withLine(18, " 3 0 1 1 0"), "'MSelected' of entry 0", "3" },
                 Case { withLine(22, " 100 1 1 1 0"), "'MSelected' of entry 4", "100" },
                 Case { withLine(20, " 40 0.4 0 1 0"), "'Rho' of entry 2", "0" },
                 Case { withLine(18, " 0 0 1 -1 0"), "'P' of entry 0", "-1" },
             }) {
            SCOPED_TRACE(c.names + " " + c.got);
            const SetupReadResult r = ReadSetupText(c.text);
            EXPECT_EQ(r.status, SetupReadStatus::Rejected);
            EXPECT_NE(r.message.find(c.names), std::string::npos) << r.message;
            EXPECT_NE(r.message.find(" but got instead " + c.got + "\r\n" + kTail), std::string::npos)
                << r.message;
            EXPECT_EQ(r.message.find("I expected to read"), 0u) << r.message;
        }
        EXPECT_EQ(ReadSetupText(withLine(1, "NGridCells 5001")).message,
            "I expected to read a number of grid cells from 6 to 5000 for 'NGridCells' but got instead 5001\r\n"
                + kTail);
    }

    TEST(SetupRead, AHugeTableClaimIsRefusedBeforeReading)
    {
        auto lines = linesOf(WriteSetupText(selectedState({ { 1, 1.0, 1.0, 0.0 } })));
        lines[12] = "NSelected 2000000000";
        const SetupReadResult r = ReadSetupText(joinLines(lines));
        EXPECT_EQ(r.status, SetupReadStatus::Rejected);
        EXPECT_NE(r.message.find("'NSelected'"), std::string::npos);
        EXPECT_TRUE(r.data.MSelected.empty());
        EXPECT_EQ(r.data.MSelected.capacity(), 0u);
    }

    TEST(SetupRead, AnEndlessLineInAFileIsRefusedWithoutTakingItIn)
    {
        const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_tamrel_setup_long_line.txt";
        {
            std::ofstream out(path, std::ios::binary);
            out << "NDifferenceScheme " << std::string(3u << 20, '7') << "\r\n";
        }
        const SetupReadResult r = ReadSetupFile(path);
        EXPECT_EQ(r.status, SetupReadStatus::Rejected);
        EXPECT_EQ(
            r.message.find("I expected to read the string 'NDifferenceScheme' on line 1 but got instead a line "
                           "longer than 1048576 characters"),
            0u)
            << r.message;
        std::remove(path.c_str());
    }

    // Read Setup takes regular files only: a FIFO with no writer is refused
    // at once instead of waiting for one, a folder or a device says what it is.
    TEST(SetupRead, AnythingButARegularFileIsRejectedWithoutWaiting)
    {
        const std::string fifo = ::testing::TempDir() + std::to_string(getpid()) + "_tamrel_setup_fifo";
        std::remove(fifo.c_str());
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        struct Case {
            std::string path;
            std::string kind;
        };
        for (const Case& c : { Case { fifo, "a FIFO (named pipe)" }, Case { ::testing::TempDir(), "a folder" },
                 Case { "/dev/zero", "a device" } }) {
            SCOPED_TRACE(c.path);
            const SetupReadResult r = ReadSetupFile(c.path);
            EXPECT_EQ(r.status, SetupReadStatus::Rejected);
            EXPECT_EQ(r.message, "I expected to read a regular file but got instead " + c.kind + "\r\n" + kTail);
        }
        // Nor is a set-up written into one.
        EXPECT_FALSE(WriteSetupFile(selectedState({ { 1, 1.0, 1.0, 0.0 } }), fifo));
        std::remove(fifo.c_str());
    }

    TEST(SetupWrite, AWriteThatFailsHalfWayLeavesTheFileThatWasThere)
    {
        const std::string folder = ::testing::TempDir() + std::to_string(getpid()) + "_tamrel_setup_write";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        const std::string path = folder + "/setup.txt";
        std::ofstream(path, std::ios::binary) << "kept\n";
        const ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 40, 2.0, 1.0, 0.0 } });
        ASSERT_GT(WriteSetupText(s).size(), 200u);
        {
            // Files may grow to 200 bytes only: the write stops in the table
            // (as on a full disk), with an error instead of a signal.
            rlimit limit {};
            ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
            const rlimit before = limit;
            limit.rlim_cur = 200;
            const auto handler = std::signal(SIGXFSZ, SIG_IGN);
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            const bool written = WriteSetupFile(s, path);
            ::setrlimit(RLIMIT_FSIZE, &before);
            std::signal(SIGXFSZ, handler);
            EXPECT_FALSE(written);
        }
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "nothing left beside it";
        // A write that succeeds replaces it.
        EXPECT_TRUE(WriteSetupFile(s, path));
        EXPECT_EQ(ReadSetupFile(path).status, SetupReadStatus::Ok);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
        std::filesystem::remove_all(folder);
    }

    TEST(SetupCommit, TakesTheFileAndStartsAfresh)
    {
        ExperimentState source = awkwardState();
        source.NGridCells = 50; // a table on a smaller grid
        for (Long j = 1; j <= source.NSelected; ++j)
            source.MSelected[j] = std::min<Long>(source.MSelected[j], 46 + j);
        source.MSelected[source.NSelected + 1] = 51;
        source.TStop = 0.7;
        source.MnBdry = source.MxBdry = 4;
        const SetupReadResult r = ReadSetupText(WriteSetupText(source));
        ASSERT_EQ(r.status, SetupReadStatus::Ok) << r.message;

        ExperimentState s = testing::emptyTableState();
        s.Stopped = 1;
        s.TimeNow = 0.4;
        s.MnBdry = 2;
        ASSERT_TRUE(CommitSetup(s, r.data));
        EXPECT_EQ(s.NGridCells, 50);
        EXPECT_EQ(s.MSelected.upper(), 52);
        EXPECT_EQ(s.XSelected.upper(), 52);
        EXPECT_EQ(s.NSelected, r.data.NSelected);
        EXPECT_EQ(s.MSelected[s.NSelected + 1], 51);
        EXPECT_EQ(s.VXSelected[1], r.data.VXSelected[1]);
        EXPECT_EQ(s.CourantNumber, r.data.CourantNumber);
        EXPECT_EQ(s.Periods, r.data.Periods);
        EXPECT_EQ(s.TimeNow, 0.0);
        EXPECT_EQ(s.MnBdry, 4);
        EXPECT_EQ(s.MxBdry, 4);

        testing::rebuildWithoutBoxes(s);
        EXPECT_EQ(s.TStop, 0.7); // the file's stop time, kept through the rebuild
        EXPECT_EQ(s.X[51], 1.0);
        EXPECT_EQ(s.Rho[s.MSelected[2]], s.RhoSelected[2]);
    }

    TEST(SetupCommit, RefusesDataThatDidNotPass)
    {
        SetupData d = ReadSetupText(WriteSetupText(awkwardState())).data;
        d.MSelected.pop_back();
        ExperimentState s = testing::emptyTableState();
        const std::string before = WriteSetupText(s);
        EXPECT_FALSE(CommitSetup(s, d));
        EXPECT_EQ(WriteSetupText(s), before);
        EXPECT_FALSE(CommitSetup(s, SetupData {}));
        EXPECT_EQ(WriteSetupText(s), before);
    }

} // namespace
} // namespace tamrel
