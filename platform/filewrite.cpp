#include "filewrite.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// Our own error number for a target that is not a regular file, outside
// the system's range.
constexpr int kNotRegularFile = 0x10000;

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
        if (n == 0)
            errno = EIO;
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

off_t TotalSize(std::span<const std::span<const std::uint8_t>> blocks)
{
    off_t total = 0;
    for (const auto block : blocks)
        total += static_cast<off_t>(block.size());
    return total;
}

// Records the current errno as the reason and gives result.
WriteResult Fail(WriteResult result, int *error)
{
    if (error)
        *error = errno;
    return result;
}

// Closes fd, keeping the errno of an earlier failure.
bool Close(int fd)
{
    const int before = errno;
    const bool closed = ::close(fd) == 0;
    if (closed)
        errno = before;
    return closed;
}

// A device or a pipe: written where it is. It is opened without waiting,
// so that a pipe nobody reads fails at once (ENXIO) rather than hanging,
// and then written with waiting, so that a slow reader gets every byte.
WriteResult WriteSpecial(const std::string &path,
                         std::span<const std::span<const std::uint8_t>> blocks, int *error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Fail(WriteResult::CreateFailed, error);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const WriteResult result = Fail(WriteResult::CreateFailed, error);
        ::close(fd);
        return result;
    }
    const bool written = WriteAll(fd, blocks);
    const bool closed = Close(fd);
    return written && closed ? WriteResult::Ok : Fail(WriteResult::WriteFailed, error);
}

// An existing regular file overwritten where it is, for when the folder
// will not let it be replaced. Nothing is cut before the new bytes are in,
// but a failure part way leaves a mixture: this is the shell's way, not an
// all-or-nothing save.
WriteResult OverwriteInPlace(const std::string &path,
                             std::span<const std::span<const std::uint8_t>> blocks, int *error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Fail(WriteResult::CreateFailed, error);
    const bool written =
        WriteAll(fd, blocks) && ::ftruncate(fd, TotalSize(blocks)) == 0 && ::fsync(fd) == 0;
    const bool closed = Close(fd);
    return written && closed ? WriteResult::Ok : Fail(WriteResult::WriteFailed, error);
}

// The folder part of path with its slash ("dir/" of "dir/name"), empty for
// a bare name in the current folder.
std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Flushes a folder's entries, so that a rename inside it is on the disk.
// File systems that cannot flush a folder say so with EINVAL; their rename
// is as safe as they make it.
bool FlushFolder(const std::string &folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
    return Close(fd) && flushed;
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
        if (hop == kMaxLinks) {
            errno = ELOOP;
            return false;
        }
        std::vector<char> target(PATH_MAX);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
            if (n >= 0)
                errno = ENAMETOOLONG;
            return false;
        }
        const std::string named(target.data(), static_cast<std::size_t>(n));
        path = named.front() == '/' ? named : FolderOf(path) + named;
    }
    errno = ELOOP;
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

// A new, empty file in folder under a name no other file has: created
// exclusively, so neither a file nor a link planted under that name is
// ever opened. -1 with errno when the folder refuses.
int CreateUnique(const std::string &folder, std::string &name)
{
    static std::atomic<unsigned long long> serial{0};
    static const std::string pid = Base36(static_cast<unsigned long long>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + ".rr" + pid + "-" + Base36(serial++);
        const int fd = ::open(
            name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the replaced one's owner, group and mode, as far as
// the saver may set them: root keeps a user's file the user's, a user may
// keep a group they belong to. The mode comes last, since a change of owner
// clears the set-id bits.
void TakeOver(int fd, const struct stat &old)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    (void)::fchmod(fd, old.st_mode & 07777);
}

// Whether the folder, not the file, refused: then the file may still be
// written in place.
bool FolderRefused(int error)
{
    return error == EACCES || error == EPERM;
}

} // namespace

std::string WriteErrorText(int error)
{
    if (error == ENXIO)
        return "No program reads from the pipe";
    if (error == kNotRegularFile)
        return "Not a regular file";
    return std::strerror(error);
}

WriteResult WriteIntoFile(const std::string &path,
                          std::span<const std::span<const std::uint8_t>> blocks, int *error)
{
    // Not waiting in the open keeps a pipe nobody reads from hanging us;
    // the writes below wait as usual.
    constexpr int kOpen = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    bool created = false;
    int fd = ::open(path.c_str(), kOpen);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), kOpen | O_CREAT | O_EXCL, 0666);
        created = fd >= 0;
    }
    if (fd < 0) {
        if (errno == ENXIO)
            errno = kNotRegularFile;
        return Fail(WriteResult::CreateFailed, error);
    }
    struct stat st
    {
    };
    const bool stated = ::fstat(fd, &st) == 0;
    if (!stated || !S_ISREG(st.st_mode)) {
        if (stated)
            errno = kNotRegularFile;
        const WriteResult result = Fail(WriteResult::CreateFailed, error);
        ::close(fd);
        return result;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    bool ok = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 &&
              ::ftruncate(fd, 0) == 0 && WriteAll(fd, blocks);
    int reason = ok ? 0 : errno;
    if (!ok) {
        // Half a picture is none: leave an empty file, as it was found.
        [[maybe_unused]] const int emptied = ::ftruncate(fd, 0);
    }
    if (!Close(fd) && ok) {
        reason = errno;
        ok = false;
        [[maybe_unused]] const int emptied = ::truncate(path.c_str(), 0);
    }
    if (!ok && created)
        ::unlink(path.c_str());
    if (ok)
        return WriteResult::Ok;
    errno = reason;
    return Fail(WriteResult::WriteFailed, error);
}

