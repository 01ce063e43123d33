// How close our 256-colour tables come to the icons' own colours, measured on
// the icons of a folder of real program files against the platform's fixed
// table and ImageMagick's quantizer, and how fast icons are written at that
// depth.
//
//   bench_palette [benchmark flags] [folder]
//
// The folder is the argument, else $RURORODODE_BENCH_DIR, else Wine's 64-bit
// DLL folder. Quality is PSNR against the 24-bit colour over the pixels the
// mask shows. The summary is printed after the benchmark table; it reports
// the goals but never fails on a missed one.

#include "benchsupport.h"
#include "iconwriter/icontofile.h"
#include "platform/bitmap.h"
#include "platform/extracticon.h"
#include "platform/icon.h"
#include "platform/iconinfo.h"
#include "platform/palette.h"
#include "platform/systempalette.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <system_error>
#include <unordered_set>
#include <vector>

namespace {

constexpr std::uint8_t kDepth = iconwriter::cdColours256;
constexpr unsigned kEntries = 256;
constexpr double kPsnrCap = 60.0;      // dB; an exact copy counts this much
constexpr double kMarginGoalDb = 20.0; // ours' mean over the fixed table's, at least
constexpr double kWriteGoalMs = 50.0;  // for kWrites icon files, under
constexpr int kWrites = 1000;          // icon files per timed iteration
constexpr std::size_t kMaxListed = 8;  // icons shown per list in the summary

struct Quality
{
    std::uint64_t Error = 0; // squared error summed over R, G, B of shown pixels
    double Psnr = 0;
};

struct IconSample
{
    std::string File;
    int Index = 0;
    platform::Icon Icon;
    std::vector<std::uint32_t> Rgb;   // 0x00RRGGBB, top row first
    std::vector<std::uint8_t> Opaque; // 1 where the mask shows the pixel
    std::size_t OpaquePixels = 0;
    std::size_t OpaqueColours = 0;
    // What the capture hands ReduceColours, kept for timing it alone.
    std::vector<std::uint32_t> CapturePixels;
    std::vector<std::uint8_t> Hidden;
    Quality Ours, Fixed, Magick;
    bool Measured = false; // all three, over at least one shown pixel
};

struct Corpus
{
    std::string Dir;
    std::size_t Files = 0;
    long long Counted = 0;   // sum of CountIcons
    long long NullIcons = 0; // indices below the count that gave none
    long long WrongSize = 0; // icons not kIconSize square, left out
    std::vector<IconSample> Samples;
    std::size_t NoOpaque = 0;        // samples without a shown pixel, not measured
    std::size_t FileMismatches = 0;  // written files whose image differs from the capture
    std::vector<std::string> Errors; // capture or decoding failures
    std::string WorkDir;             // where ImageMagick's files went
};

std::string Name(const IconSample &s)
{
    return std::filesystem::path(s.File).filename().string() + "#" + std::to_string(s.Index);
}

// A folder under base (/tmp unless given) that goes away with the object.
class TempDir
{
public:
    explicit TempDir(const char *prefix, const std::string &base = "/tmp")
    {
        std::string pattern = base + "/" + prefix + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            Path = pattern;
        else
            Error = "cannot make a folder under " + base + ": " + bench::ErrnoText(errno);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    ~TempDir()
    {
        if (!Path.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(Path, ec);
        }
    }

    std::string Path;
    std::string Error;
};

bool ReadWholeFile(const std::string &path, std::vector<std::uint8_t> &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::uint32_t Get(std::span<const std::uint8_t> b, std::size_t at, std::size_t n)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

bool Has(std::span<const std::uint8_t> b, std::size_t at, std::size_t n)
{
    return n <= b.size() && at <= b.size() - n;
}

int Channel(std::uint32_t c, int i)
{
    return static_cast<int>((c >> (16 - 8 * i)) & 0xFFu);
}

int Distance(std::uint32_t a, std::uint32_t b)
{
    int sum = 0;
    for (int i = 0; i < 3; ++i) {
        const int d = Channel(a, i) - Channel(b, i);
        sum += d * d;
    }
    return sum;
}

Quality Measure(const IconSample &s, std::span<const std::uint32_t> rgb)
{
    Quality q;
    for (std::size_t i = 0; i < s.Rgb.size(); ++i)
        if (s.Opaque[i])
            q.Error += static_cast<std::uint64_t>(Distance(s.Rgb[i], rgb[i]));
    const double mse = static_cast<double>(q.Error) / (3.0 * static_cast<double>(s.OpaquePixels));
    q.Psnr = q.Error == 0 ? kPsnrCap : std::min(kPsnrCap, 10.0 * std::log10(255.0 * 255.0 / mse));
    return q;
}

// The 8-bit rows of a capture back to colours: 40-byte header, 256 entries
// of blue, green, red, 0, then rows bottom first, each padded to 32 bits.
bool DecodeCapture(std::span<const std::uint8_t> header, std::span<const std::uint8_t> bits,
                   int width, int height, std::vector<std::uint32_t> &rgb, std::string &error)
{
    if (!Has(header, 0, 40 + 4 * kEntries) || Get(header, 0, 4) != 40 ||
        Get(header, 4, 4) != static_cast<std::uint32_t>(width) ||
        Get(header, 8, 4) != static_cast<std::uint32_t>(height) || Get(header, 14, 2) != 8) {
        error = "the capture's header is not 8 bits at the icon's size";
        return false;
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * 8 + 31) / 32 * 4;
    if (!Has(bits, 0, stride * static_cast<std::size_t>(height))) {
        error = "the capture's rows are short";
        return false;
    }
    rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::size_t entry = 40 + 4 * std::size_t{bits[row + static_cast<std::size_t>(x)]};
            const std::uint32_t b = header[entry], g = header[entry + 1], r = header[entry + 2];
            rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)] = (r << 16) | (g << 8) | b;
        }
    }
    return true;
}

