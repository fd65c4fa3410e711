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

    struct Ran {
        int status = -1;
        std::string errors; // what it wrote on stderr
    };

    // The program with a platform no Qt can load and no display named, and
    // Qt asked to say every plugin it loads: an application object would
    // load a platform plugin, even one that picks the offscreen platform
    // itself whatever the environment names.
    Ran runWithoutDisplay(const std::string& args, const std::filesystem::path& dir)
    {
        const auto errors = dir / "stderr.txt";
        const std::string command
            = std::string(
                  "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=nonexistent-platform QT_DEBUG_PLUGINS=1 ")
            + testing::kBinary + " " + args + " > /dev/null 2> " + errors.string();
        Ran r;
        r.status = std::system(command.c_str());
        r.errors = slurp(errors);
        return r;
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
        const Ran ran
            = runWithoutDisplay("--batch --test 3 --cells 120 --scheme Lentor32 --courant 0.7 --exact --out "
                    + out.string() + " --history " + history.string(),
                dir);
        ASSERT_EQ(ran.status, 0) << ran.errors;
        EXPECT_EQ(ran.errors.find("plugin"), std::string::npos) << ran.errors;

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
            const Ran ran = runWithoutDisplay(args, dir);
            EXPECT_EQ(ran.status, 0) << args << "\n" << ran.errors;
            EXPECT_EQ(ran.errors.find("plugin"), std::string::npos) << args << "\n" << ran.errors;
            EXPECT_TRUE(std::filesystem::file_size(out) > 0) << args;
        }
    }

} // namespace
} // namespace tamrel::lab
