#include "bytesource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool ByteSource::ReadBlock(std::uint64_t offset, std::uint64_t n, std::vector<std::uint8_t> &out,
                           std::uint64_t maxBytes) const
{
    if (n > maxBytes || !Contains(offset, n))
        return false;
    out.resize(static_cast<std::size_t>(n));
    return ReadAt(offset, out);
}

bool MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (!Contains(offset, out.size()))
        return false;
    if (!out.empty())
        std::memcpy(out.data(), Bytes.data() + offset, out.size());
    return true;
}

SubSource::SubSource(const ByteSource &parent, std::uint64_t base, std::uint64_t length)
    : Parent(parent)
{
    // Clamp the window to what the parent really has.
    const std::uint64_t size = parent.Size();
    Base = base <= size ? base : size;
    Length = length <= size - Base ? length : size - Base;
}

bool SubSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (!Contains(offset, out.size()))
        return false;
    return Parent.ReadAt(Base + offset, out);
}

FileSource::~FileSource()
{
    if (Fd >= 0)
        ::close(Fd);
}

bool FileSource::Open(const std::string &path)
{
    if (Fd >= 0) {
        ::close(Fd);
        Fd = -1;
        FileSize = 0;
    }
    // O_NONBLOCK keeps a FIFO from stalling the open; it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return false;
    }
    Fd = fd;
    FileSize = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool FileSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (Fd < 0 || !Contains(offset, out.size()))
        return false;
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got =
            ::pread(Fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) // error, or the file shrank under us
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace platform
