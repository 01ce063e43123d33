#include "bytesource.h"

#include <algorithm>
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
    Page.clear();
    PageOffset = 0;
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
    if (out.empty())
        return true;
    if (out.size() > kPage / 2)
        return ReadThrough(offset, out);
    const auto inPage = [&] {
        return offset >= PageOffset && offset - PageOffset <= Page.size() &&
               out.size() <= Page.size() - (offset - PageOffset);
    };
    if (!inPage()) {
        PageOffset = offset & ~std::uint64_t{kPage - 1};
        const std::uint64_t n = std::min<std::uint64_t>(2 * kPage, FileSize - PageOffset);
        Page.resize(static_cast<std::size_t>(n));
        if (!ReadThrough(PageOffset, Page)) {
            Page.clear();
            return false;
        }
        if (!inPage())
            return ReadThrough(offset, out);
    }
    std::memcpy(out.data(), Page.data() + (offset - PageOffset), out.size());
    return true;
}

bool FileSource::ReadThrough(std::uint64_t offset, std::span<std::uint8_t> out) const
{
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