// Whether the colour image of a one-image icon file holds exactly the
// capture's table and rows, i.e. what we measure is what the writer writes.
bool FileMatchesCapture(const std::vector<std::uint8_t> &file, std::span<const std::uint8_t> header,
                        std::span<const std::uint8_t> bits)
{
    if (!Has(file, 0, 22) || Get(file, 4, 2) != 1)
        return false;
    const std::size_t offset = Get(file, 18, 4);
    const std::size_t table = 4 * kEntries;
    if (!Has(header, 40, table) || !Has(file, offset, 40 + table + bits.size()) ||
        Get(file, offset + 14, 2) != 8)
        return false;
    const auto image = std::span<const std::uint8_t>(file).subspan(offset + 40);
    return std::equal(header.begin() + 40, header.begin() + 40 + static_cast<long>(table),
                      image.begin()) &&
           std::equal(bits.begin(), bits.end(), image.begin() + static_cast<long>(table));
}

// Nearest entry of the platform's fixed table, the first on ties, no dithering.
std::vector<std::uint32_t> MapToFixedTable(std::span<const std::uint32_t> rgb)
{
    const auto table = platform::SystemPalette(kEntries);
    std::vector<std::uint32_t> out(rgb.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        int best = 1 << 30;
        for (const std::uint32_t entry : table) {
            const int d = Distance(rgb[i], entry);
            if (d < best) {
                best = d;
                out[i] = entry;
            }
        }
    }
    return out;
}

bool WritePpm(const std::string &path, int width, int height, std::span<const std::uint32_t> rgb)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    for (const std::uint32_t c : rgb)
        for (int i = 0; i < 3; ++i)
            out.put(static_cast<char>(Channel(c, i)));
    out.close();
    return static_cast<bool>(out);
}

// A binary PPM (or PGM) as ImageMagick writes it, scaled to 8 bits a sample.
bool ReadPnm(const std::vector<std::uint8_t> &bytes, int width, int height,
             std::vector<std::uint32_t> &rgb, std::string &error)
{
    std::size_t at = 0;
    const auto skipSpace = [&] {
        while (at < bytes.size()) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n')
                    ++at;
            } else if (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' ||
                       bytes[at] == '\n') {
                ++at;
            } else {
                break;
            }
        }
    };
    const auto number = [&](long &value) {
        skipSpace();
        value = 0;
        const std::size_t start = at;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9' && at - start < 6)
            value = value * 10 + (bytes[at++] - '0');
        return at > start;
    };
    if (!Has(bytes, 0, 2) || bytes[0] != 'P' || (bytes[1] != '6' && bytes[1] != '5')) {
        error = "not a binary PPM or PGM";
        return false;
    }
    const std::size_t channels = bytes[1] == '6' ? 3 : 1;
    at = 2;
    long w = 0, h = 0, maxval = 0;
    if (!number(w) || !number(h) || !number(maxval) || w != width || h != height || maxval < 1 ||
        maxval > 65535 || at >= bytes.size()) {
        error = "unexpected PPM header";
        return false;
    }
    ++at; // the one whitespace character before the samples
    const std::size_t sampleSize = maxval > 255 ? 2 : 1;
    const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (!Has(bytes, at, pixels * channels * sampleSize)) {
        error = "the PPM is cut short";
        return false;
    }
    rgb.assign(pixels, 0);
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint32_t c = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::size_t s = at + (i * channels + (channels == 3 ? k : 0)) * sampleSize;
            const long raw = sampleSize == 2 ? (bytes[s] << 8) | bytes[s + 1] : bytes[s];
            const auto v = static_cast<std::uint32_t>((raw * 255 + maxval / 2) / maxval);
            c |= v << (16 - 8 * k);
        }
        rgb[i] = c;
    }
    return true;
}

