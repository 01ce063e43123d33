#include "filewrite.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// All blocks in as few system calls as the kernel allows.
bool WriteAll(int fd, std::span<const std::span<const std::uint8_t>> blocks)
{
    std::vector<iovec> pending;
    for (const auto block : blocks)
        if (!block.empty())
            pending.push_back({const_cast<std::uint8_t *>(block.data()), block.size()});
    std::size_t first = 0;
    while (first < pending.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(pending.size() - first, IOV_MAX));
        const ssize_t n = ::writev(fd, pending.data() + first, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        // Drop what was written; a short write leaves part of a block.
        auto left = static_cast<std::size_t>(n);
        while (first < pending.size() && left >= pending[first].iov_len)
            left -= pending[first++].iov_len;
        if (left > 0) {
            pending[first].iov_base = static_cast<std::uint8_t *>(pending[first].iov_base) + left;
            pending[first].iov_len -= left;
        }
    }
    return true;
}

WriteResult WriteInPlace(const std::string &path,
                         std::span<const std::span<const std::uint8_t>> blocks)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return WriteResult::CreateFailed;
    const bool written = WriteAll(fd, blocks);
    const bool closed = ::close(fd) == 0;
    return written && closed ? WriteResult::Ok : WriteResult::WriteFailed;
}

} // namespace

WriteResult WriteWholeFile(const std::string &path,
                           std::span<const std::span<const std::uint8_t>> blocks)
{
    if (path.empty())
        return WriteResult::CreateFailed;
    struct stat existing
    {
    };
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return WriteResult::CreateFailed;
    if (exists && !S_ISREG(existing.st_mode))
        return WriteInPlace(path, blocks);

    static std::atomic<unsigned> serial{0};
    static const std::string pid = std::to_string(::getpid());
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".part-" + pid + "-" + std::to_string(serial++);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return WriteResult::CreateFailed;
    if (exists)
        (void)::fchmod(fd, existing.st_mode & 07777); // keep the replaced file's mode

    const bool written = WriteAll(fd, blocks);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return WriteResult::WriteFailed;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return WriteResult::CreateFailed;
    }
    return WriteResult::Ok;
}

} // namespace platform
