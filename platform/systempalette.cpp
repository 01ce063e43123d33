#include "systempalette.h"

namespace platform {

namespace {

// The default logical palette: ten colours at each end of the table.
constexpr std::array<std::uint32_t, 20> kStatic = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
    0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000,
    0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr std::array<std::uint32_t, 256> MakeTable256()
{
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint32_t r = (i & 0x07u) << 5;
        const std::uint32_t g = (i & 0x38u) << 2;
        const std::uint32_t b = i & 0xC0u;
        t[i] = (r << 16) | (g << 8) | b;
    }
    for (std::size_t i = 0; i < 10; ++i) {
        t[i] = kStatic[i];
        t[246 + i] = kStatic[10 + i];
    }
    return t;
}

constexpr std::array<std::uint32_t, 256> kTable256 = MakeTable256();
constexpr std::array<std::uint32_t, 16> kTable16 = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::array<std::uint32_t, 2> kTable2 = {0x000000, 0xFFFFFF};

} // namespace

std::span<const std::uint32_t> SystemPalette(unsigned entries)
{
    switch (entries) {
    case 256:
        return kTable256;
    case 16:
        return kTable16;
    case 2:
        return kTable2;
    default:
        return {};
    }
}

} // namespace platform