bool Collect(Corpus &corpus, std::string &error)
{
    std::vector<std::string> files;
    if (!bench::ListRegularFiles(corpus.Dir, files, error))
        return false;
    corpus.Files = files.size();
    for (const std::string &file : files) {
        const int count = platform::CountIcons(file);
        corpus.Counted += count;
        for (int i = 0; i < count; ++i) {
            platform::Icon icon = platform::ExtractIcon(file, i);
            if (icon.IsNull()) {
                ++corpus.NullIcons;
                continue;
            }
            if (icon.Width() != platform::kIconSize || icon.Height() != platform::kIconSize ||
                !icon.HasColourImage()) {
                ++corpus.WrongSize;
                continue;
            }
            IconSample s;
            s.File = file;
            s.Index = i;
            s.Icon = std::move(icon);
            corpus.Samples.push_back(std::move(s));
        }
    }
    if (corpus.Samples.empty()) {
        error = "no " + std::to_string(platform::kIconSize) + "x" +
                std::to_string(platform::kIconSize) + " icon in '" + corpus.Dir + "'";
        return false;
    }
    return true;
}

// Our reduction as the writer makes it, with a check that the file the
// writer puts on disk carries the same table and rows.
bool MeasureOurs(Corpus &corpus, IconSample &s, const std::string &work)
{
    const std::string name = Name(s);
    platform::IconInfo info;
    if (!platform::GetIconInfo(s.Icon, info)) {
        corpus.Errors.push_back(name + ": no icon info");
        return false;
    }
    s.CapturePixels.assign(info.colour.Pixels().begin(), info.colour.Pixels().end());
    s.Hidden.assign(info.colour.Hidden().begin(), info.colour.Hidden().end());

    std::vector<std::uint8_t> header, bits;
    if (iconwriter::CaptureBitmapBits(info.colour, header, bits, kDepth) == 0) {
        corpus.Errors.push_back(name + ": the capture at 256 colours failed");
        return false;
    }
    std::vector<std::uint32_t> rgb;
    std::string error;
    if (!DecodeCapture(header, bits, s.Icon.Width(), s.Icon.Height(), rgb, error)) {
        corpus.Errors.push_back(name + ": " + error);
        return false;
    }
    if (s.OpaquePixels > 0)
        s.Ours = Measure(s, rgb);

    const std::string path = work + "/written.ico";
    std::vector<std::uint8_t> file;
    const std::int32_t result = iconwriter::WriteIconFile(path, s.Icon, kDepth);
    if (result != iconwriter::wrWritten) {
        corpus.Errors.push_back(name + ": " + iconwriter::WriteResultText(result));
        return false;
    }
    if (!ReadWholeFile(path, file) || !FileMatchesCapture(file, header, bits))
        ++corpus.FileMismatches;
    return true;
}

bool MeasureMagick(IconSample &s, const std::string &work, std::size_t n, std::string &error)
{
    const std::string in = work + "/in" + std::to_string(n) + ".ppm";
    const std::string out = work + "/out" + std::to_string(n) + ".ppm";
    if (!WritePpm(in, s.Icon.Width(), s.Icon.Height(), s.Rgb)) {
        error = "cannot write " + in;
        return false;
    }
    // convert's complaints stay on our stderr.
    if (!bench::Run({"convert", in, "-alpha", "off", "+dither", "-colors", "256", out},
                    bench::Stderr::Keep, error))
        return false;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> rgb;
    if (!ReadWholeFile(out, bytes)) {
        error = "convert left no " + out;
        return false;
    }
    if (!ReadPnm(bytes, s.Icon.Width(), s.Icon.Height(), rgb, error)) {
        error = out + ": " + error;
        return false;
    }
    s.Magick = Measure(s, rgb);
    std::error_code ec;
    std::filesystem::remove(in, ec);
    std::filesystem::remove(out, ec);
    return true;
}

