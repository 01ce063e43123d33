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

// The folder part of path with its slash ("dir/" of "dir/name"), empty for
// a bare name in the current folder.
std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that path names once every symbolic link on its last component
// is followed, as opening it for writing would: a link is written through,
// never replaced. A relative link is taken from its own folder. False for
// a chain longer than the system follows or a link that cannot be read.
bool FollowLinks(std::string &path)
{
    constexpr int kMaxLinks = 40; // the kernel's own limit on a chain of links
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat link
        {
        };
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return true; // not a link: missing files are created, errors show at creation
        if (hop == kMaxLinks)
            return false;
        std::vector<char> target(PATH_MAX);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return false;
        const std::string named(target.data(), static_cast<std::size_t>(n));
        path = named.front() == '/' ? named : FolderOf(path) + named;
    }
    return false;
}

// Digits of value in base 36: short, so that the temporary name stays short.
std::string Base36(unsigned long long value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36]);
        value /= 36;
    } while (value != 0);
    return digits;
}

} // namespace

WriteResult WriteWholeFile(const std::string &path,
                           std::span<const std::span<const std::uint8_t>> blocks)
{
    if (path.empty())
        return WriteResult::CreateFailed;
    std::string target = path;
    if (!FollowLinks(target))
        return WriteResult::CreateFailed;
    struct stat existing
    {
    };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return WriteResult::CreateFailed;
    if (exists && !S_ISREG(existing.st_mode))
        return WriteInPlace(target, blocks);
    // A file the user may not write is not replaced, though the folder
    // would allow it: creating a file over a read-only one fails.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return WriteResult::CreateFailed;

    // The new bytes go to a hidden file beside the target whose name is a
    // few characters whatever the target's length, so any valid name works.
    static std::atomic<unsigned long long> serial{0};
    static const std::string pid = Base36(static_cast<unsigned long long>(::getpid()));
    const std::string folder = FolderOf(target);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + ".rr" + pid + "-" + Base36(serial++);
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
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return WriteResult::CreateFailed;
    }
    return WriteResult::Ok;
}

} // namespace platform
