// SPDX-License-Identifier: GPL-3.0-or-later
// A batch run that draws no picture starts no Qt: it runs where no display
// platform can load, and writes the files a lab session's record gives.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "LabTestSupport.h"
#include "app/BatchFiles.h"
#include "exact/ExactColumns.h"
#include "lab/LabSession.h"

namespace tamrel::lab {
namespace {

    std::string slurp(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    // The program with a platform no Qt can load and no display named.
    int runWithoutDisplay(const std::string& args)
    {
        const std::string command
            = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=nonexistent-platform ")
            + testing::kBinary + " " + args + " > /dev/null 2>&1";
        return std::system(command.c_str());
    }

    class BatchWithoutDisplay : public ::testing::Test {
    protected:
        void SetUp() override
        {
            if (!testing::kHaveBatch)
                GTEST_SKIP() << "built without the window";
            dir = std::filesystem::temp_directory_path() / ("tamrel-nodisplay-" + std::to_string(::getpid()));
            std::filesystem::create_directories(dir);
        }
        void TearDown() override { std::filesystem::remove_all(dir); }
        std::filesystem::path dir;
    };

    TEST_F(BatchWithoutDisplay, WritesTheSessionsFinalStateAndHistory)
    {
        const auto out = dir / "final.csv", history = dir / "history.csv";
        ASSERT_EQ(runWithoutDisplay("--batch --test 3 --cells 120 --scheme Lentor32 --courant 0.7 --exact --out "
                      + out.string() + " --history " + history.string()),
            0);

        LabSession s;
        ASSERT_FALSE(s.setGridCells(120));
        ASSERT_FALSE(s.setScheme("Lentor32"));
        ASSERT_FALSE(s.setCourant(0.7));
        ASSERT_FALSE(s.loadTest(3));
        exact::ExactColumns exact(s.record());
        ASSERT_FALSE(s.runToEnd());
        const auto wantOut = dir / "want.csv", wantHistory = dir / "want-history.csv";
        ASSERT_TRUE(batch::writeFinalState(s.record(), wantOut.string(), &exact));
        ASSERT_TRUE(batch::writeHistory(s.record(), wantHistory.string(), &exact));
        EXPECT_EQ(slurp(out), slurp(wantOut));
        EXPECT_EQ(slurp(history), slurp(wantHistory));
    }

    // The other batch runs without pictures need no display either.
    TEST_F(BatchWithoutDisplay, SchemesSideBySideAndAStudyRunToo)
    {
        const std::string out = (dir / "out.csv").string();
        for (const std::string& args : { "--batch --test 1 --cells 60 --schemes Orvane,Sorvi --out " + out,
                 "--convergence --test 1 --schemes Orvane --cells 32,64 --out " + out }) {
            std::filesystem::remove(out);
            EXPECT_EQ(runWithoutDisplay(args), 0) << args;
            EXPECT_TRUE(std::filesystem::file_size(out) > 0) << args;
        }
    }

} // namespace
} // namespace tamrel::lab
