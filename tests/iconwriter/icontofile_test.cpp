#include "fixtures.h"
#include "iconwriter/icontofile.h"
#include "iconwriter/saveicon.h"
#include "platform/bytesource.h"
#include "platform/extracticon.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using iconwriter::IconHandle;

namespace {

std::vector<std::uint8_t> ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U16(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t U32(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// An icon drawn in code: a transparent one-pixel border, colours from the
// fixture pattern, alpha when asked.
IconHandle MakeIcon(int side, int seed, bool alpha, int paletteBits = 0)
{
    const fixtures::Picture p = fixtures::DrawPicture(side, side, seed, alpha, paletteBits);
    IconHandle icon(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const auto i = static_cast<std::size_t>(y * side + x);
            icon.SetPixel(x, y, p.argb[i]);
            icon.SetMaskBit(x, y, p.mask[i] != 0);
        }
    return icon;
}

class IconWriter : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = fs::temp_directory_path() / ("rurorodode-writer-" + std::to_string(::getpid()));
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(Folder, fs::perms::owner_all, ec);
        fs::remove_all(Folder, ec);
    }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(Folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path Folder;
};

struct LayoutRow
{
    std::uint8_t depth;
    std::size_t fileSize;
    std::vector<std::uint8_t> entry;
    std::uint32_t bits;
    std::uint32_t imageSize;
    std::uint32_t colours;
};

} // namespace

// The file layout at every depth code for a 32 x 32 icon, byte for byte.
TEST_F(IconWriter, LayoutAtEveryDepthCode)
{
    const std::vector<LayoutRow> rows = {
        {0, 326, {0x20, 0x20, 0x01, 0, 0, 0, 0, 0, 0x30, 0x01, 0, 0, 0x16, 0, 0, 0}, 1, 128, 2},
        {1, 766, {0x20, 0x20, 0x04, 0, 0, 0, 0, 0, 0xE8, 0x02, 0, 0, 0x16, 0, 0, 0}, 4, 512, 16},
        {2, 2238, {0x20, 0x20, 0x08, 0, 0, 0, 0, 0, 0xA8, 0x08, 0, 0, 0x16, 0, 0, 0}, 8, 1024, 256},
        {3, 3262, {0x20, 0x20, 0x18, 0, 0, 0, 0, 0, 0xA8, 0x0C, 0, 0, 0x16, 0, 0, 0}, 24, 3072, 0},
        {4, 4286, {0x20, 0x20, 0x20, 0, 0, 0, 0, 0, 0xA8, 0x10, 0, 0, 0x16, 0, 0, 0}, 32, 4096, 0},
        {9, 3262, {0x20, 0x20, 0x18, 0, 0, 0, 0, 0, 0xA8, 0x0C, 0, 0, 0x16, 0, 0, 0}, 24, 3072, 0},
    };
    const IconHandle icon = MakeIcon(32, 3, true);
    for (const LayoutRow &row : rows) {
        const fs::path path = Folder / ("depth" + std::to_string(row.depth) + ".ico");
        ASSERT_EQ(iconwriter::WriteIconFile(path.string(), icon, row.depth), 0);
        const auto file = ReadAll(path);
        const std::string at = "depth code " + std::to_string(row.depth);
        ASSERT_EQ(file.size(), row.fileSize) << at;
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 6),
                  (std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0}))
            << at;
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 6, file.begin() + 22), row.entry) << at;
        EXPECT_EQ(U32(file, 22), 40u) << at;
        EXPECT_EQ(U32(file, 26), 32u) << at;
        EXPECT_EQ(U32(file, 30), 64u) << at; // colour rows plus mask rows
        EXPECT_EQ(U16(file, 34), 1u) << at;
        EXPECT_EQ(U16(file, 36), row.bits) << at;
        EXPECT_EQ(U32(file, 38), 0u) << at;
        EXPECT_EQ(U32(file, 42), row.imageSize) << at; // colour rows only
        EXPECT_EQ(U32(file, 54), row.colours) << at;
        // Whatever the header claims adds up to the file.
        EXPECT_EQ(22 + 40 + 4 * row.colours + row.imageSize + 128, file.size()) << at;
    }
}

