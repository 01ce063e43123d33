// The thumbnailer as a file manager runs it: one process per file, the
// picture read back from the PNG it wrote.

#include "fixtures.h"
#include "platform/icon.h"
#include "platform/pngdecode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path Folder()
{
    static const fs::path folder =
        fs::temp_directory_path() / ("rurorodode-thumbnailer-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// The files go when the tests end.
class RemoveFolder : public testing::Environment
{
public:
    void TearDown() override { fs::remove_all(Folder()); }
};
const testing::Environment *const kRemoveFolder =
    testing::AddGlobalTestEnvironment(new RemoveFolder);

void Write(const fs::path &path, const fixtures::Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

fixtures::Bytes Read(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the thumbnailer with arguments; its exit status (-1 when it did not
// end normally, as when it hangs).
int RunThumbnailer(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    std::string program = RURORODODE_THUMBNAILER;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string &a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// A picture of one colour with a transparent top-left quarter square, so
// that alpha shows even scaled down.
fixtures::Picture Solid(int side, std::uint32_t rgb)
{
    fixtures::Picture p;
    p.width = p.height = side;
    p.argb.assign(static_cast<std::size_t>(side) * side, 0xFF000000u | rgb);
    p.mask.assign(p.argb.size(), 0);
    for (int y = 0; y < side / 4; ++y)
        for (int x = 0; x < side / 4; ++x) {
            p.argb[static_cast<std::size_t>(y * side + x)] = 0;
            p.mask[static_cast<std::size_t>(y * side + x)] = 1;
        }
    return p;
}

// An icon whose images each have their own size and colour.
struct Stored
{
    int side;
    std::uint32_t rgb;
    bool png;
    int bits = 32;
};

fixtures::Bytes IconOf(const std::vector<Stored> &images)
{
    std::vector<fixtures::IconImage> list;
    for (const Stored &s : images)
        list.push_back(fixtures::MakeImage(Solid(s.side, s.rgb), s.bits, s.png));
    return fixtures::BuildIconFile(list);
}

fixtures::Bytes ProgramOf(const std::vector<Stored> &images)
{
    fixtures::PeRecipe recipe;
    fixtures::IconGroup group{std::uint16_t{1}, {0x0409}, {}, {}};
    for (const Stored &s : images)
        group.images.push_back(fixtures::MakeImage(Solid(s.side, s.rgb), 32, s.png));
    recipe.groups.push_back(group);
    recipe.groups.push_back(
        {std::uint16_t{2}, {0x0409}, {fixtures::MakeImage(Solid(32, 0xEEEEEE), 32)}, {}});
    return fixtures::BuildPe(recipe);
}

const std::vector<Stored> kThree = {
    {16, 0x101010, false}, {48, 0x484848, false}, {32, 0x323232, false}};

struct Row
{
    const char *name;
    fixtures::Bytes file;
    int size;
    int side;          // of the thumbnail
    std::uint32_t rgb; // the image it came from
};

class ThumbnailRows : public testing::TestWithParam<Row>
{
};

TEST_P(ThumbnailRows, SmallestImageAtLeastTheSizeScaledDownWithAlpha)
{
    const Row &row = GetParam();
    const fs::path input = Folder() / (std::string(row.name) + ".in");
    const fs::path output = Folder() / (std::string(row.name) + ".png");
    Write(input, row.file);
    ASSERT_EQ(RunThumbnailer({"-s", std::to_string(row.size), input.string(), output.string()}), 0);
    const platform::Icon picture = platform::DecodeIconPng(Read(output));
    ASSERT_FALSE(picture.IsNull());
    EXPECT_EQ(picture.Width(), row.side);
    EXPECT_EQ(picture.Height(), row.side);
    // The middle keeps the chosen image's colour, the corner its alpha.
    const std::uint32_t middle = picture.Pixel(row.side / 2, row.side / 2);
    EXPECT_EQ(middle >> 24, 0xFFu);
    EXPECT_EQ(middle & 0xFFFFFFu, row.rgb);
    EXPECT_EQ(picture.Pixel(0, 0) >> 24, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ThumbnailRows,
    testing::Values(Row{"exact", IconOf(kThree), 32, 32, 0x323232},
                    Row{"between", IconOf(kThree), 40, 40, 0x484848},
                    Row{"none reaches, largest as it is", IconOf(kThree), 128, 48, 0x484848},
                    Row{"smaller than all", IconOf(kThree), 8, 8, 0x101010},
                    Row{"huge request", IconOf(kThree), 100000, 48, 0x484848},
                    Row{"more bits first",
                        IconOf({{32, 0x080808, false, 8}, {32, 0x202020, false}, kThree[0]}), 24,
                        24, 0x202020},
                    Row{"png image", IconOf({{256, 0x256256, true}, {32, 0x323232, false}}), 256,
                        256, 0x256256},
                    Row{"png scaled", IconOf({{256, 0x256256, true}}), 128, 128, 0x256256},
                    Row{"program's first icon", ProgramOf(kThree), 64, 48, 0x484848},
                    Row{"cursor file",
                        fixtures::BuildIconFile({fixtures::MakeImage(Solid(32, 0x0C0C0C), 32)}, 2),
                        256, 32, 0x0C0C0C},
                    Row{"animated cursor",
                        fixtures::BuildAni({fixtures::BuildIconFile(
                            {fixtures::MakeImage(Solid(32, 0x0A0A0A), 32)}, 2)}),
                        128, 32, 0x0A0A0A}),
    [](const testing::TestParamInfo<Row> &info) {
        std::string name = info.param.name;
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// A program whose icon holds 16, 32 and 48 pixel bitmaps and a 256 pixel
// PNG with detail in every pixel and a partly transparent disc on
// transparent black: asked for 128, it gives the 256 image scaled down as
// gdk-pixbuf scales it, give or take rounding. A coarser filter, or one that
// lets the black into the disc's edge, is further off.
TEST(Thumbnailer, LargeImageScaledDownLikeGdkPixbuf)
{
    fixtures::Picture large = Solid(256, 0);
    for (std::uint32_t at = 0; at < large.argb.size(); ++at) {
        const std::uint32_t x = at % 256, y = at / 256, noise = (at * 2654435761u) >> 24;
        const bool inside = (x - 128) * (x - 128) + (y - 128) * (y - 128) < 100 * 100;
        const std::uint32_t alpha = x < 128 ? 255 : 128 + y / 2;
        large.argb[at] = inside ? alpha << 24 | noise << 16 | x << 8 | ((x ^ y) & 1) * 255 : 0;
        large.mask[at] = inside ? 0 : 1;
    }
    fixtures::IconGroup group{std::uint16_t{1}, {0x0409}, {}, {}};
    for (const int side : {16, 32, 48})
        group.images.push_back(fixtures::MakeImage(fixtures::DrawPicture(side, side, 1, true), 32));
    group.images.push_back(fixtures::MakeImage(large, 32, true));
    const fs::path program = Folder() / "large.exe", source = Folder() / "large.png";
    const fs::path ours = Folder() / "ours.png", theirs = Folder() / "theirs.png";
    Write(program, fixtures::BuildPe({false, {group}}));
    Write(source, fixtures::EncodePng(large));
    ASSERT_EQ(RunThumbnailer({"-s", "128", program.string(), ours.string()}), 0);
    const std::string peer =
        "gdk-pixbuf-thumbnailer -s 128 " + source.string() + " " + theirs.string();
    ASSERT_EQ(std::system(peer.c_str()), 0)
        << "needs gdk-pixbuf-thumbnailer (libgdk-pixbuf2.0-bin)";
    const platform::Icon a = platform::DecodeIconPng(Read(ours));
    const platform::Icon b = platform::DecodeIconPng(Read(theirs));
    ASSERT_EQ(a.Width(), 128);
    ASSERT_EQ(a.Height(), 128);
    ASSERT_EQ(b.Width(), 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            // Colour is only as exact as the alpha it was divided by.
            for (int shift = b.Pixel(x, y) >> 24 < 32 ? 24 : 0; shift < 32; shift += 8)
                ASSERT_NEAR(a.Pixel(x, y) >> shift & 0xFF, b.Pixel(x, y) >> shift & 0xFF, 2)
                    << x << "," << y << " bits " << shift;
}

// A request that makes no sense or a file with nothing to show: a message,
// a non-zero exit, and no output file; and the requests that work.
TEST(Thumbnailer, ArgumentsAndFiles)
{
    const fs::path good = Folder() / "good.ico";
    Write(good, IconOf(kThree));
    const fs::path text = Folder() / "notes.exe";
    Write(text, {'M', 'Z', 'h', 'i'});
    fixtures::Bytes cut = ProgramOf(kThree);
    cut.resize(cut.size() / 2);
    const fs::path damaged = Folder() / "damaged.exe";
    Write(damaged, cut);
    const fs::path fifo = Folder() / "pipe.exe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = Folder() / "folder.exe";
    fs::create_directories(folder);
    const std::string out = (Folder() / "out.png").string();

    const struct
    {
        std::vector<std::string> arguments;
        int status;
        bool writes = false;
    } rows[] = {
        {{"-s", "128", text.string(), out}, 1},
        {{"-s", "128", damaged.string(), out}, 1},
        {{"-s", "128", fifo.string(), out}, 1},
        {{"-s", "128", folder.string(), out}, 1},
        {{"-s", "128", (Folder() / "missing.exe").string(), out}, 1},
        {{"-s", "128", good.string(), (Folder() / "no" / "such" / "out.png").string()}, 1},
        {{"-s", "128", good.string(), fifo.string()}, 1},
        {{"-s", "128", good.string(), folder.string()}, 1},
        {{"-s", "0", good.string(), out}, 2},
        {{"-s", "-1", good.string(), out}, 2},
        {{"-s", "12px", good.string(), out}, 2},
        {{"-s", "99999999999", good.string(), out}, 2},
        {{"-s"}, 2},
        {{good.string(), out}, 2},
        {{"-s", "128", good.string()}, 2},
        {{"-x", "-s", "128", good.string(), out}, 2},
        {{"--help"}, 0},
        {{"--version"}, 0},
        {{"-s", "1", good.string(), out}, 0, true},
        {{"--size=100000", "--", good.string(), out}, 0, true},
    };
    for (const auto &row : rows) {
        std::string joined;
        for (const std::string &a : row.arguments)
            joined += a + " ";
        EXPECT_EQ(RunThumbnailer(row.arguments), row.status) << joined;
        EXPECT_EQ(fs::exists(out), row.writes) << joined;
        fs::remove(out);
    }
}

} // namespace
