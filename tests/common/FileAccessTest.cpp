// SPDX-License-Identifier: GPL-3.0-or-later
// Output files written in full or not at all, and input files that must be
// regular files: what is on disk after each way of succeeding and failing.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "common/RegularFile.h"
#include "common/StagedFile.h"

namespace tamrel {
namespace {

    namespace fs = std::filesystem;

    // A fresh folder per test, removed afterwards.
    class FileAccess : public ::testing::Test {
    protected:
        void SetUp() override
        {
            std::string pattern = ::testing::TempDir() + "tamrel_files_XXXXXX";
            ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
            folder = pattern;
        }
        void TearDown() override { fs::remove_all(folder); }

        std::string path(const std::string& name) const { return (fs::path(folder) / name).string(); }

        static void write(const std::string& file, const std::string& text)
        {
            std::ofstream(file, std::ios::binary) << text;
        }
        static std::string read(const std::string& file)
        {
            std::ifstream in(file, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }
        // Every name in the folder, hidden ones included.
        std::set<std::string> names() const
        {
            std::set<std::string> all;
            for (const auto& e : fs::directory_iterator(folder))
                all.insert(e.path().filename().string());
            return all;
        }

        std::string folder;
    };

    using StagedFileTest = FileAccess;
    using RegularFileTest = FileAccess;

