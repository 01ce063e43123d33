// Feeds arbitrary bytes to the icon reader: counting and extracting must
// never crash, hang or read out of bounds, and whatever comes back must be a
// well-formed 32 x 32 icon or nothing.

#include "platform/bytesource.h"
#include "platform/extracticon.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void CheckIcon(const platform::Icon &icon)
{
    if (icon.IsNull())
        return;
    if (icon.Width() != platform::kIconSize || icon.Height() != platform::kIconSize ||
        icon.Pixels().size() !=
            static_cast<std::size_t>(platform::kIconSize * platform::kIconSize) ||
        icon.MaskRows().size() != static_cast<std::size_t>(icon.MaskStride() * platform::kIconSize))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const platform::MemorySource source(std::span<const std::uint8_t>(data, size));
    const int count = platform::CountIcons(source);
    if (count < 0)
        std::abort();
    // Every index the program would ask for, a few past the end, and ids.
    const int last = count < 8 ? count : 8;
    for (int i = 0; i <= last; ++i)
        CheckIcon(platform::ExtractIcon(source, i));
    for (int id = 1; id <= 3; ++id)
        CheckIcon(platform::ExtractIcon(source, -id));
    if (!platform::ExtractIcon(source, -1).IsNull())
        std::abort(); // index -1 asks for a count, never an icon
    return 0;
}
