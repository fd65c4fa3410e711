// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/StagedFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/RegularFile.h"

namespace tamrel {

namespace {

    namespace fs = std::filesystem;

    // The temporary files not yet committed, for the signal handler: it may
    // only read lock-free atomics and call unlink.
    constexpr int kSlots = 64;
    std::array<std::atomic<const char*>, kSlots> g_pending {};

    int takeSlot(const char* path)
    {
        for (int i = 0; i < kSlots; ++i) {
            const char* expected = nullptr;
            if (g_pending[static_cast<std::size_t>(i)].compare_exchange_strong(expected, path))
                return i;
        }
        return -1; // still staged, only not removed by a signal
    }

    void freeSlot(int& slot)
    {
        if (slot >= 0)
            g_pending[static_cast<std::size_t>(slot)].store(nullptr);
        slot = -1;
    }

    void removePendingAndRaise(int signal)
    {
        for (auto& p : g_pending)
            if (const char* path = p.load())
                ::unlink(path);
        struct sigaction action { };
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
        ::raise(signal); // delivered once the handler returns
    }

    std::string cannotWrite(const std::string& target, const std::string& why)
    {
        return "cannot write '" + target + "': " + why;
    }

    // The path with every symbolic link along its last element followed,
    // also to a file that does not exist yet; "" and `why` for a loop.
    std::string followLinks(const std::string& path, std::string& why)
    {
        fs::path p(path);
        for (int hops = 0; hops < 40; ++hops) {
            struct stat st { };
            if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
                return p.lexically_normal().string();
            std::error_code ec;
            const fs::path to = fs::read_symlink(p, ec);
            if (ec) {
                why = ec.message();
                return {};
            }
            p = to.is_absolute() ? to : p.parent_path() / to;
        }
        why = std::strerror(ELOOP);
        return {};
    }

    // A name beside `of` that no other writer uses: ".name.<kind>-PID-N".
    std::string besideName(const std::string& of, const char* kind)
    {
        static std::atomic<unsigned> serial { 0 };
        const fs::path p(of);
        const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
        std::string name = ".";
        name.append(p.filename().string()).append(".").append(kind).append("-");
        name.append(std::to_string(::getpid())).append("-").append(std::to_string(serial++));
        return (folder / name).string();
    }

} // namespace

std::string StagedFile::checkTarget(bool& exists, unsigned& mode) const
{
    exists = false;
    struct stat st { };
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (const std::string kind = nonRegularKind(st.st_mode); !kind.empty())
            return cannotWrite(target_, "it is " + kind + ", not a regular file");
        if (::access(resolved_.c_str(), W_OK) != 0)
            return cannotWrite(target_, std::strerror(errno));
        exists = true;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return cannotWrite(target_, std::strerror(errno));
    }
    const fs::path resolvedPath(resolved_);
    const std::string name = resolvedPath.filename().string();
    if (name.empty() || name == "." || name == "..")
        return cannotWrite(target_, "it names no file");
    const fs::path folder = resolvedPath.has_parent_path() ? resolvedPath.parent_path() : fs::path(".");
    if (::stat(folder.c_str(), &st) != 0)
        return cannotWrite(target_, std::strerror(errno));
    if (!S_ISDIR(st.st_mode))
        return cannotWrite(target_, std::strerror(ENOTDIR));
    return {};
}

StagedFile::StagedFile(const std::string& target)
    : target_(target)
{
    if (target.empty()) {
        error_ = "an empty file name cannot be written";
        return;
    }
    std::string why;
    resolved_ = followLinks(target, why);
    if (resolved_.empty()) {
        error_ = cannotWrite(target, why);
        return;
    }
    bool exists = false;
    unsigned mode = 0;
    error_ = checkTarget(exists, mode);
    if (!error_.empty())
        return;

    // A hidden name of this process that no other writer uses; created with
    // the usual permissions (umask applies), or the target's own when it exists.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = besideName(resolved_, "partial");
        slot_ = takeSlot(temporary_.c_str());
        const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists)
                ::fchmod(fd, mode);
            ::close(fd);
            return;
        }
        const int errorNumber = errno;
        freeSlot(slot_);
        temporary_.clear();
        if (errorNumber != EEXIST) {
            error_ = cannotWrite(target, std::strerror(errorNumber));
            return;
        }
    }
    error_ = cannotWrite(target, "no free temporary name beside it");
}

