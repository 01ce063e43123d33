#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Random access to the bytes of an untrusted file. Readers never see more
// than this: every read names an offset and a length and either fills the
// whole buffer or fails, so a short file can't hand back half a structure.
class ByteSource
{
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t Size() const = 0;
    // Fills out completely from offset, or returns false.
    virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;

    // Reads n bytes at offset into a fresh buffer; false when the range is not
    // wholly inside the source or n exceeds maxBytes (no allocation then).
    bool ReadBlock(std::uint64_t offset, std::uint64_t n, std::vector<std::uint8_t> &out,
                   std::uint64_t maxBytes) const;
    bool Contains(std::uint64_t offset, std::uint64_t n) const
    {
        const std::uint64_t size = Size();
        return n <= size && offset <= size - n;
    }
};

// Bytes already in memory (fuzzing, tests, a chunk inside another file).
class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : Bytes(bytes) {}
    std::uint64_t Size() const override { return Bytes.size(); }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    std::span<const std::uint8_t> Bytes;
};

// A window [base, base + length) of another source, addressed from 0.
class SubSource final : public ByteSource
{
public:
    SubSource(const ByteSource &parent, std::uint64_t base, std::uint64_t length);
    std::uint64_t Size() const override { return Length; }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    const ByteSource &Parent;
    std::uint64_t Base = 0;
    std::uint64_t Length = 0;
};

// A regular file read with positioned reads; only what a reader asks for is
// ever read, so the size of the file does not matter.
class FileSource final : public ByteSource
{
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource &) = delete;
    FileSource &operator=(const FileSource &) = delete;

    // False for a missing or unreadable path and for anything that is not a
    // regular file (folders, devices, pipes); opening never blocks.
    bool Open(const std::string &path);
    bool IsOpen() const { return Fd >= 0; }
    std::uint64_t Size() const override { return FileSize; }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    // Headers and directories are many small reads close together: each
    // small read brings in the page around it, and the next small read that
    // falls inside that page costs no system call.
    static constexpr std::size_t kPage = 4096;
    bool ReadThrough(std::uint64_t offset, std::span<std::uint8_t> out) const;

    int Fd = -1;
    std::uint64_t FileSize = 0;
    mutable std::vector<std::uint8_t> Page;
    mutable std::uint64_t PageOffset = 0;
};

} // namespace platform