    TEST_F(StagedFileTest, TheTargetChangesOnlyAtCommit)
    {
        write(path("old.csv"), "previous\n");
        ::chmod(path("old.csv").c_str(), 0640);
        {
            StagedFile fresh(path("new.csv"));
            StagedFile old(path("old.csv"));
            ASSERT_TRUE(fresh.ok()) << fresh.error();
            ASSERT_TRUE(old.ok()) << old.error();
            write(fresh.temporaryPath(), "fresh\n");
            write(old.temporaryPath(), "replaced\n");
            // Written, not committed: the targets are as they were.
            EXPECT_EQ(names().count("new.csv"), 0u);
            EXPECT_EQ(read(path("old.csv")), "previous\n");
            ASSERT_TRUE(fresh.commit()) << fresh.error();
            ASSERT_TRUE(old.commit()) << old.error();
        }
        EXPECT_EQ(read(path("new.csv")), "fresh\n");
        EXPECT_EQ(read(path("old.csv")), "replaced\n");
        struct stat st { };
        ASSERT_EQ(::stat(path("old.csv").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << "a replaced file keeps its permissions";
        EXPECT_EQ(names(), (std::set<std::string> { "new.csv", "old.csv" }));
    }

    TEST_F(StagedFileTest, DroppedWithoutCommitLeavesNothingBehind)
    {
        write(path("old.csv"), "previous\n");
        {
            StagedFile fresh(path("new.csv"));
            StagedFile old(path("old.csv"));
            write(fresh.temporaryPath(), "half a run");
            write(old.temporaryPath(), "half a run");
        }
        EXPECT_EQ(names(), std::set<std::string> { "old.csv" });
        EXPECT_EQ(read(path("old.csv")), "previous\n");
    }

    TEST_F(StagedFileTest, TargetsThatCannotBeReplacedAreRefusedUpFront)
    {
        fs::create_directory(path("folder.csv"));
        ASSERT_EQ(::mkfifo(path("fifo.csv").c_str(), 0600), 0);
        struct Case {
            std::string target;
            std::string why; // a piece of the error
        };
        for (const Case& c : {
                 Case { path("no/such/folder/r.csv"), "No such file or directory" },
                 Case { path("folder.csv"), "a folder" },
                 Case { path("fifo.csv"), "a FIFO" },
                 Case { "/dev/null", "a device" },
                 Case { "", "empty" },
             }) {
            SCOPED_TRACE(c.target);
            const StagedFile f(c.target);
            EXPECT_FALSE(f.ok());
            EXPECT_NE(f.error().find(c.why), std::string::npos) << f.error();
            EXPECT_TRUE(f.temporaryPath().empty());
        }
        EXPECT_EQ(names(), (std::set<std::string> { "fifo.csv", "folder.csv" }));
    }

    // A link to an existing file, and one to a file not there yet (in a
    // folder of its own): the file it points to gets the content.
    TEST_F(StagedFileTest, ALinkIsFollowedAndStays)
    {
        write(path("real.csv"), "previous\n");
        fs::create_directory(path("sub"));
        fs::create_symlink("real.csv", path("link.csv"));
        fs::create_symlink("sub/later.csv", path("dangling.csv"));
        for (const auto& [link, real] :
            { std::pair { "link.csv", "real.csv" }, { "dangling.csv", "sub/later.csv" } }) {
            SCOPED_TRACE(link);
            {
                StagedFile f(path(link));
                ASSERT_TRUE(f.ok()) << f.error();
                write(f.temporaryPath(), "new\n");
                ASSERT_TRUE(f.commit());
            }
            EXPECT_TRUE(fs::is_symlink(path(link)));
            EXPECT_EQ(read(path(real)), "new\n");
        }
        EXPECT_EQ(names(), (std::set<std::string> { "dangling.csv", "link.csv", "real.csv", "sub" }));
    }

    // Several outputs are renamed into place together or not at all.
    TEST_F(StagedFileTest, CommitAllPutsEveryFileInPlaceOrNone)
    {
        struct Case {
            const char* what;
            std::function<void(StagedFile& second)> spoil; // after staging, before the commit
            const char* says;
        };
        const Case cases[] = {
            { "all well", [](StagedFile&) {}, "" },
            // Found by the check before the first rename.
            { "a target turned into a folder",
                [this](StagedFile&) {
                    fs::remove(path("b.csv"));
                    fs::create_directory(path("b.csv"));
                },
                "a folder" },
            // Found only by the rename: the first file is put back.
            { "a rename that fails",
                [](StagedFile& second) { fs::rename(second.temporaryPath(), second.temporaryPath() + ".gone"); },
                "No such file" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            fs::remove_all(folder);
            fs::create_directory(folder);
            write(path("a.csv"), "old a\n");
            write(path("b.csv"), "old b\n");
            std::string failure;
            {
                StagedFile a(path("a.csv")), fresh(path("c.csv")), b(path("b.csv"));
                write(a.temporaryPath(), "new a\n");
                write(fresh.temporaryPath(), "new c\n");
                write(b.temporaryPath(), "new b\n");
                c.spoil(b);
                StagedFile* files[] = { &a, &fresh, &b };
                failure = commitAll(files);
            }
            for (const auto& e : fs::directory_iterator(folder))
                if (e.path().filename().string().ends_with(".gone"))
                    fs::remove(e.path());
            if (!*c.says) {
                EXPECT_EQ(failure, "");
                EXPECT_EQ(read(path("a.csv")), "new a\n");
                EXPECT_EQ(read(path("b.csv")), "new b\n");
                EXPECT_EQ(read(path("c.csv")), "new c\n");
                EXPECT_EQ(names(), (std::set<std::string> { "a.csv", "b.csv", "c.csv" }));
                continue;
            }
            EXPECT_NE(failure.find(c.says), std::string::npos) << failure;
            EXPECT_EQ(read(path("a.csv")), "old a\n");
            EXPECT_EQ(names().count("c.csv"), 0u) << "a new file is taken back";
            EXPECT_EQ(names().size(), 2u) << "no temporary or kept copy is left";
        }
    }

    TEST_F(StagedFileTest, SameFileIsTheFileOnDiskWhateverItsName)
    {
        write(path("a.csv"), "a\n");
        fs::create_hard_link(path("a.csv"), path("hard.csv"));
        fs::create_symlink("a.csv", path("soft.csv"));
        fs::create_symlink("later.csv", path("dangling.csv"));
        EXPECT_TRUE(sameFile(path("a.csv"), path("hard.csv")));
        EXPECT_TRUE(sameFile(path("soft.csv"), path("./a.csv")));
        EXPECT_TRUE(sameFile(path("dangling.csv"), path("later.csv")));
        EXPECT_FALSE(sameFile(path("a.csv"), path("later.csv")));
    }

    TEST_F(StagedFileTest, ATerminatedProcessLeavesNoTemporaryFile)
    {
        write(path("old.csv"), "previous\n");
        for (const int signal :
            { SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGXCPU }) {
            SCOPED_TRACE(signal);
            EXPECT_EXIT(
                {
                    removeStagedFilesOnSignals();
                    StagedFile fresh(path("new.csv"));
                    StagedFile old(path("old.csv"));
                    write(fresh.temporaryPath(), "half a run");
                    std::raise(signal);
                    std::_Exit(0); // not reached
                },
                ::testing::KilledBySignal(signal), "");
            EXPECT_EQ(names(), std::set<std::string> { "old.csv" });
            EXPECT_EQ(read(path("old.csv")), "previous\n");
        }
    }

    TEST_F(RegularFileTest, OnlyARegularFileIsOpenedAndNothingElseBlocks)
    {
        write(path("setup.txt"), "NDifferenceScheme 3\r\n");
        fs::create_directory(path("folder"));
        // Opening a FIFO with no writer would wait for ever unless it is
        // refused without waiting.
        ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
        struct Case {
            std::string file;
            std::string notRegular; // "" for a file that opens or does not exist
            std::string error;
        };
        for (const Case& c : {
                 Case { path("setup.txt"), "", "" },
                 Case { path("folder"), "a folder", "a folder" },
                 Case { path("fifo"), "a FIFO (named pipe)", "a FIFO (named pipe)" },
                 Case { "/dev/zero", "a device", "a device" },
                 Case { path("missing.txt"), "", "No such file or directory" },
             }) {
            SCOPED_TRACE(c.file);
            RegularFileReader r(c.file);
            EXPECT_EQ(r.isOpen(), c.error.empty());
            EXPECT_EQ(r.notRegular(), c.notRegular);
            EXPECT_EQ(r.error(), c.error);
            if (r.isOpen()) {
                std::string line;
                std::getline(r.stream(), line);
                EXPECT_EQ(line, "NDifferenceScheme 3\r");
            }
        }
    }

} // namespace
} // namespace tamrel