StagedFile::~StagedFile()
{
    discard();
}

bool StagedFile::targetStillFits()
{
    if (!ok())
        return false;
    bool exists = false;
    unsigned mode = 0;
    error_ = checkTarget(exists, mode);
    return ok();
}

bool StagedFile::commit()
{
    if (!ok() || temporary_.empty())
        return false;
    if (::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
        error_ = cannotWrite(target_, std::strerror(errno));
        discard();
        return false;
    }
    freeSlot(slot_);
    temporary_.clear();
    return true;
}

void StagedFile::discard()
{
    if (temporary_.empty())
        return;
    freeSlot(slot_);
    ::unlink(temporary_.c_str());
    temporary_.clear();
}

std::string commitAll(std::span<StagedFile* const> files)
{
    for (StagedFile* f : files)
        if (!f->targetStillFits() || f->temporary_.empty())
            return f->error().empty() ? cannotWrite(f->target(), "nothing was written") : f->error();

    // The previous content of each existing target, kept beside it (a hard
    // link, or a copy where the file system has none) until all are renamed.
    struct Undo {
        std::string backup; // "" when the target did not exist
        int slot = -1;
    };
    std::vector<Undo> undo(files.size());
    auto dropBackups = [&] {
        for (Undo& u : undo) {
            freeSlot(u.slot);
            if (!u.backup.empty())
                ::unlink(u.backup.c_str());
        }
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& target = files[i]->resolvedTarget();
        if (::access(target.c_str(), F_OK) != 0)
            continue;
        const std::string backup = besideName(target, "previous");
        std::error_code ec;
        if (::link(target.c_str(), backup.c_str()) != 0 && !fs::copy_file(target, backup, ec)) {
            dropBackups();
            return cannotWrite(
                files[i]->target(), "its present content cannot be kept until the others are written");
        }
        undo[i].backup = backup;
        undo[i].slot = takeSlot(undo[i].backup.c_str());
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i]->commit())
            continue;
        // Back to what was there, newest first.
        for (std::size_t j = i; j-- > 0;) {
            const std::string& target = files[j]->resolvedTarget();
            if (undo[j].backup.empty())
                ::unlink(target.c_str());
            else if (::rename(undo[j].backup.c_str(), target.c_str()) == 0)
                undo[j].backup.clear();
        }
        dropBackups();
        return files[i]->error();
    }
    dropBackups();
    return {};
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::string why;
    const std::string ra = followLinks(a, why), rb = followLinks(b, why);
    if (ra.empty() || rb.empty())
        return false;
    std::error_code ea, eb;
    const fs::path pa = fs::weakly_canonical(fs::absolute(ra), ea);
    const fs::path pb = fs::weakly_canonical(fs::absolute(rb), eb);
    return !ea && !eb && pa == pb;
}

void removeStagedFilesOnSignals()
{
    // Every signal whose default action ends the process, except SIGKILL
    // and SIGSTOP, which cannot be caught.
    static constexpr int kEnding[] = { SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGUSR1,
        SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSYS
#ifdef SIGSTKFLT
        ,
        SIGSTKFLT
#endif
    };
    struct sigaction action { };
    action.sa_handler = removePendingAndRaise;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEnding) {
        struct sigaction present { };
        if (::sigaction(signal, nullptr, &present) == 0 && present.sa_handler == SIG_DFL
            && !(present.sa_flags & SA_SIGINFO))
            ::sigaction(signal, &action, nullptr);
    }
}

} // namespace tamrel
