#include "fixtures.h"
#include "iconwriter/saveall.h"
#include "iconwriter/wholeiconfile.h"
#include "platform/iconimage.h"
#include "platform/le.h"
#include "platform/wholeicon.h"

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace fixtures;
using iconwriter::sfIconAllSizes;
using iconwriter::sfPng;

namespace {

// What a source holds, to check the saved files against.
struct Expected
{
    int width;
    int height;
    int bits;
    Bytes data;
};

// Images at every depth, with alpha at 32 bits, and PNG-stored large ones.
std::vector<IconImage> Images(bool largestIsPng)
{
    std::vector<IconImage> images;
    images.push_back(MakeImage(DrawPicture(16, 16, 1, false, 1), 1));
    images.push_back(MakeImage(DrawPicture(16, 16, 2, false, 4), 4));
    images.push_back(MakeImage(DrawPicture(32, 32, 3, false, 8), 8));
    images.push_back(MakeImage(DrawPicture(32, 32, 4, false), 24));
    images.push_back(MakeImage(DrawPicture(48, 48, 5, true), 32));
    if (largestIsPng)
        images.push_back(MakeImage(DrawPicture(256, 256, 6, true), 32, /*png=*/true));
    images.push_back(MakeImage(DrawPicture(48, 48, 7, true), 32, /*png=*/true));
    return images;
}

std::vector<Expected> ExpectedOf(const std::vector<IconImage> &images)
{
    std::vector<Expected> out;
    for (const IconImage &i : images)
        out.push_back(
            {i.dirWidth ? i.dirWidth : 256, i.dirHeight ? i.dirHeight : 256, i.bitCount, i.data});
    return out;
}

struct SourceKind
{
    const char *name;
    std::function<Bytes(const std::vector<IconImage> &)> build;
    const char *iconExtension; // what "Icon, all sizes" writes
};

std::vector<IconImage> Cursorised(std::vector<IconImage> images)
{
    std::uint16_t n = 0;
    for (IconImage &i : images) {
        i.planes = ++n; // hot spots
        i.bitCount = static_cast<std::uint16_t>(n * 2);
    }
    return images;
}

const std::vector<SourceKind> &Kinds()
{
    static const std::vector<SourceKind> kinds = {
        {"pe32",
         [](const auto &i) {
             PeRecipe r;
             r.groups = {IconGroup{std::uint16_t{1}, {0x0409}, i, {}}};
             return BuildPe(r);
         },
         ".ico"},
        {"pe32plus",
         [](const auto &i) {
             PeRecipe r;
             r.pe32plus = true;
             r.groups = {IconGroup{std::u16string(u"APP"), {0x0409}, i, {}}};
             return BuildPe(r);
         },
         ".ico"},
        {"ne",
         [](const auto &i) {
             NeRecipe r;
             r.groups = {IconGroup{std::uint16_t{2}, {0x0409}, i, {}}};
             return BuildNe(r);
         },
         ".ico"},
        {"ico", [](const auto &i) { return BuildIconFile(i); }, ".ico"},
        {"cur", [](const auto &i) { return BuildIconFile(Cursorised(i), 2); }, ".cur"},
        {"ani", [](const auto &i) { return BuildAni({BuildIconFile(Cursorised(i), 2)}); }, ".cur"},
    };
    return kinds;
}

Bytes ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

QImage QtRead(const fs::path &path, int image, int *count = nullptr)
{
    QImageReader reader(QString::fromStdString(path.string()));
    if (count)
        *count = reader.imageCount();
    if (image > 0 && !reader.jumpToImage(image))
        return {};
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

class Files : public testing::Test
{
protected:
    void SetUp() override
    {
        Root = fs::temp_directory_path() / ("rurorodode-whole-" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root / "in");
        fs::create_directories(Root / "out");
    }
    void TearDown() override { fs::remove_all(Root); }
    std::string Put(const std::string &name, const Bytes &bytes)
    {
        const fs::path p = Root / "in" / name;
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    fs::path Root;
};

// The colour a picture shows where a PNG reader sees it: straight alpha
// from the picture, or opaque where the mask is clear.
std::uint32_t Shown(const Picture &p, int x, int y, bool alpha)
{
    const std::size_t i = static_cast<std::size_t>(y * p.width + x);
    const std::uint32_t argb = p.argb[i];
    const std::uint32_t a = alpha ? argb >> 24 : (p.mask[i] ? 0u : 255u);
    return a == 0 ? 0u : (a << 24) | (argb & 0x00FFFFFFu);
}

} // namespace

// "Icon, all sizes" from every kind of source: our reader finds the same
// images, byte for byte, with the sizes and depths of the source, and
// Qt's reader decodes every one of them at its size.
TEST_F(Files, IconAllSizesKeepsEveryImage)
{
    for (const SourceKind &kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        const bool cursor = std::string(kind.iconExtension) == ".cur";
        const std::vector<IconImage> images = Images(true);
        const std::vector<Expected> expected = ExpectedOf(images);
        const std::string source = Put(std::string(kind.name) + ".bin", kind.build(images));
        const std::string name = (Root / "out" / kind.name).string();
        const iconwriter::SaveOutcome outcome =
            iconwriter::SaveWholeIcon(source, 0, name, sfIconAllSizes);
        ASSERT_EQ(outcome.path, name + kind.iconExtension);

        platform::WholeIcon back;
        ASSERT_EQ(platform::ReadWholeIcon(outcome.path, 0, back), platform::WholeIconResult::Ok);
        EXPECT_EQ(back.cursor, cursor);
        ASSERT_EQ(back.images.size(), images.size());
        const std::vector<IconImage> stored = cursor ? Cursorised(images) : images;
        for (std::size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(back.images[i].data, expected[i].data);
            EXPECT_EQ(back.images[i].width, expected[i].width);
            EXPECT_EQ(back.images[i].height, expected[i].height);
            EXPECT_EQ(back.images[i].planes, stored[i].planes);
            EXPECT_EQ(back.images[i].bitCount, stored[i].bitCount);
            EXPECT_EQ(back.images[i].colourCount, stored[i].colourCount);
        }

        int count = 0;
        QtRead(outcome.path, 0, &count);
        ASSERT_EQ(count, static_cast<int>(images.size()));
        for (int i = 0; i < count; ++i) {
            const QImage q = QtRead(outcome.path, i);
            const Expected &e = expected[static_cast<std::size_t>(i)];
            EXPECT_EQ(q.size(), QSize(e.width, e.height)) << "Qt, image " << i;
        }
    }
}

// A bitmap file becomes a one-image icon that shows the picture opaque.
TEST_F(Files, BitmapSourceGivesOneOpaqueImage)
{
    const Picture picture = DrawPicture(24, 20, 3, false);
    const std::string source = Put("picture.bmp", BuildBmp(picture, 24));
    for (const int format : {sfIconAllSizes, sfPng}) {
        const iconwriter::SaveOutcome outcome =
            iconwriter::SaveWholeIcon(source, 0, (Root / "out" / "picture").string(), format);
        const QImage q = QtRead(outcome.path, 0);
        ASSERT_EQ(q.size(), QSize(24, 20)) << outcome.path;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(q.pixel(x, y),
                          picture.argb[static_cast<std::size_t>(y * 24 + x)] | 0xFF000000u)
                    << outcome.path << " " << x << "," << y;
    }
}

// "PNG": a largest image stored as PNG is copied byte for byte.
TEST_F(Files, PngCopiesAStoredPng)
{
    const std::vector<IconImage> images = Images(true);
    for (const SourceKind &kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        const std::string source = Put(std::string(kind.name) + ".bin", kind.build(images));
        const iconwriter::SaveOutcome outcome =
            iconwriter::SaveWholeIcon(source, 0, (Root / "out" / kind.name).string(), sfPng);
        ASSERT_EQ(outcome.path, (Root / "out" / kind.name).string() + ".png");
        EXPECT_EQ(ReadAll(outcome.path), images[5].data); // the 256 x 256 one
        EXPECT_EQ(QtRead(outcome.path, 0).size(), QSize(256, 256));
    }
}

// "PNG" of DIB images: the widest, then the deepest, then the first, decoded
// with its mask (or its alpha) into RGBA that any reader shows as drawn.
TEST_F(Files, PngDecodesTheLargestBitmapWithItsMask)
{
    struct Case
    {
        std::vector<std::pair<Picture, int>> images; // picture, bits
        std::size_t largest;
    };
    const Picture a = DrawPicture(48, 48, 11, false, 8);
    const Picture b = DrawPicture(48, 48, 12, true);
    const Picture c = DrawPicture(32, 32, 13, true);
    const Picture d = DrawPicture(48, 48, 14, false, 4);
    const Picture e = DrawPicture(40, 40, 15, false, 1);
    const std::vector<Case> cases = {
        {{{c, 32}, {a, 8}, {b, 32}, {d, 4}}, 2}, // same width: most bits
        {{{a, 8}, {d, 4}, {c, 32}}, 0},          // widest wins over bits
        {{{d, 4}, {c, 32}}, 0},                  // a 4-bit image through its mask
        {{{e, 1}}, 0},                           // monochrome
        {{{a, 24}, {a, 24}}, 0},                 // a tie: the first
    };
    int n = 0;
    for (const Case &k : cases) {
        SCOPED_TRACE(n);
        std::vector<IconImage> images;
        for (const auto &[picture, bits] : k.images)
            images.push_back(MakeImage(picture, bits));
        const std::string source = Put("case" + std::to_string(n) + ".ico", BuildIconFile(images));
        const iconwriter::SaveOutcome outcome = iconwriter::SaveWholeIcon(
            source, 0, (Root / "out" / ("case" + std::to_string(n))).string(), sfPng);
        ++n;
        const auto &[picture, bits] = k.images[k.largest];
        QImageReader reader(QString::fromStdString(outcome.path));
        EXPECT_EQ(reader.format(), QByteArray("png"));
        const QImage q = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(q.size(), QSize(picture.width, picture.height));
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                ASSERT_EQ(q.pixel(x, y), Shown(picture, x, y, bits == 32)) << x << "," << y;
    }
}

// "PNG by size": one file per size, named after the base; where sizes are
// shared the image with most bits (the first of equals), the next where that
// one is damaged; each file shows its image as drawn. A name too long for a
// file leaves nothing.
TEST_F(Files, PngSizesWritesTheBestImageOfEachSize)
{
    std::vector<IconImage> images = Images(true);
    images[3].data[0] = 0x7F; // the 24-bit 32 x 32 image: a header no reader takes
    const std::string source = Put("sizes.ico", BuildIconFile(images));
    const std::string base = (Root / "out" / "app").string();
    iconwriter::SaveWholeIcon(source, 0, base, iconwriter::sfPngSizes);
    std::vector<std::string> written;
    for (const auto &entry : fs::directory_iterator(Root / "out"))
        written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"app-16x16.png", "app-256x256.png",
                                                 "app-32x32.png", "app-48x48.png"}));
    const struct
    {
        const char *file;
        int seed, side;
        bool alpha;
    } shown[] = {{"app-16x16.png", 2, 16, false},
                 {"app-32x32.png", 3, 32, false},
                 {"app-48x48.png", 5, 48, true},
                 {"app-256x256.png", 6, 256, true}};
    for (const auto &s : shown) {
        SCOPED_TRACE(s.file);
        const Picture picture = DrawPicture(s.side, s.side, s.seed, s.alpha,
                                            s.seed == 2   ? 4
                                            : s.seed == 3 ? 8
                                                          : 0);
        const QImage q = QtRead(Root / "out" / s.file, 0);
        ASSERT_EQ(q.size(), QSize(s.side, s.side));
        for (int y = 0; y < s.side; ++y)
            for (int x = 0; x < s.side; ++x)
                ASSERT_EQ(qAlpha(q.pixel(x, y)) ? q.pixel(x, y) : 0u, Shown(picture, x, y, s.alpha))
                    << x << "," << y;
    }

    fs::remove_all(Root / "out");
    fs::create_directories(Root / "out");
    const std::string longBase = (Root / "out" / std::string(246, 'n')).string();
    EXPECT_THROW(iconwriter::SaveWholeIcon(source, 0, longBase, iconwriter::sfPngSizes),
                 iconwriter::ESaveError);
    EXPECT_TRUE(fs::is_empty(Root / "out"));
}

