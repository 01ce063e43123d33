#pragma once

#include <cstdint>

namespace controls {

// A mouse message as the image button's events hand it on. The message ids
// and flags keep the platform's values; the position is in the control's
// coordinates, each cut to a signed 16-bit value as the platform packs it.
// Enter and leave carry no flags and position 0, 0.
struct TWMMouse
{
    enum TMsg : std::uint32_t
    {
        mmLButtonDown = 0x0201,
        mmLButtonUp = 0x0202,
        mmMouseEnter = 0xB013,
        mmMouseLeave = 0xB014,
    };
    enum TKeys : std::uint32_t
    {
        mkLButton = 0x0001,
        mkRButton = 0x0002,
        mkShift = 0x0004,
        mkControl = 0x0008,
        mkMButton = 0x0010,
    };

    std::uint32_t Msg = 0;
    std::uint32_t Keys = 0;
    std::int16_t XPos = 0;
    std::int16_t YPos = 0;
};

} // namespace controls