// Read back by our own reader, a true-colour file is the icon again, and
// an icon of few colours survives 256 colours exactly.
TEST_F(IconWriter, FilesReadBackAsTheIcon)
{
    struct Case
    {
        std::uint8_t depth;
        bool alpha;
        int paletteBits;
    };
    for (const Case c : {Case{3, false, 0}, Case{4, true, 0}, Case{2, false, 8}, Case{1, false, 4},
                         Case{0, false, 1}}) {
        const IconHandle icon = MakeIcon(32, 11, c.alpha, c.paletteBits);
        const fs::path path = Folder / "back.ico";
        ASSERT_EQ(iconwriter::WriteIconFile(path.string(), icon, c.depth), 0);
        const IconHandle back = platform::ExtractIcon(path.string(), 0);
        ASSERT_FALSE(back.IsNull());
        int colourDiffs = 0, maskDiffs = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const std::uint32_t keep = c.alpha ? 0xFFFFFFFFu : 0x00FFFFFFu;
                colourDiffs += (back.Pixel(x, y) & keep) != (icon.Pixel(x, y) & keep);
                maskDiffs += back.MaskBit(x, y) != icon.MaskBit(x, y);
            }
        EXPECT_EQ(colourDiffs, 0) << "depth " << int(c.depth);
        EXPECT_EQ(maskDiffs, 0) << "depth " << int(c.depth);
    }
}

TEST_F(IconWriter, OtherSizesKeepRowsWholeWords)
{
    struct Case
    {
        int side;
        std::size_t maskRow;
    };
    for (const Case c : {Case{16, 4}, Case{48, 8}, Case{33, 8}}) {
        const fs::path path = Folder / "size.ico";
        ASSERT_EQ(iconwriter::WriteIconFile(path.string(), MakeIcon(c.side, 2, false), 3), 0);
        const auto file = ReadAll(path);
        const std::size_t colourRow = (24u * static_cast<std::size_t>(c.side) + 31u) / 32u * 4u;
        EXPECT_EQ(U32(file, 30), 2u * static_cast<std::uint32_t>(c.side));
        EXPECT_EQ(file.size(), 62 + (colourRow + c.maskRow) * static_cast<std::size_t>(c.side))
            << c.side;
        EXPECT_EQ(file[6], c.side);
    }
}

TEST_F(IconWriter, CursorIsTheIconFileUnderAnotherName)
{
    const IconHandle icon = MakeIcon(32, 5, false);
    const auto ico =
        iconwriter::SaveIconAs((Folder / "same").string(), icon, iconwriter::sfIcon, 2);
    const auto cur =
        iconwriter::SaveIconAs((Folder / "same").string(), icon, iconwriter::sfCursor, 2);
    EXPECT_EQ(ico.path, (Folder / "same.ico").string());
    EXPECT_EQ(cur.path, (Folder / "same.cur").string());
    EXPECT_EQ(ReadAll(ico.path), ReadAll(cur.path));

    // The extension is appended whatever the name ends with; other formats
    // write nothing.
    const auto twice =
        iconwriter::SaveIconAs((Folder / "x.ico").string(), icon, iconwriter::sfIcon, 3);
    EXPECT_EQ(twice.path, (Folder / "x.ico.ico").string());
    EXPECT_TRUE(fs::exists(twice.path));
    const auto none = iconwriter::SaveIconAs((Folder / "none").string(), icon, 7, 3);
    EXPECT_TRUE(none.path.empty());
    EXPECT_EQ(Entries(), (std::vector<std::string>{"same.cur", "same.ico", "x.ico.ico"}));
}

TEST_F(IconWriter, ExistingFileIsReplacedNotAppended)
{
    const fs::path path = Folder / "old.ico";
    std::ofstream(path) << std::string(10000, 'x');
    ASSERT_EQ(iconwriter::WriteIconFile(path.string(), MakeIcon(32, 1, false), 2), 0);
    EXPECT_EQ(fs::file_size(path), 2238u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"old.ico"});
}

