#include "fixtures.h"
#include "platform/bytesource.h"
#include "platform/extracticon.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace fixtures;
using testsupport::Source;

namespace {

void ExpectWellFormed(const platform::Icon &icon, const std::string &what)
{
    if (!icon.IsNull()) {
        EXPECT_EQ(icon.Width(), platform::kIconSize) << what;
        EXPECT_EQ(icon.Height(), platform::kIconSize) << what;
    }
}

IconGroup SmallGroup(ResName name, int seed)
{
    return IconGroup{std::move(name),
                     {0x0409, 0x0407},
                     {MakeImage(DrawPicture(16, 16, seed, false, 4), 4),
                      MakeImage(DrawPicture(32, 32, seed, true), 32, /*png=*/seed % 2 == 0)},
                     {}};
}

std::vector<std::pair<std::string, Bytes>> ValidFiles()
{
    const Picture small = DrawPicture(16, 16, 3, false, 8);
    PeRecipe pe32;
    pe32.groups = {SmallGroup(u"APP", 1), SmallGroup(std::uint16_t{7}, 2)};
    PeRecipe pe64 = pe32;
    pe64.pe32plus = true;
    NeRecipe ne;
    ne.groups = pe32.groups;
    return {
        {"ico",
         BuildIconFile({MakeImage(small, 8), MakeImage(DrawPicture(32, 32, 4, true), 32, true)})},
        {"cur", BuildIconFile({MakeImage(small, 8)}, 2)},
        {"ani", BuildAni({BuildIconFile({MakeImage(small, 8)}, 2)})},
        {"bmp", BuildBmp(DrawPicture(20, 12, 5, false), 24)},
        {"pe32", BuildPe(pe32)},
        {"pe32+", BuildPe(pe64)},
        {"ne", BuildNe(ne)},
    };
}

// Where the pieces of a well-formed PE fixture are, found the simple way.
struct PeMap
{
    Bytes &file;
    std::uint32_t rva = 0;      // of the resource tree
    std::size_t root = 0;       // its file offset
    std::size_t sectionRaw = 0; // the resource section in the file
    std::uint32_t sectionVa = 0;
    std::size_t resourceDir = 0; // the data directory entry

    explicit PeMap(Bytes &bytes) : file(bytes)
    {
        const std::size_t pe = U32(0x3C);
        const std::size_t opt = pe + 24;
        const std::size_t dirs = opt + (U16(opt) == 0x20B ? 112 : 96);
        resourceDir = dirs + 2 * 8;
        rva = U32(resourceDir);
        const std::size_t sections = opt + U16(pe + 20);
        for (std::size_t i = 0; i < U16(pe + 6); ++i) {
            const std::size_t s = sections + 40 * i;
            if (rva >= U32(s + 12) && rva < U32(s + 12) + U32(s + 16)) {
                sectionVa = U32(s + 12);
                sectionRaw = U32(s + 20);
            }
        }
        root = sectionRaw + (rva - sectionVa);
    }
    std::uint32_t U16(std::size_t at) const { return file[at] | (file[at + 1] << 8); }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    void Put32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    std::size_t Dir(std::uint32_t offset) const { return root + offset; }
    std::size_t Entries(std::size_t dir) const { return U16(dir + 12) + U16(dir + 14); }
    // File offset of the entry with this id in the directory at dir.
    std::size_t EntryWithId(std::size_t dir, std::uint32_t id) const
    {
        for (std::size_t i = 0; i < Entries(dir); ++i)
            if (U32(dir + 16 + 8 * i) == id)
                return dir + 16 + 8 * i;
        return 0;
    }
    std::size_t Sub(std::size_t entry) const { return Dir(U32(entry + 4) & 0x7FFFFFFFu); }
    std::size_t FileOf(std::uint32_t anRva) const { return sectionRaw + (anRva - sectionVa); }
};

} // namespace

// Every prefix of every valid file: a clean answer, never a crash.
TEST(DamagedInput, EveryTruncationGivesACleanResult)
{
    for (const auto &[name, file] : ValidFiles()) {
        const auto whole = Source(file);
        const int full = platform::CountIcons(whole);
        ASSERT_GT(full, 0) << name;
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            const platform::MemorySource source{std::span(file).first(cut)};
            const int count = platform::CountIcons(source);
            ASSERT_GE(count, 0) << name << " cut at " << cut;
            ASSERT_LE(count, full) << name << " cut at " << cut;
            for (int i = -8; i <= count; ++i)
                ExpectWellFormed(platform::ExtractIcon(source, i),
                                 name + " cut at " + std::to_string(cut));
        }
    }
}