// Everything the summary reports; the timed loops only reuse the icons.
bool MeasureQuality(Corpus &corpus, std::string &error)
{
    TempDir work("rurorodode-palette");
    if (work.Path.empty()) {
        error = work.Error;
        return false;
    }
    corpus.WorkDir = work.Path;
    for (std::size_t n = 0; n < corpus.Samples.size(); ++n) {
        IconSample &s = corpus.Samples[n];
        const int w = s.Icon.Width(), h = s.Icon.Height();
        std::unordered_set<std::uint32_t> colours;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t rgb = s.Icon.Pixel(x, y) & 0xFFFFFFu;
                const bool opaque = !s.Icon.MaskBit(x, y);
                s.Rgb.push_back(rgb);
                s.Opaque.push_back(opaque ? 1 : 0);
                if (opaque) {
                    ++s.OpaquePixels;
                    colours.insert(rgb);
                }
            }
        s.OpaqueColours = colours.size();
        if (!MeasureOurs(corpus, s, work.Path))
            continue;
        if (s.OpaquePixels == 0) {
            ++corpus.NoOpaque;
            continue;
        }
        s.Fixed = Measure(s, MapToFixedTable(s.Rgb));
        if (!MeasureMagick(s, work.Path, n, error))
            return false;
        s.Measured = true;
    }
    return true;
}

// Where the writes go: a memory file system measures our own work, the
// disk adds what the machine's storage costs.
const char *const kMemoryFolder = "/dev/shm";
const char *const kDiskFolder = "/tmp";

void WriteIcons(benchmark::State &state, const Corpus &corpus, const std::string &base)
{
    TempDir dir("rurorodode-write", base);
    if (dir.Path.empty()) {
        state.SkipWithError(dir.Error.c_str());
        return;
    }
    std::vector<std::string> names;
    for (int i = 0; i < kWrites; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/icon%04d.ico", i);
        names.push_back(dir.Path + name);
    }
    const std::size_t n = corpus.Samples.size();
    for (auto _ : state) {
        for (int i = 0; i < kWrites; ++i) {
            const std::int32_t result = iconwriter::WriteIconFile(
                names[static_cast<std::size_t>(i)],
                corpus.Samples[static_cast<std::size_t>(i) % n].Icon, kDepth);
            if (result != iconwriter::wrWritten) {
                const std::string error =
                    names[static_cast<std::size_t>(i)] + ": " + iconwriter::WriteResultText(result);
                state.SkipWithError(error.c_str());
                return;
            }
        }
    }
    state.counters["icons"] = kWrites;
    state.counters["icons_per_s"] =
        benchmark::Counter(kWrites, benchmark::Counter::kIsIterationInvariantRate);
}

void ReduceIcons(benchmark::State &state, const Corpus &corpus)
{
    const std::size_t n = corpus.Samples.size();
    for (auto _ : state) {
        for (int i = 0; i < kWrites; ++i) {
            const IconSample &s = corpus.Samples[static_cast<std::size_t>(i) % n];
            platform::IndexedPicture picture =
                platform::ReduceColours(s.CapturePixels, s.Hidden, kEntries);
            benchmark::DoNotOptimize(picture.indices.data());
            benchmark::ClobberMemory();
        }
    }
    state.counters["icons"] = kWrites;
    state.counters["icons_per_s"] =
        benchmark::Counter(kWrites, benchmark::Counter::kIsIterationInvariantRate);
}

void PrintRow(const IconSample &s, double deficit)
{
    std::printf("    %-34s %4zu px %4zu colours  ours %6.2f  fixed %6.2f  magick %6.2f",
                Name(s).c_str(), s.OpaquePixels, s.OpaqueColours, s.Ours.Psnr, s.Fixed.Psnr,
                s.Magick.Psnr);
    if (deficit > 0)
        std::printf("  (-%.2f dB)", deficit);
    std::printf("\n");
}

