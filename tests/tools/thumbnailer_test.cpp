// The thumbnailer as a file manager runs it: one process per file, the
// picture read back from the PNG it wrote.

#include "fixtures.h"
#include "platform/icon.h"
#include "platform/pngdecode.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
// end normally).
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
};

fixtures::Bytes IconOf(const std::vector<Stored> &images)
{
    std::vector<fixtures::IconImage> list;
    for (const Stored &s : images)
        list.push_back(fixtures::MakeImage(Solid(s.side, s.rgb), 32, s.png));
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

TEST_P(ThumbnailRows, BestImageNoLargerThanTheSizeWithAlpha)
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
                    Row{"between", IconOf(kThree), 40, 32, 0x323232},
                    Row{"largest fits", IconOf(kThree), 128, 48, 0x484848},
                    Row{"smallest", IconOf(kThree), 20, 16, 0x101010},
                    Row{"none fits, largest scaled", IconOf(kThree), 8, 8, 0x484848},
                    Row{"huge request", IconOf(kThree), 100000, 48, 0x484848},
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

// Nothing to show, or a request that makes no sense: a quick non-zero exit
// and no output file.
TEST(Thumbnailer, FailuresWriteNothing)
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
    } rows[] = {
        {{"-s", "128", text.string(), out}, 1},
        {{"-s", "128", damaged.string(), out}, 1},
        {{"-s", "128", fifo.string(), out}, 1},
        {{"-s", "128", folder.string(), out}, 1},
        {{"-s", "128", (Folder() / "missing.exe").string(), out}, 1},
        {{"-s", "128", good.string(), (Folder() / "no" / "such" / "out.png").string()}, 1},
        {{"-s", "0", good.string(), out}, 2},
        {{"-s", "-5", good.string(), out}, 2},
        {{"-s", "12px", good.string(), out}, 2},
        {{"-s", "99999999999", good.string(), out}, 2},
        {{"-s"}, 2},
        {{good.string(), out}, 2},
        {{"-s", "128", good.string()}, 2},
        {{"-x", "-s", "128", good.string(), out}, 2},
    };
    for (const auto &row : rows) {
        std::string joined;
        for (const std::string &a : row.arguments)
            joined += a + " ";
        EXPECT_EQ(RunThumbnailer(row.arguments), row.status) << joined;
        EXPECT_FALSE(fs::exists(out)) << joined;
    }
    // The same request on a good file works: the failures are the files'.
    EXPECT_EQ(RunThumbnailer({"-s", "32", good.string(), out}), 0);
    EXPECT_TRUE(fs::exists(out));
}

} // namespace
