#include "extracticon.h"

#include "bytesource.h"
#include "iconcontainers.h"
#include "neresources.h"
#include "peresources.h"

#include <array>
#include <exception>

namespace platform {

namespace {

enum class Kind
{
    None,
    Executable,
    IconFile,
    Ani,
    Bitmap
};

Kind Sniff(const ByteSource &source)
{
    std::array<std::uint8_t, 2> magic{};
    if (!source.ReadAt(0, magic))
        return Kind::None;
    if (magic[0] == 'M' && magic[1] == 'Z')
        return Kind::Executable; // PE, NE, or neither: the readers decide
    if (IsAniFile(source))
        return Kind::Ani;
    if (magic[0] == 'B' && magic[1] == 'M')
        return IsBitmapFile(source) ? Kind::Bitmap : Kind::None;
    if (IsIconFile(source))
        return Kind::IconFile;
    return Kind::None;
}

int CountUnguarded(const ByteSource &source)
{
    switch (Sniff(source)) {
    case Kind::Executable: {
        if (PeResources pe(source); pe.Open())
            return pe.CountGroups();
        if (NeResources ne(source); ne.Open())
            return ne.CountGroups();
        return 0;
    }
    case Kind::IconFile:
    case Kind::Ani:
    case Kind::Bitmap:
        return 1;
    case Kind::None:
        break;
    }
    return 0;
}

Icon ExtractUnguarded(const ByteSource &source, int index)
{
    if (index == -1)
        return {};
    switch (Sniff(source)) {
    case Kind::Executable: {
        if (PeResources pe(source); pe.Open())
            return pe.ExtractGroup(index);
        if (NeResources ne(source); ne.Open())
            return ne.ExtractGroup(index);
        return {};
    }
    case Kind::IconFile:
        return index == 0 ? ExtractIconFile(source) : Icon{};
    case Kind::Ani:
        return index == 0 ? ExtractAniFile(source) : Icon{};
    case Kind::Bitmap:
        return index == 0 ? ExtractBitmapFile(source) : Icon{};
    case Kind::None:
        break;
    }
    return {};
}

} // namespace

// The readers report damage by return values; the only exception left is
// running out of memory, which must not escape to the window either.
int CountIcons(const ByteSource &source)
{
    try {
        return CountUnguarded(source);
    } catch (const std::exception &) {
        return 0;
    }
}

Icon ExtractIcon(const ByteSource &source, int index)
{
    try {
        return ExtractUnguarded(source, index);
    } catch (const std::exception &) {
        return {};
    }
}

int CountIcons(const std::string &path)
{
    FileSource file;
    if (!file.Open(path))
        return 0;
    return CountIcons(file);
}

Icon ExtractIcon(const std::string &path, int index)
{
    FileSource file;
    if (!file.Open(path))
        return {};
    return ExtractIcon(file, index);
}

} // namespace platform