// Damage that real broken and hostile files carry, each applied to a good
// PE32 file. Each gives a bounded count and a prompt, clean extraction.
TEST(DamagedInput, HostileResourceTrees)
{
    PeRecipe recipe;
    recipe.groups = {SmallGroup(std::uint16_t{1}, 1), SmallGroup(std::uint16_t{2}, 2)};
    const Bytes good = BuildPe(recipe);

    struct Case
    {
        const char *name;
        std::function<void(PeMap &)> damage;
        int count; // -1: anything bounded
        bool firstIcon;
    };
    const std::vector<Case> cases = {
        {"group type points back at the root",
         [](PeMap &m) { m.Put32(m.EntryWithId(m.root, 14) + 4, 0x80000000u); }, 0, false},
        {"group type points into the root's entries",
         [](PeMap &m) { m.Put32(m.EntryWithId(m.root, 14) + 4, 0x80000000u | 16u); }, 0, false},
        {"a group points back at its own directory",
         [](PeMap &m) {
             const std::size_t groups = m.Sub(m.EntryWithId(m.root, 14));
             m.Put32(groups + 16 + 4, m.U32(m.EntryWithId(m.root, 14) + 4));
         },
         2, false},
        {"root claims 65535 entries",
         [](PeMap &m) { m.file[m.root + 14] = 0xFF, m.file[m.root + 15] = 0xFF; }, -1, true},
        {"group type claims 131070 entries",
         [](PeMap &m) {
             const std::size_t groups = m.Sub(m.EntryWithId(m.root, 14));
             m.Put32(groups + 12, 0xFFFFFFFFu);
         },
         -1, true},
        {"group data lies outside the file",
         [](PeMap &m) {
             const std::size_t lang = m.Sub(m.EntryWithId(m.Sub(m.EntryWithId(m.root, 14)), 1));
             m.Put32(m.Dir(m.U32(lang + 16 + 4)), 0xFFFFFF00u);
         },
         2, false},
        {"group claims 65535 images",
         [](PeMap &m) {
             const std::size_t lang = m.Sub(m.EntryWithId(m.Sub(m.EntryWithId(m.root, 14)), 1));
             const std::size_t data = m.FileOf(m.U32(m.Dir(m.U32(lang + 16 + 4))));
             m.file[data + 4] = 0xFF, m.file[data + 5] = 0xFF;
         },
         2, true},
        {"every image claims four gigabytes",
         [](PeMap &m) {
             const std::size_t icons = m.Sub(m.EntryWithId(m.root, 3));
             for (std::size_t i = 0; i < m.Entries(icons); ++i) {
                 const std::size_t lang = m.Sub(icons + 16 + 8 * i);
                 m.Put32(m.Dir(m.U32(lang + 16 + 4)) + 4, 0xFFFFFFFFu);
             }
         },
         2, true},
        {"no image type at all", [](PeMap &m) { m.Put32(m.EntryWithId(m.root, 3), 0x7FFF); }, 2,
         false},
        {"65535 sections",
         [](PeMap &m) { m.file[m.U32(0x3C) + 6] = 0xFF, m.file[m.U32(0x3C) + 7] = 0xFF; }, -1,
         true},
        {"PE header offset past the end", [](PeMap &m) { m.Put32(0x3C, 0xFFFFFFF0u); }, 0, false},
        {"resource tree in no section", [](PeMap &m) { m.Put32(m.resourceDir, 0x7FFFFFF0u); }, 0,
         false},
    };
    for (const Case &c : cases) {
        Bytes file = good;
        PeMap map(file);
        c.damage(map);
        const auto source = Source(file);
        const int count = platform::CountIcons(source);
        if (c.count >= 0) {
            EXPECT_EQ(count, c.count) << c.name;
        }
        EXPECT_LE(static_cast<std::uint64_t>(count), file.size() / 8) << c.name;
        const platform::Icon first = platform::ExtractIcon(source, 0);
        ExpectWellFormed(first, c.name);
        if (c.count != 0) {
            EXPECT_EQ(!first.IsNull(), c.firstIcon) << c.name << " (count " << count << ")";
        }
        for (const int i : {1, count - 1, count, -1, -2})
            ExpectWellFormed(platform::ExtractIcon(source, i), c.name);
    }
}