// Icons where `score` is positive, largest first.
template <typename Score>
void PrintWorst(const std::vector<const IconSample *> &measured, Score score)
{
    std::vector<const IconSample *> listed;
    for (const IconSample *s : measured)
        if (score(*s) > 0)
            listed.push_back(s);
    std::stable_sort(listed.begin(), listed.end(), [&](const IconSample *a, const IconSample *b) {
        return score(*a) > score(*b);
    });
    for (std::size_t i = 0; i < listed.size() && i < kMaxListed; ++i)
        PrintRow(*listed[i], score(*listed[i]));
    if (listed.size() > kMaxListed)
        std::printf("    ... and %zu more\n", listed.size() - kMaxListed);
}

void PrintSummary(const Corpus &corpus, const bench::RecordingReporter &reporter)
{
    std::vector<const IconSample *> measured;
    for (const IconSample &s : corpus.Samples)
        if (s.Measured)
            measured.push_back(&s);
    const double count = static_cast<double>(measured.size());
    double ours = 0, fixed = 0, magick = 0;
    std::size_t worseThanFixed = 0, worseThanMagick = 0, few = 0, fewNotExact = 0,
                magickFewExact = 0;
    double worstFixed = 0, worstMagick = 0;
    for (const IconSample *s : measured) {
        ours += s->Ours.Psnr;
        fixed += s->Fixed.Psnr;
        magick += s->Magick.Psnr;
        // Same pixels, so the summed errors order the icons as PSNR does.
        if (s->Ours.Error > s->Fixed.Error) {
            ++worseThanFixed;
            worstFixed = std::max(worstFixed, s->Fixed.Psnr - s->Ours.Psnr);
        }
        if (s->Ours.Psnr < s->Magick.Psnr) {
            ++worseThanMagick;
            worstMagick = std::max(worstMagick, s->Magick.Psnr - s->Ours.Psnr);
        }
        if (s->OpaqueColours <= kEntries) {
            ++few;
            fewNotExact += s->Ours.Error != 0 ? 1 : 0;
            magickFewExact += s->Magick.Error == 0 ? 1 : 0;
        }
    }
    if (count > 0) {
        ours /= count;
        fixed /= count;
        magick /= count;
    }

    std::printf("\nSummary: %zu files in %s\n", corpus.Files, corpus.Dir.c_str());
    std::printf("  icons: %lld counted, %zu extracted at %dx%d, %lld indices gave none, %lld left "
                "out (other size or no colour image)\n",
                corpus.Counted, corpus.Samples.size(), platform::kIconSize, platform::kIconSize,
                corpus.NullIcons, corpus.WrongSize);
    std::printf("  measured: %zu icons; %zu skipped with no opaque pixel; %zu failed\n",
                measured.size(), corpus.NoOpaque, corpus.Errors.size());
    for (std::size_t i = 0; i < corpus.Errors.size() && i < kMaxListed; ++i)
        std::printf("    %s\n", corpus.Errors[i].c_str());
    std::printf("  written files whose image differs from the capture measured: %zu\n",
                corpus.FileMismatches);
    std::printf("  ImageMagick's files went to %s (removed)\n", corpus.WorkDir.c_str());

    std::printf("  mean PSNR over opaque pixels, 256 colours (each icon capped at %.0f dB):\n",
                kPsnrCap);
    std::printf("    ours (what the writer writes at code %u)  %6.2f dB\n", unsigned{kDepth}, ours);
    std::printf("    the platform's fixed table, nearest        %6.2f dB\n", fixed);
    std::printf("    ImageMagick -colors 256 +dither            %6.2f dB\n", magick);
    std::printf("  ours worse than the fixed table on %zu icons", worseThanFixed);
    if (worseThanFixed > 0)
        std::printf(" (worst by %.2f dB)", worstFixed);
    std::printf("\n  ours worse than ImageMagick on %zu icons", worseThanMagick);
    if (worseThanMagick > 0)
        std::printf(" (worst by %.2f dB)", worstMagick);
    std::printf("\n  icons with at most %u distinct opaque colours: %zu; not exact in ours: %zu "
                "(exact in ImageMagick's: %zu)\n",
                kEntries, few, fewNotExact, magickFewExact);

    std::printf("  weakest icons, ours:\n");
    std::vector<const IconSample *> byOurs = measured;
    std::stable_sort(byOurs.begin(), byOurs.end(), [](const IconSample *a, const IconSample *b) {
        return a->Ours.Psnr < b->Ours.Psnr;
    });
    for (std::size_t i = 0; i < byOurs.size() && i < kMaxListed; ++i)
        PrintRow(*byOurs[i], 0);
    if (worseThanFixed > 0) {
        std::printf("  where ours loses to the fixed table:\n");
        PrintWorst(measured, [](const IconSample &s) { return s.Fixed.Psnr - s.Ours.Psnr; });
    }
    if (worseThanMagick > 0) {
        std::printf("  where ours loses to ImageMagick:\n");
        PrintWorst(measured, [](const IconSample &s) { return s.Magick.Psnr - s.Ours.Psnr; });
    }

    const bool judged = count > 0 && corpus.Errors.empty();
    const auto goal = [&](const char *text, bool met) {
        std::printf("  goal, %s: %s\n", text, judged ? bench::Verdict(met) : "not judged");
    };
    goal("ours' mean at least 20 dB above the fixed table's", ours - fixed >= kMarginGoalDb);
    std::printf("    (ours - fixed table: %+.2f dB)\n", ours - fixed);
    goal("never worse than the fixed table on an icon", worseThanFixed == 0);
    goal("ours' mean no lower than ImageMagick's", ours >= magick);
    std::printf("    (ours - ImageMagick: %+.2f dB)\n", ours - magick);
    goal("every icon of at most 256 colours exact", fewNotExact == 0);

    const double write = reporter.Seconds("BM_WriteIcons256/memory");
    const double disk = reporter.Seconds("BM_WriteIcons256/disk");
    const double reduce = reporter.Seconds("BM_ReduceColours256");
    if (write < 0) {
        std::printf("  writing %d icons at 256 colours to %s: not run\n", kWrites, kMemoryFolder);
    } else {
        std::printf("  writing %d icons at 256 colours to %s (memory): %.3f ms\n", kWrites,
                    kMemoryFolder, write * 1e3);
        std::printf("  goal, under %.0f ms for %d: %s\n", kWriteGoalMs, kWrites,
                    bench::Verdict(write * 1e3 < kWriteGoalMs));
    }
    if (disk >= 0)
        std::printf("  writing the same to %s (this machine's disk): %.3f ms\n", kDiskFolder,
                    disk * 1e3);
    if (reduce < 0)
        std::printf("  ReduceColours alone for the same %d: not run\n", kWrites);
    else if (write > 0)
        std::printf("  ReduceColours alone for the same %d: %.3f ms (%.0f%% of the writing)\n",
                    kWrites, reduce * 1e3, 100.0 * reduce / write);
    else
        std::printf("  ReduceColours alone for the same %d: %.3f ms\n", kWrites, reduce * 1e3);
}

} // namespace

