#include "controls/fillextent.h"

namespace controls {

namespace {

__extension__ typedef unsigned __int128 Wide; // a GCC and Clang extension

// Value = Mantissa x 2^Exponent, Mantissa at most 64 bits wide.
struct Extended
{
    std::uint64_t Mantissa;
    int Exponent;
};

int BitWidth(Wide v)
{
    int n = 0;
    for (; v != 0; v >>= 1)
        ++n;
    return n;
}

// Rounds V x 2^Exponent to a 64-bit mantissa: to nearest, ties to even.
Extended RoundToExtended(Wide v, int exponent)
{
    const int width = BitWidth(v);
    if (width <= 64)
        return {static_cast<std::uint64_t>(v), exponent};
    const int shift = width - 64;
    Wide kept = v >> shift;
    const Wide rest = v - (kept << shift);
    const Wide half = Wide{1} << (shift - 1);
    if (rest > half || (rest == half && (kept & 1) != 0))
        ++kept;
    exponent += shift;
    if ((kept >> 64) != 0) { // rounded up to 2^64, which is exact after one shift
        kept >>= 1;
        ++exponent;
    }
    return {static_cast<std::uint64_t>(kept), exponent};
}

// 0.01 lies in [2^-7, 2^-6), so its 64-bit mantissa is 2^70 / 100 rounded.
Extended OneHundredth()
{
    const Wide scaled = Wide{1} << 70;
    Wide q = scaled / 100;
    const Wide r = scaled % 100;
    if (2 * r > 100 || (2 * r == 100 && (q & 1) != 0))
        ++q;
    return {static_cast<std::uint64_t>(q), -70};
}

std::uint64_t Magnitude(int v)
{
    return v < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

} // namespace

std::int64_t FillExtent(int Extent, int Percentage)
{
    static const Extended hundredth = OneHundredth();
    const bool negative = (Extent < 0) != (Percentage < 0);

    // Both factors are below 2^32 and the mantissas below 2^64, so every
    // product is exact in 128 bits before it is rounded.
    const Extended fraction =
        RoundToExtended(Wide{Magnitude(Percentage)} * hundredth.Mantissa, hundredth.Exponent);
    const Extended product =
        RoundToExtended(Wide{Magnitude(Extent)} * fraction.Mantissa, fraction.Exponent);

    std::uint64_t whole = 0;
    if (product.Exponent >= 0)
        whole = product.Mantissa << product.Exponent; // |result| < 2^62, cannot overflow
    else if (product.Exponent > -64)
        whole = product.Mantissa >> -product.Exponent;
    const auto result = static_cast<std::int64_t>(whole);
    return negative ? -result : result;
}

} // namespace controls
