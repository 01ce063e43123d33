#pragma once

#include <cstdint>
#include <initializer_list>

namespace filefind {

// The attribute kinds a finder entry can carry, with the attribute bits of
// the original platform (ffaAnyFile stands for all six).
enum TFileAttrKind : std::uint8_t
{
    ffaReadOnly,
    ffaHidden,
    ffaSysFile,
    ffaVolumeID,
    ffaDirectory,
    ffaArchive,
    ffaAnyFile,
};

// Attribute bits of an entry; the finder's enumeration compares these.
inline constexpr unsigned faReadOnly = 0x01;
inline constexpr unsigned faHidden = 0x02;
inline constexpr unsigned faSysFile = 0x04;
inline constexpr unsigned faVolumeID = 0x08;
inline constexpr unsigned faDirectory = 0x10;
inline constexpr unsigned faArchive = 0x20;
inline constexpr unsigned faAnyFile = 0x3F;

// A set of attribute kinds: one byte, bit n for the kind of ordinal n.
class TFileAttr
{
public:
    constexpr TFileAttr() = default;
    constexpr TFileAttr(std::initializer_list<TFileAttrKind> Kinds)
    {
        for (TFileAttrKind kind : Kinds)
            FBits = std::uint8_t(FBits | (1u << kind));
    }
    static constexpr TFileAttr FromBits(std::uint8_t Bits)
    {
        TFileAttr set;
        set.FBits = std::uint8_t(Bits & 0x7F);
        return set;
    }

    constexpr std::uint8_t Bits() const { return FBits; }
    constexpr bool Contains(TFileAttrKind Kind) const { return (FBits >> Kind) & 1u; }
    constexpr bool IsEmpty() const { return FBits == 0; }

    // The union of the attribute bits of the kinds in the set.
    constexpr unsigned AttributeMask() const
    {
        unsigned mask = FBits & faAnyFile;
        if (Contains(ffaAnyFile))
            mask |= faAnyFile;
        return mask;
    }

    friend constexpr bool operator==(TFileAttr, TFileAttr) = default;

private:
    std::uint8_t FBits = 0;
};

} // namespace filefind
