#pragma once

// A window's controls by name and place. Each window keeps one table of
// them: the window places its controls from it, and the artwork generator
// and the tests read the same table, so a control is moved in one place.

#include <QRect>

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skinart {

struct ControlRect
{
    const char *name;
    QRect rect; // in the parent's client pixels
};

// The place of the named control in table; throws std::invalid_argument
// for a name the table does not hold.
template <std::size_t N>
QRect PlaceIn(const std::array<ControlRect, N> &table, std::string_view name)
{
    for (const ControlRect &c : table)
        if (name == c.name)
            return c.rect;
    throw std::invalid_argument("no control " + std::string(name));
}

} // namespace skinart
