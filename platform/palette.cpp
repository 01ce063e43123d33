#include "palette.h"

#include "systempalette.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

constexpr int kKMeansPasses = 1;

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
    explicit NearestFinder(std::span<const std::uint32_t> table) : Table(table)
    {
        // A counting sort by green keeps equal greens in table order.
        std::array<std::uint32_t, 257> start{};
        for (const std::uint32_t c : table)
            ++start[static_cast<std::size_t>(Channel(c, 1)) + 1];
        for (std::size_t g = 1; g < start.size(); ++g)
            start[g] += start[g - 1];
        Sorted.resize(table.size());
        for (std::size_t i = 0; i < table.size(); ++i)
            Sorted[start[static_cast<std::size_t>(Channel(table[i], 1))]++] = {
                Channel(table[i], 1), static_cast<int>(i), table[i]};
    }

    // hint: an entry likely to be close (the last answer for this colour),
    // which lets the search stop early; -1 for none.
    int Find(std::uint32_t colour, int hint = -1) const
    {
        const int g = Channel(colour, 1);
        const auto start =
            std::lower_bound(Sorted.begin(), Sorted.end(), g,
                             [](const Entry &e, int value) { return e.green < value; });
        int best = -1;
        int bestDistance = 1 << 30;
        if (hint >= 0 && static_cast<std::size_t>(hint) < Table.size()) {
            best = hint;
            bestDistance = Distance(colour, Table[static_cast<std::size_t>(hint)]);
        }
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
    std::span<const std::uint32_t> Table;
    std::vector<Entry> Sorted;
};

// Distinct colours of a picture with their pixel counts, in a small open
// hash table (no allocation per colour); each slot can later carry the
// colour's table index.
class Histogram
{
public:
    // The table lives on in the thread between calls (cleared slot by
    // slot), so a small picture costs no allocation and no clearing.
    explicit Histogram(std::size_t pixels) : Slots(Storage())
    {
        std::size_t size = 64;
        while (size < 2 * pixels)
            size *= 2;
        if (Slots.size() < size)
            Slots.assign(size, Slot_{});
        Mask = size - 1;
    }
    ~Histogram()
    {
        for (const std::uint32_t i : Used)
            Slots[i] = Slot_{};
    }
    Histogram(const Histogram &) = delete;
    Histogram &operator=(const Histogram &) = delete;

    void Add(std::uint32_t rgb)
    {
        Slot_ &slot = Slots[Find(rgb)];
        if (slot.key == kEmpty) {
            slot.key = rgb;
            Used.push_back(static_cast<std::uint32_t>(&slot - Slots.data()));
        }
        ++slot.count;
    }
    std::vector<Weighted> Colours() const
    {
        std::vector<Weighted> out;
        out.reserve(Used.size());
        for (const std::uint32_t i : Used)
            out.push_back({Slots[i].key, Slots[i].count});
        return out;
    }
    void SetIndex(std::uint32_t rgb, std::uint8_t index) { Slots[Find(rgb)].index = index; }
    std::uint8_t Index(std::uint32_t rgb) const { return Slots[Find(rgb)].index; }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu; // no colour has the top byte
    struct Slot_
    {
        std::uint32_t key = kEmpty;
        std::uint32_t count = 0;
        std::uint8_t index = 0;
    };
    static std::vector<Slot_> &Storage()
    {
        thread_local std::vector<Slot_> storage;
        return storage;
    }
    std::size_t Find(std::uint32_t rgb) const
    {
        std::size_t i = (rgb * 2654435761u) & Mask;
        while (Slots[i].key != rgb && Slots[i].key != kEmpty)
            i = (i + 1) & Mask;
        return i;
    }

    std::vector<Slot_> &Slots;
    std::size_t Mask = 0;
    std::vector<std::uint32_t> Used; // occupied slots, in order of arrival
};

// Weighted sums of a set of colours: count, then per channel the sum and
// the sum of squares.
using Sums = std::array<double, 7>;

void AddTo(Sums &sums, const Weighted &w)
{
    const double n = w.count;
    sums[0] += n;
    for (int c = 0; c < 3; ++c) {
        const double v = Channel(w.rgb, c);
        sums[static_cast<std::size_t>(1 + c)] += n * v;
        sums[static_cast<std::size_t>(4 + c)] += n * v * v;
    }
}

struct Box
{
    std::size_t begin = 0;
    std::size_t end = 0;
    Sums sums{};
    double error = 0; // weighted squared distance from the box's mean
    int axis = 0;     // channel of the widest spread

    void Update()
    {
        error = 0;
        double widest = -1;
        for (int c = 0; c < 3; ++c) {
            const auto k = static_cast<std::size_t>(c);
            const double spread = sums[4 + k] - sums[1 + k] * sums[1 + k] / sums[0];
            error += spread;
            if (spread > widest) {
                widest = spread;
                axis = c;
            }
        }
    }
    std::uint32_t Mean() const
    {
        std::uint32_t mean = 0;
        for (int c = 0; c < 3; ++c)
            mean |= static_cast<std::uint32_t>(std::clamp(
                        sums[static_cast<std::size_t>(1 + c)] / sums[0] + 0.5, 0.0, 255.0))
                    << (16 - 8 * c);
        return mean;
    }
};