// What a resource holds after an image (padding, junk) is not part of it:
// "PNG" copies the stored PNG up to its end chunk, "Icon, all sizes" each
// image alone.
TEST_F(Files, WritesTheImagesWithoutWhatFollowsThem)
{
    const std::vector<IconImage> images = {MakeImage(DrawPicture(64, 64, 1, true), 32, true),
                                           MakeImage(DrawPicture(32, 32, 2, true), 32)};
    std::vector<IconImage> padded = images;
    for (IconImage &image : padded)
        image.data.insert(image.data.end(), {'j', 'u', 'n', 'k'});
    PeRecipe recipe;
    recipe.groups = {IconGroup{std::uint16_t{1}, {0x0409}, padded, {}}};
    const std::string source = Put("junk.exe", BuildPe(recipe));
    const std::string name = (Root / "out" / "junk").string();
    EXPECT_EQ(ReadAll(iconwriter::SaveWholeIcon(source, 0, name, sfPng).path), images[0].data);
    const Bytes ico = ReadAll(iconwriter::SaveWholeIcon(source, 0, name, sfIconAllSizes).path);
    const platform::LeView v(ico);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto bytes = v.Sub(v.U32(6 + 16 * i + 12), v.U32(6 + 16 * i + 8));
        EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), images[i].data) << i;
    }
}

