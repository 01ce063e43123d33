#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// Little-endian fields of a block that has already been read. Every getter
// checks its range and yields 0 outside the block, so a short block can
// never be read past its end; callers check Has() where 0 would mislead.
class LeView
{
public:
    LeView() = default;
    explicit LeView(std::span<const std::uint8_t> bytes) : Bytes(bytes) {}

    std::size_t Size() const { return Bytes.size(); }
    bool Has(std::size_t offset, std::size_t n) const
    {
        return n <= Bytes.size() && offset <= Bytes.size() - n;
    }
    std::uint8_t U8(std::size_t offset) const { return Has(offset, 1) ? Bytes[offset] : 0; }
    std::uint16_t U16(std::size_t offset) const
    {
        if (!Has(offset, 2))
            return 0;
        return static_cast<std::uint16_t>(Bytes[offset] | (Bytes[offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const
    {
        if (!Has(offset, 4))
            return 0;
        return static_cast<std::uint32_t>(Bytes[offset]) |
               (static_cast<std::uint32_t>(Bytes[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(Bytes[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(Bytes[offset + 3]) << 24);
    }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    std::span<const std::uint8_t> Sub(std::size_t offset, std::size_t n) const
    {
        return Has(offset, n) ? Bytes.subspan(offset, n) : std::span<const std::uint8_t>{};
    }
    std::span<const std::uint8_t> From(std::size_t offset) const
    {
        return offset <= Bytes.size() ? Bytes.subspan(offset) : std::span<const std::uint8_t>{};
    }

private:
    std::span<const std::uint8_t> Bytes;
};

// Limits that keep a damaged file from costing more than a small constant.
namespace limits {
// Largest icon image we decode (PNG icons are 256 px; leave room).
inline constexpr int kMaxIconSide = 1024;
// Largest image block read out of a file.
inline constexpr std::uint64_t kMaxImageBytes = 16u << 20;
// Largest bitmap file side; such pictures are sampled, not read whole.
inline constexpr int kMaxBitmapSide = 1 << 16;
} // namespace limits

} // namespace platform
