// SPDX-License-Identifier: GPL-3.0-or-later
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
// to is replaced and the link stays; a link to a file that does not exist yet
// creates that file.

#include <span>
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

    // The checks of the constructor once more, for a target that may have
    // changed since: false (error() says why) when it can no longer be replaced.
    bool targetStillFits();

    // Renames the temporary file onto the target. False (error() says why)
    // when the rename fails; the temporary file is then removed.
    bool commit();

private:
    friend std::string commitAll(std::span<StagedFile* const> files);
    void discard();
    std::string checkTarget(bool& exists, unsigned& mode) const;

    std::string target_;
    std::string resolved_;
    std::string temporary_;
    std::string error_;
    int slot_ = -1; // this file's entry among those removed on a signal
};

// Commits every file or none: every target is checked before the first
// rename, and when a later rename fails the targets already renamed get
// their previous content back (or are removed when they did not exist).
// "" on success, otherwise why; the temporary files are removed either way.
std::string commitAll(std::span<StagedFile* const> files);

// Whether two paths name one file: the same file on disk (links followed)
// when both exist, otherwise the same absolute path once links are followed.
bool sameFile(const std::string& a, const std::string& b);

// From now on every signal that ends the process and can be caught (SIGINT,
// SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, ...) removes every
// temporary file of a StagedFile not yet committed before the process ends
// as the signal says. A signal the process ignores, or that another handler
// already takes, is left as it is.
void removeStagedFilesOnSignals();

} // namespace tamrel