// Failures are errors with nothing left behind; a good file already there
// is kept.
TEST_F(Files, FailuresWriteNothing)
{
    const std::string good = Put("good.ico", BuildIconFile(Images(false)));
    const std::string none = Put("none.txt", Bytes{'n', 'o'});
    const std::string broken = Put("broken.ico", [] {
        Bytes file = BuildIconFile({MakeImage(DrawPicture(16, 16, 1, true), 32)});
        file.resize(file.size() - 600); // the one image cut short
        return file;
    }());
    for (const int format : {sfIconAllSizes, sfPng}) {
        SCOPED_TRACE(format);
        EXPECT_THROW(iconwriter::SaveWholeIcon(good, 0, (Root / "missing" / "x").string(), format),
                     iconwriter::ESaveError);
        EXPECT_FALSE(fs::exists(Root / "missing"));
        EXPECT_THROW(iconwriter::SaveWholeIcon(good, 1, (Root / "out" / "past").string(), format),
                     iconwriter::ESaveError);
        EXPECT_THROW(iconwriter::SaveWholeIcon(none, 0, (Root / "out" / "none").string(), format),
                     iconwriter::ESaveError);
        const fs::path keep = Root / "out" / (format == sfPng ? "keep.png" : "keep.ico");
        {
            std::ofstream(keep) << "precious";
        }
        EXPECT_THROW(iconwriter::SaveWholeIcon(broken, 0, (Root / "out" / "keep").string(), format),
                     iconwriter::ESaveError);
        EXPECT_EQ(ReadAll(keep), (Bytes{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    }
    EXPECT_TRUE(iconwriter::SaveWholeIcon(good, 0, (Root / "out" / "y").string(), 3).path.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(Root / "out"), fs::directory_iterator()), 2);
}

namespace {

// What a save-all run reports, as the window's gauges and messages see it.
class Log : public iconwriter::SaveAllEvents
{
public:
    void FilesStarting(int count) override { Lines.push_back("files " + std::to_string(count)); }
    void FileStarting(const std::string &path) override
    {
        Lines.push_back("file " + fs::path(path).filename().string());
    }
    void IconsStarting(int maximum) override
    {
        Lines.push_back("icons " + std::to_string(maximum));
    }
    void IconStarting() override { Lines.push_back("icon"); }
    void IconsDone() override { Lines.push_back("icons done"); }
    void FilesDone() override { Lines.push_back("files done"); }
    const iconwriter::IconHandle &Preview(iconwriter::IconHandle icon) override
    {
        Lines.push_back(icon.IsNull() ? "preview none" : "preview");
        Current = std::move(icon);
        return Current;
    }
    void Saved(const iconwriter::SaveOutcome &o) override
    {
        Lines.push_back("saved " + fs::path(o.path).filename().string());
    }
    void Error(const std::string &message) override { Lines.push_back(message); }
    std::vector<std::string> Lines;
    iconwriter::IconHandle Current;
};

} // namespace

// A save-all run in either new format names, steps and reports as the
// other formats do; a cursor source gives a cursor file.
TEST_F(Files, SaveAllInTheNewFormats)
{
    PeRecipe recipe;
    recipe.groups = {IconGroup{std::uint16_t{1}, {0x0409}, Images(false), {}},
                     IconGroup{std::uint16_t{2}, {0x0409}, Images(true), {}}};
    Put("two.exe", BuildPe(recipe));
    Put("pointer.cur", BuildIconFile(Cursorised(Images(false)), 2));
    Put("empty.txt", Bytes{'x'});
    const std::vector<std::string> names = {"empty.txt", "pointer.cur", "two.exe"};
    for (const int format : {sfIconAllSizes, sfPng}) {
        SCOPED_TRACE(format);
        const fs::path out = Root / ("out" + std::to_string(format));
        fs::create_directories(out);
        Log run;
        iconwriter::SaveAllIcons((Root / "in").string(), names, out.string(), format, 2, run);
        const std::string ico = format == sfPng ? ".png" : ".ico";
        const std::string cur = format == sfPng ? ".png" : ".cur";
        const std::vector<std::string> expected = {"files 3",
                                                   "file empty.txt",
                                                   "preview none",
                                                   "file pointer.cur",
                                                   "preview",
                                                   "saved pointer" + cur,
                                                   "file two.exe",
                                                   "icons 1",
                                                   "preview",
                                                   "icon",
                                                   "saved two0" + ico,
                                                   "preview",
                                                   "icon",
                                                   "saved two1" + ico,
                                                   "icons done",
                                                   "files done"};
        EXPECT_EQ(run.Lines, expected);
        for (const std::string &name : {"pointer" + cur, "two0" + ico, "two1" + ico}) {
            int count = 0;
            EXPECT_FALSE(QtRead(out / name, 0, &count).isNull()) << name;
            EXPECT_EQ(count,
                      format == sfPng ? 1 : static_cast<int>(Images(name == "two1.ico").size()))
                << name;
        }
    }
    // Failures are reported under the name, and the run goes on.
    Log run;
    const std::string missing = (Root / "nowhere").string();
    iconwriter::SaveAllIcons((Root / "in").string(), {"pointer.cur"}, missing, sfPng, 2, run);
    const std::vector<std::string> expected = {"files 1", "file pointer.cur", "preview",
                                               "Could not process " + missing + "/pointer",
                                               "files done"};
    EXPECT_EQ(run.Lines, expected);
}

namespace {

// The command line's run: nobody looks at a preview.
class Unseen : public Log
{
public:
    bool WantsPreview() const override { return false; }
};

} // namespace

// A group that names a missing image has no preview (the extraction needs
// every image), yet its whole icon is saved with the images that are there;
// without a preview nothing is extracted, and the same files are written.
TEST_F(Files, SaveAllKeepsTheValidPartAndCanSkipThePreview)
{
    std::vector<IconImage> images = Images(false);
    images[1].data.clear(); // named by the group, not stored
    PeRecipe recipe;
    recipe.groups = {IconGroup{std::uint16_t{1}, {0x0409}, images, {}}};
    Put("gap.exe", BuildPe(recipe));
    Put("empty.txt", Bytes{'x'});
    for (const bool preview : {true, false}) {
        SCOPED_TRACE(preview);
        const fs::path out = Root / (preview ? "shown" : "unseen");
        fs::create_directories(out);
        Log shown;
        Unseen unseen;
        Log &run = preview ? shown : unseen;
        iconwriter::SaveAllIcons((Root / "in").string(), {"empty.txt", "gap.exe"}, out.string(),
                                 sfIconAllSizes, 2, run);
        std::vector<std::string> expected = {"files 2", "file empty.txt", "file gap.exe",
                                             "saved gap.ico", "files done"};
        if (preview) {
            expected.insert(expected.begin() + 2, "preview none");
            expected.insert(expected.begin() + 4, "preview none");
        }
        EXPECT_EQ(run.Lines, expected);
        platform::WholeIcon back;
        ASSERT_EQ(platform::ReadWholeIcon((out / "gap.ico").string(), 0, back),
                  platform::WholeIconResult::Ok);
        ASSERT_EQ(back.images.size(), images.size() - 1);
        EXPECT_EQ(back.images[0].data, images[0].data);
        EXPECT_EQ(back.images[1].data, images[2].data);
    }
}