// Each failure gives its code and leaves nothing behind.
TEST_F(IconWriter, FailuresGiveTheirCodesAndLeaveNoFile)
{
    const IconHandle good = MakeIcon(32, 1, false);
    fs::create_directories(Folder / "taken.ico");
    struct Case
    {
        const char *name;
        std::string path;
        const IconHandle *icon;
        std::int32_t result;
    };
    const IconHandle null;
    const IconHandle maskOnly = IconHandle::WithoutColourImage(32, 32);
    const std::vector<Case> cases = {
        {"name of 3 characters", "a.i", &good, -1},
        {"name of 4 characters, null icon", "a.ic", &null, -2},
        {"empty name", "", &good, -1},
        {"null icon", (Folder / "null.ico").string(), &null, -2},
        {"icon without a colour image", (Folder / "mask.ico").string(), &maskOnly, -3},
        {"missing folder", (Folder / "missing" / "a.ico").string(), &good, -4},
        {"name of an existing folder", (Folder / "taken.ico").string(), &good, -4},
    };
    // Relative names land in the current folder: make that the test's folder
    // so that whatever they might create would show there.
    const fs::path before = fs::current_path();
    fs::current_path(Folder);
    for (const Case &c : cases)
        EXPECT_EQ(iconwriter::WriteIconFile(c.path, *c.icon, 2), c.result) << c.name;
    fs::current_path(before);
    EXPECT_EQ(Entries(), std::vector<std::string>{"taken.ico"});
    EXPECT_TRUE(fs::is_empty(Folder / "taken.ico"));
}

// A destination that refuses every write: the device is written in place,
// the failure is reported, and the device is left alone.
TEST_F(IconWriter, FullDeviceGivesWriteFailure)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    EXPECT_EQ(iconwriter::WriteIconFile("/dev/full", MakeIcon(32, 1, false), 3), -5);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// A real full file system and a read-only one (needs root to mount them).
TEST_F(IconWriter, FullAndReadOnlyFileSystems)
{
    const fs::path small = Folder / "small";
    const fs::path readOnly = Folder / "readonly";
    fs::create_directories(small);
    fs::create_directories(readOnly);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=12k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (not root?)";
    const bool readOnlyMounted =
        ::mount("tmpfs", readOnly.c_str(), "tmpfs", MS_RDONLY, "size=12k") == 0;

    const IconHandle icon = MakeIcon(32, 7, true);
    // A good file already there, then fill the rest of the space.
    const fs::path keep = small / "keep.ico";
    ASSERT_EQ(iconwriter::WriteIconFile(keep.string(), icon, 2), 0);
    const auto before = ReadAll(keep);
    {
        std::ofstream filler(small / "filler", std::ios::binary);
        const std::string block(1024, 'f');
        for (int i = 0; i < 64 && filler; ++i)
            filler << block << std::flush;
    }
    EXPECT_EQ(iconwriter::WriteIconFile((small / "new.ico").string(), icon, 4), -5);
    EXPECT_EQ(iconwriter::WriteIconFile(keep.string(), icon, 4), -5);
    EXPECT_THROW(
        iconwriter::SaveIconAs((small / "picture").string(), icon, iconwriter::sfBitmap, 2),
        iconwriter::ESaveError);
    EXPECT_EQ(ReadAll(keep), before); // the good file survives the failed replace
    std::vector<std::string> left;
    for (const auto &e : fs::directory_iterator(small))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"filler", "keep.ico"}));

    if (readOnlyMounted) {
        EXPECT_EQ(iconwriter::WriteIconFile((readOnly / "a.ico").string(), icon, 2), -4);
        EXPECT_TRUE(fs::is_empty(readOnly));
        ::umount(readOnly.c_str());
    }
    ::umount(small.c_str());
}

