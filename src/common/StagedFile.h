#pragma once
// An output file that is written in full or not at all. The content goes to
// a temporary file beside the target (same folder, so the final rename is
// one atomic step of the file system); only commit() renames it onto the
// target. Until then the target is neither created nor changed, and a staged
// file that is dropped without commit() removes its temporary file.
//
// Creating one checks the target the way the final rename will need it: the
// target is a regular file or does not exist yet, may be written, and its
// folder takes a new file. A symbolic link is followed, so the file it points
// to is replaced and the link stays.

#include <string>

namespace tamrel {

class StagedFile {
public:
    explicit StagedFile(const std::string& target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // False when the target cannot be written; error() then says why.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // The path as given, and the file the rename will replace (links followed).
    const std::string& target() const { return target_; }
    const std::string& resolvedTarget() const { return resolved_; }

    // Where the content is written before commit(). Empty when !ok().
    const std::string& temporaryPath() const { return temporary_; }

    // Renames the temporary file onto the target. False (error() says why)
    // when the rename fails; the temporary file is then removed.
    bool commit();

private:
    void discard();

    std::string target_;
    std::string resolved_;
    std::string temporary_;
    std::string error_;
    int slot_ = -1; // this file's entry among those removed on a signal
};

// From now on SIGINT, SIGTERM and SIGHUP remove every temporary file of a
// StagedFile not yet committed before the process ends as the signal says.
void removeStagedFilesOnSignals();

} // namespace tamrel
