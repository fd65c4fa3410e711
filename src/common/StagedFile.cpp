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

#include "common/RegularFile.h"

namespace tamrel {

namespace {

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
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }

    std::string cannotWrite(const std::string& target, const std::string& why)
    {
        return "cannot write '" + target + "': " + why;
    }

} // namespace

StagedFile::StagedFile(const std::string& target)
    : target_(target)
    , resolved_(target)
{
    namespace fs = std::filesystem;
    if (target.empty()) {
        error_ = "an empty file name cannot be written";
        return;
    }
    struct stat st { };
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::error_code ec;
        const fs::path real = fs::weakly_canonical(target, ec);
        if (ec) {
            error_ = cannotWrite(target, ec.message());
            return;
        }
        resolved_ = real.string();
    }
    bool exists = false;
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (const std::string kind = nonRegularKind(st.st_mode); !kind.empty()) {
            error_ = cannotWrite(target, "it is " + kind + ", not a regular file");
            return;
        }
        if (::access(resolved_.c_str(), W_OK) != 0) {
            error_ = cannotWrite(target, std::strerror(errno));
            return;
        }
        exists = true;
    } else if (errno != ENOENT) {
        error_ = cannotWrite(target, std::strerror(errno));
        return;
    }

    const fs::path resolvedPath(resolved_);
    const std::string name = resolvedPath.filename().string();
    if (name.empty() || name == "." || name == "..") {
        error_ = cannotWrite(target, "it names no file");
        return;
    }
    const fs::path folder = resolvedPath.has_parent_path() ? resolvedPath.parent_path() : fs::path(".");

    // A hidden name of this process that no other writer uses; created with
    // the usual permissions (umask applies), or the target's own when it exists.
    static std::atomic<unsigned> serial { 0 };
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_
            = (folder / ("." + name + ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(serial++)))
                  .string();
        slot_ = takeSlot(temporary_.c_str());
        const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists)
                ::fchmod(fd, st.st_mode & 07777);
            ::close(fd);
            return;
        }
        const int why = errno;
        freeSlot(slot_);
        temporary_.clear();
        if (why != EEXIST) {
            error_ = cannotWrite(target, std::strerror(why));
            return;
        }
    }
    error_ = cannotWrite(target, "no free temporary name beside it");
}

StagedFile::~StagedFile()
{
    discard();
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

void removeStagedFilesOnSignals()
{
    struct sigaction action { };
    action.sa_handler = removePendingAndRaise;
    sigemptyset(&action.sa_mask);
    for (const int signal : { SIGINT, SIGTERM, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}

} // namespace tamrel
