// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a file that must be a regular file. Opening never blocks: a FIFO
// with no writer, a folder or a device is refused with what it is, instead
// of waiting for a writer forever or reading a stream that never ends.

#include <istream>
#include <memory>
#include <string>
#include <sys/types.h>

namespace tamrel {

// What a file of this mode is, in words, when it is no regular file ("a
// folder", "a FIFO (named pipe)", "a device", "a socket"); "" for a regular file.
std::string nonRegularKind(mode_t mode);

class RegularFileReader {
public:
    explicit RegularFileReader(const std::string& path);
    ~RegularFileReader();
    RegularFileReader(const RegularFileReader&) = delete;
    RegularFileReader& operator=(const RegularFileReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // When the path exists but is no regular file: what it is (see
    // nonRegularKind); "" otherwise.
    const std::string& notRegular() const { return notRegular_; }
    // When it is not open: the system's reason ("No such file or directory"),
    // or for a file that is no regular file, what it is.
    const std::string& error() const { return error_; }

    // The file's bytes from the start; valid while this reader lives.
    std::istream& stream();

private:
    class Buffer;
    int fd_ = -1;
    std::string notRegular_;
    std::string error_;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::istream> stream_;
};

} // namespace tamrel