TEST(DamagedInput, HostileHeadersInOtherContainers)
{
    const Picture picture = DrawPicture(32, 32, 1, false, 8);
    struct Case
    {
        const char *name;
        Bytes file;
        std::function<void(Bytes &)> damage;
    };
    auto put32 = [](Bytes &b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    const Bytes ico = BuildIconFile({MakeImage(picture, 8)});
    const Bytes png = BuildIconFile({MakeImage(DrawPicture(32, 32, 2, true), 32, true)});
    NeRecipe neRecipe;
    neRecipe.groups = {SmallGroup(std::uint16_t{1}, 1)};
    const Bytes ne = BuildNe(neRecipe);
    const std::vector<Case> cases = {
        {"ico claims 65535 images", ico, [](Bytes &b) { b[4] = 0xFF, b[5] = 0xFF; }},
        {"ico image offset past the end", ico, [&](Bytes &b) { put32(b, 6 + 12, 0xFFFFFFF0u); }},
        {"ico image of four gigabytes", ico, [&](Bytes &b) { put32(b, 6 + 8, 0xFFFFFFFFu); }},
        {"dib width of two billion", ico, [&](Bytes &b) { put32(b, 22 + 4, 0x7FFFFFFFu); }},
        {"dib height negative", ico, [&](Bytes &b) { put32(b, 22 + 8, 0x80000000u); }},
        {"dib palette of four billion colours", ico,
         [&](Bytes &b) { put32(b, 22 + 32, 0xFFFFFFFFu); }},
        {"png of 100000 x 100000", png,
         [](Bytes &b) {
             // IHDR width and height are big-endian at 16 and 20 of the stream.
             const std::size_t at = 22 + 16;
             b[at] = 0, b[at + 1] = 0x01, b[at + 2] = 0x86, b[at + 3] = 0xA0;
             b[at + 4] = 0, b[at + 5] = 0x01, b[at + 6] = 0x86, b[at + 7] = 0xA0;
         }},
        {"png stream corrupted", png,
         [](Bytes &b) { std::fill(b.begin() + 22 + 40, b.end(), 0x5A); }},
        {"ani chunk of four gigabytes", BuildAni({ico}),
         [&](Bytes &b) { put32(b, 16, 0xFFFFFFFFu); }},
        {"ani riff of size zero", BuildAni({ico}), [&](Bytes &b) { put32(b, 4, 0); }},
        {"bmp of 65535 x 65535", BuildBmp(picture, 8),
         [&](Bytes &b) { put32(b, 14 + 4, 0xFFFF), put32(b, 14 + 8, 0xFFFF); }},
        {"ne alignment shift of 30", ne,
         [](Bytes &b) {
             const std::size_t table =
                 (b[0x3C] | (b[0x3D] << 8)) + (b[(b[0x3C] | (b[0x3D] << 8)) + 0x24] |
                                               (b[(b[0x3C] | (b[0x3D] << 8)) + 0x25] << 8));
             b[table] = 30;
         }},
        {"ne type claims 65535 resources", ne,
         [](Bytes &b) {
             const std::size_t neAt = b[0x3C] | (b[0x3D] << 8);
             const std::size_t table = neAt + (b[neAt + 0x24] | (b[neAt + 0x25] << 8));
             b[table + 4] = 0xFF, b[table + 5] = 0xFF;
         }},
    };
    for (const Case &c : cases) {
        Bytes file = c.file;
        c.damage(file);
        const auto source = Source(file);
        const int count = platform::CountIcons(source);
        EXPECT_GE(count, 0) << c.name;
        EXPECT_LE(count, 4) << c.name;
        for (int i = -2; i <= count; ++i)
            ExpectWellFormed(platform::ExtractIcon(source, i), c.name);
    }
}

// Paths a user may browse that are not readable files.
TEST(DamagedInput, PathsThatAreNotFilesCountZero)
{
    const auto dir =
        std::filesystem::temp_directory_path() / ("rurorodode-paths-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto empty = dir / "empty.exe";
    std::ofstream(empty).close();
    const auto fifo = dir / "pipe.exe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto locked = dir / "locked.ico";
    {
        const Bytes ico = BuildIconFile({MakeImage(DrawPicture(16, 16, 1, false, 4), 4)});
        std::ofstream out(locked, std::ios::binary);
        out.write(reinterpret_cast<const char *>(ico.data()),
                  static_cast<std::streamsize>(ico.size()));
    }
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const bool root = ::geteuid() == 0; // root reads files whatever their mode

    for (const std::string &path : {(dir / "missing.exe").string(), dir.string(), empty.string(),
                                    fifo.string(), std::string("/dev/null"), std::string()}) {
        EXPECT_EQ(platform::CountIcons(path), 0) << path;
        EXPECT_TRUE(platform::ExtractIcon(path, 0).IsNull()) << path;
    }
    EXPECT_EQ(platform::CountIcons(locked.string()), root ? 1 : 0);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir);
}