// Orders a box's colours by one channel: counting sort for big boxes, a
// plain sort for small ones.
void SortByChannel(std::vector<Weighted> &colours, std::size_t begin, std::size_t end, int axis,
                   std::vector<Weighted> &scratch)
{
    const auto first = colours.begin() + static_cast<long>(begin);
    const auto last = colours.begin() + static_cast<long>(end);
    if (end - begin <= 48) {
        std::sort(first, last, [axis](const Weighted &a, const Weighted &b) {
            return Channel(a.rgb, axis) < Channel(b.rgb, axis);
        });
        return;
    }
    std::array<std::size_t, 257> start{};
    for (auto it = first; it != last; ++it)
        ++start[static_cast<std::size_t>(Channel(it->rgb, axis)) + 1];
    for (std::size_t v = 1; v < start.size(); ++v)
        start[v] += start[v - 1];
    scratch.resize(end - begin);
    for (auto it = first; it != last; ++it)
        scratch[start[static_cast<std::size_t>(Channel(it->rgb, axis))]++] = *it;
    std::copy(scratch.begin(), scratch.end(), first);
}

// Splits the colour space into at most k boxes, always cutting the box with
// the largest error along its widest channel, where the cut leaves least error.
// box receives, for each colour (in the reordered vector), its box.
std::vector<std::uint32_t> MedianCut(std::vector<Weighted> &colours, std::size_t k,
                                     std::vector<int> &box)
{
    std::vector<Box> boxes(1);
    boxes[0].end = colours.size();
    for (const Weighted &w : colours)
        AddTo(boxes[0].sums, w);
    boxes[0].Update();
    std::vector<Weighted> scratch;
    // Boxes worth cutting, largest error on top.
    const auto splittable = [&](std::size_t i) {
        return boxes[i].end - boxes[i].begin > 1 && boxes[i].error > 0.5;
    };
    const auto lessError = [&](std::size_t a, std::size_t b) {
        return boxes[a].error < boxes[b].error;
    };
    std::vector<std::size_t> heap;
    if (splittable(0))
        heap.push_back(0);
    while (boxes.size() < k && !heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), lessError);
        const std::size_t pick = heap.back();
        heap.pop_back();
        Box &box = boxes[pick];
        SortByChannel(colours, box.begin, box.end, box.axis, scratch);

        // The error of a part is its sum of squares less sum^2/count per
        // channel, so the best cut has the largest sum^2/count over both.
        Sums left{};
        std::size_t split = box.begin + 1;
        double best = -1;
        Sums bestLeft{};
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            AddTo(left, colours[i]);
            const double inverseLeft = 1.0 / left[0];
            const double inverseRight = 1.0 / (box.sums[0] - left[0]);
            double scoreLeft = 0, scoreRight = 0;
            for (std::size_t c = 1; c <= 3; ++c) {
                const double r = box.sums[c] - left[c];
                scoreLeft += left[c] * left[c];
                scoreRight += r * r;
            }
            const double score = scoreLeft * inverseLeft + scoreRight * inverseRight;
            if (score > best) {
                best = score;
                split = i + 1;
                bestLeft = left;
            }
        }
        Box upper;
        upper.begin = split;
        upper.end = box.end;
        for (std::size_t c = 0; c < upper.sums.size(); ++c)
            upper.sums[c] = box.sums[c] - bestLeft[c];
        upper.Update();
        box.end = split;
        box.sums = bestLeft;
        box.Update();
        boxes.push_back(upper);
        for (const std::size_t i : {pick, boxes.size() - 1})
            if (splittable(i)) {
                heap.push_back(i);
                std::push_heap(heap.begin(), heap.end(), lessError);
            }
    }
    std::vector<std::uint32_t> means;
    means.reserve(boxes.size());
    box.assign(colours.size(), 0);
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        means.push_back(boxes[b].Mean());
        for (std::size_t i = boxes[b].begin; i < boxes[b].end; ++i)
            box[i] = static_cast<int>(b);
    }
    return means;
}