// The bitmap output: the icon over white, 24 bits, whatever the depth code.
TEST_F(IconWriter, BitmapFileIsTheIconOverWhite)
{
    IconHandle plain(32, 32);
    plain.SetPixel(1, 1, 0x00123456u);                               // opaque colour
    plain.SetMaskBit(0, 0, true);                                    // transparent black: white
    plain.SetPixel(2, 0, 0x00FF0000u), plain.SetMaskBit(2, 0, true); // inverts the white
    IconHandle blended(32, 32);
    blended.SetPixel(1, 1, 0x80FF0000u); // half red over white
    blended.SetPixel(0, 0, 0x00000000u); // alpha 0: white, mask ignored

    struct Expect
    {
        int x, y;
        std::uint32_t rgb;
    };
    const std::vector<std::pair<const IconHandle *, std::vector<Expect>>> cases = {
        {&plain, {{0, 0, 0xFFFFFF}, {1, 1, 0x123456}, {2, 0, 0x00FFFF}, {5, 5, 0x000000}}},
        {&blended, {{0, 0, 0xFFFFFF}, {1, 1, 0xFF7F7F}}},
    };
    for (const auto &[icon, expects] : cases) {
        for (const std::uint8_t depth : {2, 3}) {
            (void)depth; // the colour-depth choice plays no part in bitmaps
            const auto outcome = iconwriter::SaveIconAs((Folder / "pic").string(), *icon,
                                                        iconwriter::sfBitmap, depth);
            ASSERT_EQ(outcome.path, (Folder / "pic.bmp").string());
            const auto file = ReadAll(outcome.path);
            ASSERT_EQ(file.size(), 14u + 40u + 32u * 96u);
            EXPECT_EQ(file[0], 'B');
            EXPECT_EQ(file[1], 'M');
            EXPECT_EQ(U32(file, 2), file.size());
            EXPECT_EQ(U32(file, 10), 54u);
            EXPECT_EQ(U32(file, 14), 40u);
            EXPECT_EQ(U32(file, 18), 32u);
            EXPECT_EQ(U32(file, 22), 32u);
            EXPECT_EQ(U16(file, 26), 1u);
            EXPECT_EQ(U16(file, 28), 24u);
            EXPECT_EQ(U32(file, 30), 0u);
            for (const Expect &e : expects) {
                const std::size_t at = 54 + static_cast<std::size_t>(31 - e.y) * 96 +
                                       3 * static_cast<std::size_t>(e.x);
                const std::uint32_t rgb = file[at] | (file[at + 1] << 8) | (file[at + 2] << 16);
                EXPECT_EQ(rgb, e.rgb) << e.x << "," << e.y;
            }
        }
    }
    EXPECT_THROW(iconwriter::SaveIconAs((Folder / "missing" / "pic").string(), plain,
                                        iconwriter::sfBitmap, 2),
                 iconwriter::ESaveError);
}