namespace {

// WriteWholeFile's work. With flushLater, the folder a file was renamed in
// is added there instead of being flushed, for the caller to flush once.
WriteResult WriteOne(const std::string &path, std::span<const std::span<const std::uint8_t>> blocks,
                     int *error, std::vector<std::string> *flushLater)
{
    if (path.empty()) {
        errno = ENOENT;
        return Fail(WriteResult::CreateFailed, error);
    }
    std::string target = path;
    if (!FollowLinks(target))
        return Fail(WriteResult::CreateFailed, error);
    struct stat existing
    {
    };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return Fail(WriteResult::CreateFailed, error);
    }
    if (exists && !S_ISREG(existing.st_mode))
        return WriteSpecial(target, blocks, error);
    // A file the user may not write is not replaced, though the folder
    // would allow it: creating a file over a read-only one fails.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return Fail(WriteResult::CreateFailed, error);

    // The new bytes go to a hidden file beside the target whose name is a
    // few characters whatever the target's length, so any valid name works.
    const std::string folder = FolderOf(target);
    std::string temporary;
    const int fd = CreateUnique(folder, temporary);
    if (fd < 0) {
        if (exists && FolderRefused(errno))
            return OverwriteInPlace(target, blocks, error);
        return Fail(WriteResult::CreateFailed, error);
    }
    if (exists)
        TakeOver(fd, existing);

    const bool written = WriteAll(fd, blocks) && ::fsync(fd) == 0;
    const bool closed = Close(fd);
    if (!written || !closed) {
        const WriteResult result = Fail(WriteResult::WriteFailed, error);
        ::unlink(temporary.c_str());
        return result;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int refused = errno;
        ::unlink(temporary.c_str());
        if (exists && FolderRefused(refused))
            return OverwriteInPlace(target, blocks, error);
        errno = refused;
        return Fail(WriteResult::CreateFailed, error);
    }
    if (flushLater) {
        if (std::find(flushLater->begin(), flushLater->end(), folder) == flushLater->end())
            flushLater->push_back(folder);
        return WriteResult::Ok;
    }
    if (!FlushFolder(folder))
        return Fail(WriteResult::WriteFailed, error);
    return WriteResult::Ok;
}

} // namespace

WriteResult WriteWholeFile(const std::string &path,
                           std::span<const std::span<const std::uint8_t>> blocks, int *error)
{
    return WriteOne(path, blocks, error, nullptr);
}

WriteResult WriteWholeFiles(std::span<const WholeFile> files, std::size_t *failed, int *error)
{
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::span<const std::uint8_t> blocks[] = {files[i].bytes};
        const WriteResult result = WriteOne(files[i].path, blocks, error, &folders);
        if (result != WriteResult::Ok) {
            if (failed)
                *failed = i;
            // What was renamed so far is on the disk all the same.
            for (const std::string &folder : folders)
                FlushFolder(folder);
            return result;
        }
    }
    for (const std::string &folder : folders)
        if (!FlushFolder(folder)) {
            if (failed)
                *failed = files.size();
            return Fail(WriteResult::WriteFailed, error);
        }
    return WriteResult::Ok;
}

} // namespace platform
