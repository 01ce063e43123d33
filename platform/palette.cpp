#include "palette.h"

#include "systempalette.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace platform {

namespace {

constexpr int kKMeansPasses = 4;

int Channel(std::uint32_t c, int i)
{
    return static_cast<int>((c >> (16 - 8 * i)) & 0xFFu);
}

int Distance(std::uint32_t a, std::uint32_t b)
{
    const int dr = Channel(a, 0) - Channel(b, 0);
    const int dg = Channel(a, 1) - Channel(b, 1);
    const int db = Channel(a, 2) - Channel(b, 2);
    return dr * dr + dg * dg + db * db;
}

struct Weighted
{
    std::uint32_t rgb = 0;
    std::uint32_t count = 0;
};

// Nearest table entry by squared distance. Entries are kept sorted by green
// so that the search can stop once green alone is farther than the best.
class NearestFinder
{
public:
    explicit NearestFinder(std::span<const std::uint32_t> table)
    {
        Sorted.reserve(table.size());
        for (std::size_t i = 0; i < table.size(); ++i)
            Sorted.push_back({Channel(table[i], 1), static_cast<int>(i), table[i]});
        std::sort(Sorted.begin(), Sorted.end(), [](const Entry &a, const Entry &b) {
            return a.green != b.green ? a.green < b.green : a.index < b.index;
        });
    }

    int Find(std::uint32_t colour) const
    {
        const int g = Channel(colour, 1);
        const auto start =
            std::lower_bound(Sorted.begin(), Sorted.end(), g,
                             [](const Entry &e, int value) { return e.green < value; });
        int best = -1;
        int bestDistance = 1 << 30;
        const auto consider = [&](const Entry &e) {
            const int d = Distance(colour, e.rgb);
            if (d < bestDistance || (d == bestDistance && e.index < best)) {
                bestDistance = d;
                best = e.index;
            }
        };
        for (auto it = start; it != Sorted.end(); ++it) {
            const int dg = it->green - g;
            if (dg * dg > bestDistance)
                break;
            consider(*it);
        }
        for (auto it = start; it != Sorted.begin();) {
            --it;
            const int dg = g - it->green;
            if (dg * dg > bestDistance)
                break;
            consider(*it);
        }
        return best;
    }

private:
    struct Entry
    {
        int green;
        int index;
        std::uint32_t rgb;
    };
    std::vector<Entry> Sorted;
};

struct Box
{
    std::size_t begin = 0;
    std::size_t end = 0;
    double error = 0; // weighted squared distance from the box's mean
    int axis = 0;     // channel of the widest spread
    std::uint32_t mean = 0;
};

void Measure(const std::vector<Weighted> &colours, Box &box)
{
    double n = 0;
    std::array<double, 3> sum{}, squares{};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        const double w = colours[i].count;
        n += w;
        for (int c = 0; c < 3; ++c) {
            const double v = Channel(colours[i].rgb, c);
            sum[static_cast<std::size_t>(c)] += w * v;
            squares[static_cast<std::size_t>(c)] += w * v * v;
        }
    }
    box.error = 0;
    double widest = -1;
    std::uint32_t mean = 0;
    for (int c = 0; c < 3; ++c) {
        const auto k = static_cast<std::size_t>(c);
        const double m = sum[k] / n;
        const double spread = squares[k] - sum[k] * m;
        box.error += spread;
        if (spread > widest) {
            widest = spread;
            box.axis = c;
        }
        mean |= static_cast<std::uint32_t>(std::clamp(m + 0.5, 0.0, 255.0)) << (16 - 8 * c);
    }
    box.mean = mean;
}

// Splits the colour space into at most k boxes, always cutting the box with
// the largest error along its widest channel, where the cut leaves least error.
std::vector<std::uint32_t> MedianCut(std::vector<Weighted> &colours, std::size_t k)
{
    std::vector<Box> boxes(1);
    boxes[0].end = colours.size();
    Measure(colours, boxes[0]);
    while (boxes.size() < k) {
        std::size_t pick = boxes.size();
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i].end - boxes[i].begin > 1 && boxes[i].error > 0 &&
                (pick == boxes.size() || boxes[i].error > boxes[pick].error))
                pick = i;
        if (pick == boxes.size())
            break;
        Box &box = boxes[pick];
        const int axis = box.axis;
        std::sort(colours.begin() + static_cast<long>(box.begin),
                  colours.begin() + static_cast<long>(box.end),
                  [axis](const Weighted &a, const Weighted &b) {
                      return Channel(a.rgb, axis) != Channel(b.rgb, axis)
                                 ? Channel(a.rgb, axis) < Channel(b.rgb, axis)
                                 : a.rgb < b.rgb;
                  });
        // Cut where the two halves' summed squared error is least.
        std::array<double, 7> all{};
        const auto add = [&](std::array<double, 7> &acc, const Weighted &w) {
            const double n = w.count;
            acc[0] += n;
            for (int c = 0; c < 3; ++c) {
                const double v = Channel(w.rgb, c);
                acc[static_cast<std::size_t>(1 + c)] += n * v;
                acc[static_cast<std::size_t>(4 + c)] += n * v * v;
            }
        };
        const auto error = [](const std::array<double, 7> &acc) {
            double e = 0;
            for (std::size_t c = 0; c < 3; ++c)
                e += acc[4 + c] - acc[1 + c] * acc[1 + c] / acc[0];
            return e;
        };
        for (std::size_t i = box.begin; i < box.end; ++i)
            add(all, colours[i]);
        std::array<double, 7> left{};
        std::size_t split = box.begin + 1;
        double best = -1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            add(left, colours[i]);
            std::array<double, 7> right{};
            for (std::size_t k = 0; k < right.size(); ++k)
                right[k] = all[k] - left[k];
            const double e = error(left) + error(right);
            if (best < 0 || e < best) {
                best = e;
                split = i + 1;
            }
        }
        Box upper;
        upper.begin = split;
        upper.end = box.end;
        box.end = split;
        Measure(colours, box);
        Measure(colours, upper);
        boxes.push_back(upper);
    }
    std::vector<std::uint32_t> means;
    means.reserve(boxes.size());
    for (const Box &b : boxes)
        means.push_back(b.mean);
    return means;
}