// A file the user may not write is not replaced by any format: the icon
// writer gives -4, a bitmap fails to be created, and the file keeps its
// bytes and mode.
TEST_F(IconWriter, ReadOnlyFileIsNotReplaced)
{
    const IconHandle icon = MakeIcon(32, 4, false);
    // The checking user may make files in the folder, so only the files'
    // own modes stand in the way.
    if (fixtures::RunsAsNobody()) {
        ASSERT_EQ(::chown(Folder.c_str(), fixtures::kNobody, fixtures::kNobody), 0);
    }
    for (const char *name : {"locked.ico", "locked.cur", "locked.bmp", "open.ico"}) {
        std::ofstream(Folder / name) << "old";
        if (fixtures::RunsAsNobody()) {
            ASSERT_EQ(::chown((Folder / name).c_str(), fixtures::kNobody, fixtures::kNobody), 0);
        }
    }
    for (const char *name : {"locked.ico", "locked.cur", "locked.bmp"})
        ASSERT_EQ(::chmod((Folder / name).c_str(), 0444), 0);

    const std::string base = (Folder / "locked").string();
    const std::string faults = fixtures::AsUnprivilegedUser([&] {
        std::string found;
        const std::int32_t direct = iconwriter::WriteIconFile(base + ".ico", icon, 2);
        if (direct != iconwriter::wrCreateFailed)
            found += "WriteIconFile gave " + std::to_string(direct) + "\n";
        const auto cursor = iconwriter::SaveIconAs(base, icon, iconwriter::sfCursor, 3);
        if (cursor.result != iconwriter::wrCreateFailed)
            found += "cursor save gave " + std::to_string(cursor.result) + "\n";
        try {
            iconwriter::SaveIconAs(base, icon, iconwriter::sfBitmap, 2);
            found += "the bitmap save succeeded\n";
        } catch (const iconwriter::ESaveError &e) {
            if (std::string(e.what()) != "Cannot create file \"" + base + ".bmp\"")
                found += std::string("bitmap message: ") + e.what() + "\n";
        }
        // The same user replaces a file it may write.
        const std::int32_t open =
            iconwriter::WriteIconFile((Folder / "open.ico").string(), icon, 2);
        if (open != iconwriter::wrWritten)
            found += "a writable file gave " + std::to_string(open) + "\n";
        return found;
    });
    EXPECT_EQ(faults, "");
    for (const char *name : {"locked.ico", "locked.cur", "locked.bmp"}) {
        EXPECT_EQ(ReadAll(Folder / name), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << name;
        EXPECT_EQ(fs::status(Folder / name).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read)
            << name;
    }
    EXPECT_EQ(fs::file_size(Folder / "open.ico"), 2238u);
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"locked.bmp", "locked.cur", "locked.ico", "open.ico"}));
}

// Saving through a link writes the file it names; the link stays.
TEST_F(IconWriter, LinkIsWrittenThrough)
{
    fs::create_directories(Folder / "real");
    std::ofstream(Folder / "real" / "icon.ico") << "old";
    fs::create_symlink("real/icon.ico", Folder / "link.ico");
    fs::create_symlink("real/picture.bmp", Folder / "link.bmp");
    const IconHandle icon = MakeIcon(32, 6, false);
    EXPECT_EQ(iconwriter::WriteIconFile((Folder / "link.ico").string(), icon, 2), 0);
    EXPECT_NO_THROW(
        iconwriter::SaveIconAs((Folder / "link").string(), icon, iconwriter::sfBitmap, 2));
    EXPECT_TRUE(fs::is_symlink(Folder / "link.ico"));
    EXPECT_TRUE(fs::is_symlink(Folder / "link.bmp"));
    EXPECT_EQ(fs::file_size(Folder / "real" / "icon.ico"), 2238u);
    EXPECT_EQ(fs::file_size(Folder / "real" / "picture.bmp"), 3126u);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link.bmp", "link.ico", "real"}));
}

// A name as long as the file system allows is saved in every format, new
// and over an old file, and leaves nothing else behind.
TEST_F(IconWriter, LongestNameIsSaved)
{
    const long longest = ::pathconf(Folder.c_str(), _PC_NAME_MAX);
    ASSERT_GE(longest, 255);
    const std::string stem(static_cast<std::size_t>(longest) - 4, 'w');
    const IconHandle icon = MakeIcon(32, 8, false);
    std::vector<std::string> expected;
    for (const int format : {iconwriter::sfIcon, iconwriter::sfCursor, iconwriter::sfBitmap}) {
        for (int round = 0; round < 2; ++round) {
            const auto outcome = iconwriter::SaveIconAs((Folder / stem).string(), icon, format, 2);
            EXPECT_EQ(outcome.result, 0) << format;
            EXPECT_EQ(fs::path(outcome.path).filename().string().size(),
                      static_cast<std::size_t>(longest));
        }
        expected.push_back(stem + iconwriter::SaveExtension(format));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Entries(), expected);
    EXPECT_EQ(fs::file_size(Folder / (stem + ".ico")), 2238u);
    EXPECT_EQ(fs::file_size(Folder / (stem + ".bmp")), 3126u);
}