// Lloyd passes over the distinct colours; the first `fixed` entries stay.
// nearest comes in with a first guess for each colour (its box) and leaves
// with each colour's entry in the final table.
void Refine(const std::vector<Weighted> &colours, std::vector<std::uint32_t> &table,
            std::size_t fixed, std::vector<int> &nearest)
{
    std::vector<std::array<double, 4>> sums(table.size());
    for (int pass = 0; pass <= kKMeansPasses; ++pass) {
        const NearestFinder finder(table);
        for (std::size_t i = 0; i < colours.size(); ++i)
            nearest[i] = finder.Find(colours[i].rgb, nearest[i]);
        if (pass == kKMeansPasses)
            break;
        std::fill(sums.begin(), sums.end(), std::array<double, 4>{});
        for (std::size_t i = 0; i < colours.size(); ++i) {
            auto &s = sums[static_cast<std::size_t>(nearest[i])];
            const double n = colours[i].count;
            for (int c = 0; c < 3; ++c)
                s[static_cast<std::size_t>(c)] += n * Channel(colours[i].rgb, c);
            s[3] += n;
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
            pass = kKMeansPasses - 1; // settled: one last assignment
    }
}

bool IsHidden(std::span<const std::uint8_t> hidden, std::size_t i)
{
    return i < hidden.size() && hidden[i] != 0;
}

// Index of the entry hidden pixels take: 0 when it is black, otherwise the
// entry nearest black.
std::uint8_t HiddenIndex(const std::vector<std::uint32_t> &table)
{
    return static_cast<std::uint8_t>(table[0] == 0 ? 0 : NearestFinder(table).Find(0));
}

IndexedPicture MapPixels(std::span<const std::uint32_t> pixels,
                         std::span<const std::uint8_t> hidden, const Histogram &histogram,
                         std::vector<std::uint32_t> table)
{
    IndexedPicture out;
    out.indices.resize(pixels.size());
    const std::uint8_t hiddenIndex = HiddenIndex(table);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        out.indices[i] = IsHidden(hidden, i) ? hiddenIndex : histogram.Index(pixels[i] & 0xFFFFFFu);
    out.table = std::move(table);
    return out;
}

// Summed squared error of the platform's fixed table over the colours,
// giving up as soon as it passes `limit`.
std::uint64_t FixedTableError(const std::vector<Weighted> &colours,
                              std::span<const std::uint32_t> fixed, std::uint64_t limit,
                              std::vector<int> &nearest)
{
    // The fixed tables never change: sort each once.
    static const NearestFinder finder256(SystemPalette(256));
    static const NearestFinder finder16(SystemPalette(16));
    static const NearestFinder finder2(SystemPalette(2));
    const NearestFinder &finder = fixed.size() == 256  ? finder256
                                  : fixed.size() == 16 ? finder16
                                                       : finder2;
    nearest.resize(colours.size());
    std::uint64_t error = 0;
    for (std::size_t i = 0; i < colours.size() && error <= limit; ++i) {
        nearest[i] = finder.Find(colours[i].rgb);
        error += std::uint64_t{colours[i].count} *
                 static_cast<std::uint64_t>(
                     Distance(colours[i].rgb, fixed[static_cast<std::size_t>(nearest[i])]));
    }
    return error;
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
    Histogram histogram(pixels.size());
    bool anyHidden = false;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (IsHidden(hidden, i))
            anyHidden = true;
        else
            histogram.Add(pixels[i] & 0xFFFFFFu);
    }
    std::vector<Weighted> colours = histogram.Colours();

    // Few enough colours: keep them all, in ascending order so that black
    // comes first when it is used, making room for black when hidden pixels
    // need it.
    if (colours.size() <= entries) {
        std::sort(colours.begin(), colours.end(),
                  [](const Weighted &a, const Weighted &b) { return a.rgb < b.rgb; });
        std::vector<std::uint32_t> table;
        const bool hasBlack = !colours.empty() && colours.front().rgb == 0;
        if (anyHidden && !hasBlack && colours.size() < entries)
            table.push_back(0);
        for (const Weighted &w : colours) {
            histogram.SetIndex(w.rgb, static_cast<std::uint8_t>(table.size()));
            table.push_back(w.rgb);
        }
        table.resize(entries, 0u);
        return MapPixels(pixels, hidden, histogram, std::move(table));
    }

    // Too many: black is reserved for hidden pixels (and may serve dark
    // visible ones too), the rest is chosen from the visible colours.
    const std::size_t fixed = anyHidden ? 1 : 0;
    std::vector<std::uint32_t> table(fixed, 0u);
    std::vector<int> nearest;
    const std::vector<std::uint32_t> cut = MedianCut(colours, entries - fixed, nearest);
    table.insert(table.end(), cut.begin(), cut.end());
    table.resize(entries, 0u);
    for (int &n : nearest)
        n += static_cast<int>(fixed);
    Refine(colours, table, fixed, nearest);
    std::uint64_t ours = 0;
    for (std::size_t i = 0; i < colours.size(); ++i)
        ours += std::uint64_t{colours[i].count} *
                static_cast<std::uint64_t>(
                    Distance(colours[i].rgb, table[static_cast<std::size_t>(nearest[i])]));

    // Should the platform's own table come closer, it is the better choice.
    const auto system = SystemPalette(entries);
    if (!system.empty()) {
        std::vector<int> systemNearest;
        if (FixedTableError(colours, system, ours, systemNearest) < ours) {
            for (std::size_t i = 0; i < colours.size(); ++i)
                histogram.SetIndex(colours[i].rgb, static_cast<std::uint8_t>(systemNearest[i]));
            return MapPixels(pixels, hidden, histogram,
                             std::vector<std::uint32_t>(system.begin(), system.end()));
        }
    }
    for (std::size_t i = 0; i < colours.size(); ++i)
        histogram.SetIndex(colours[i].rgb, static_cast<std::uint8_t>(nearest[i]));
    return MapPixels(pixels, hidden, histogram, std::move(table));
}

} // namespace platform