// Lloyd passes over the distinct colours; the first `fixed` entries stay.
void Refine(const std::vector<Weighted> &colours, std::vector<std::uint32_t> &table,
            std::size_t fixed)
{
    std::vector<std::array<double, 4>> sums(table.size());
    for (int pass = 0; pass < kKMeansPasses; ++pass) {
        const NearestFinder finder(table);
        std::fill(sums.begin(), sums.end(), std::array<double, 4>{});
        for (const Weighted &w : colours) {
            auto &s = sums[static_cast<std::size_t>(finder.Find(w.rgb))];
            for (int c = 0; c < 3; ++c)
                s[static_cast<std::size_t>(c)] += static_cast<double>(w.count) * Channel(w.rgb, c);
            s[3] += w.count;
        }
        bool moved = false;
        for (std::size_t i = fixed; i < table.size(); ++i) {
            if (sums[i][3] == 0)
                continue;
            std::uint32_t mean = 0;
            for (int c = 0; c < 3; ++c)
                mean |= static_cast<std::uint32_t>(
                            sums[i][static_cast<std::size_t>(c)] / sums[i][3] + 0.5)
                        << (16 - 8 * c);
            moved |= mean != table[i];
            table[i] = mean;
        }
        if (!moved)
            break;
    }
}

bool IsHidden(std::span<const std::uint8_t> hidden, std::size_t i)
{
    return i < hidden.size() && hidden[i] != 0;
}

// Maps every pixel through the table; hidden pixels take index 0 when it is
// black, otherwise the entry nearest black.
IndexedPicture MapPixels(std::span<const std::uint32_t> pixels,
                         std::span<const std::uint8_t> hidden, std::vector<std::uint32_t> table,
                         unsigned entries)
{
    table.resize(entries, 0u);
    const NearestFinder finder(table);
    IndexedPicture out;
    out.indices.resize(pixels.size());
    std::unordered_map<std::uint32_t, std::uint8_t> known;
    const auto hiddenIndex = static_cast<std::uint8_t>(table[0] == 0 ? 0 : finder.Find(0));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (IsHidden(hidden, i)) {
            out.indices[i] = hiddenIndex;
            continue;
        }
        const std::uint32_t rgb = pixels[i] & 0xFFFFFFu;
        auto [it, inserted] = known.try_emplace(rgb, std::uint8_t{0});
        if (inserted)
            it->second = static_cast<std::uint8_t>(finder.Find(rgb));
        out.indices[i] = it->second;
    }
    out.table = std::move(table);
    return out;
}

} // namespace

std::uint64_t SquaredError(std::span<const std::uint32_t> pixels,
                           std::span<const std::uint8_t> hidden, const IndexedPicture &picture)
{
    std::uint64_t error = 0;
    for (std::size_t i = 0; i < pixels.size() && i < picture.indices.size(); ++i)
        if (!IsHidden(hidden, i))
            error +=
                static_cast<std::uint64_t>(Distance(pixels[i], picture.table[picture.indices[i]]));
    return error;
}

IndexedPicture ReduceColours(std::span<const std::uint32_t> pixels,
                             std::span<const std::uint8_t> hidden, unsigned entries)
{
    entries = std::clamp(entries, 2u, 256u);
    std::unordered_map<std::uint32_t, std::uint32_t> histogram;
    bool anyHidden = false;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (IsHidden(hidden, i))
            anyHidden = true;
        else
            ++histogram[pixels[i] & 0xFFFFFFu];
    }
    std::vector<Weighted> colours;
    colours.reserve(histogram.size());
    for (const auto &[rgb, count] : histogram)
        colours.push_back({rgb, count});
    std::sort(colours.begin(), colours.end(),
              [](const Weighted &a, const Weighted &b) { return a.rgb < b.rgb; });

    // Few enough colours: keep them all, black first (sorting put it there
    // if it is used), making room for black when hidden pixels need it.
    if (colours.size() <= entries) {
        std::vector<std::uint32_t> table;
        const bool hasBlack = !colours.empty() && colours.front().rgb == 0;
        if (anyHidden && !hasBlack && colours.size() < entries)
            table.push_back(0);
        for (const Weighted &w : colours)
            table.push_back(w.rgb);
        return MapPixels(pixels, hidden, std::move(table), entries);
    }

    // Too many: black is reserved for hidden pixels (and may serve dark
    // visible ones too), the rest is chosen from the visible colours.
    const std::size_t fixed = anyHidden ? 1 : 0;
    std::vector<std::uint32_t> table(fixed, 0u);
    const std::vector<std::uint32_t> cut = MedianCut(colours, entries - fixed);
    table.insert(table.end(), cut.begin(), cut.end());
    Refine(colours, table, fixed);
    IndexedPicture ours = MapPixels(pixels, hidden, std::move(table), entries);

    const auto system = SystemPalette(entries);
    if (!system.empty()) {
        IndexedPicture fallback = MapPixels(
            pixels, hidden, std::vector<std::uint32_t>(system.begin(), system.end()), entries);
        if (SquaredError(pixels, hidden, fallback) < SquaredError(pixels, hidden, ours))
            return fallback;
    }
    return ours;
}

} // namespace platform