int main(int argc, char **argv)
{
    Corpus corpus;
    if (!bench::ParseCommandLine(argc, argv, corpus.Dir))
        return 2;

    std::string error;
    if (!Collect(corpus, error)) {
        std::fprintf(stderr, "bench_palette: %s\n", error.c_str());
        return 1;
    }
    std::printf("bench_palette: %zu icons from %zu files in %s; measuring the reductions...\n",
                corpus.Samples.size(), corpus.Files, corpus.Dir.c_str());
    std::fflush(stdout);
    if (!MeasureQuality(corpus, error)) {
        const bool noConvert = error.rfind("cannot run convert", 0) == 0;
        std::fprintf(stderr, "bench_palette: %s%s\n", error.c_str(),
                     noConvert ? " (convert comes with imagemagick)" : "");
        return 1;
    }

    if (std::filesystem::is_directory(kMemoryFolder))
        bench::RegisterRealTime("BM_WriteIcons256/memory", WriteIcons, std::cref(corpus),
                                std::string(kMemoryFolder));
    bench::RegisterRealTime("BM_WriteIcons256/disk", WriteIcons, std::cref(corpus),
                            std::string(kDiskFolder));
    bench::RegisterRealTime("BM_ReduceColours256", ReduceIcons, std::cref(corpus));

    bench::RecordingReporter reporter;
    reporter.RunAll();

    PrintSummary(corpus, reporter);
    return reporter.AnyFailed() || !corpus.Errors.empty() || corpus.FileMismatches > 0 ? 1 : 0;
}
