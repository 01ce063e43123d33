#pragma once

#include "fixtures.h"
#include "platform/bytesource.h"
#include "platform/icon.h"

#include <cstdint>
#include <span>

namespace testsupport {

// A source that counts what readers take from it.
class CountingSource final : public platform::ByteSource
{
public:
    explicit CountingSource(const platform::ByteSource &inner) : Inner(inner) {}
    std::uint64_t Size() const override { return Inner.Size(); }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        BytesRead += out.size();
        ++Reads;
        return Inner.ReadAt(offset, out);
    }
    mutable std::uint64_t BytesRead = 0;
    mutable std::uint64_t Reads = 0;

private:
    const platform::ByteSource &Inner;
};

inline platform::MemorySource Source(const fixtures::Bytes &bytes)
{
    return platform::MemorySource(std::span<const std::uint8_t>(bytes));
}

// Largest difference of any channel (alpha included) between the icon and
// the picture it was made from, both the same size; mask differences count
// separately.
struct Difference
{
    int channel = 0;
    int maskBits = 0;
};
Difference Compare(const platform::Icon &icon, const fixtures::Picture &picture);

// Mean of a channel (shift 16 red, 8 green, 0 blue, 24 alpha) over the
// opaque pixels of an icon.
double MeanChannel(const platform::Icon &icon, int shift);

} // namespace testsupport
