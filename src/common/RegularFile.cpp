// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/RegularFile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

namespace tamrel {

std::string nonRegularKind(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO (named pipe)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no regular file";
}

// An input buffer straight on the file descriptor.
class RegularFileReader::Buffer : public std::streambuf {
public:
    explicit Buffer(int fd)
        : fd_(fd)
    {
    }

protected:
    int_type underflow() override
    {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        ssize_t n;
        do
            n = ::read(fd_, bytes_.data(), bytes_.size());
        while (n < 0 && errno == EINTR);
        if (n <= 0)
            return traits_type::eof(); // a read error ends the file like its end
        setg(bytes_.data(), bytes_.data(), bytes_.data() + n);
        return traits_type::to_int_type(*gptr());
    }

private:
    int fd_;
    std::array<char, 1 << 16> bytes_ {};
};

RegularFileReader::RegularFileReader(const std::string& path)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer. The check is on the descriptor itself, so nothing can swap
    // the file between the check and the reads.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        error_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    notRegular_ = nonRegularKind(st.st_mode);
    if (!notRegular_.empty()) {
        error_ = notRegular_;
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
}

RegularFileReader::~RegularFileReader()
{
    stream_.reset();
    buffer_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

std::istream& RegularFileReader::stream()
{
    if (!stream_) {
        buffer_ = std::make_unique<Buffer>(fd_);
        stream_ = std::make_unique<std::istream>(buffer_.get());
        if (fd_ < 0)
            stream_->setstate(std::ios::failbit);
    }
    return *stream_;
}

} // namespace tamrel
