// Saving every whole icon of a folder of program files: `iconprobe save-all`
// with --format ico-all, png and png-sizes, against `wrestool -x -t 14`
// writing the same group icons into a folder, in the same run. After the
// timings, each of our .ico files is compared image by image with wrestool's
// file for the same group, and every group where they differ is reported
// with the reason.
//
// Then program files with 8,000 to 30,000 icon groups, built here: `iconprobe
// list` and `save-all --format ico-all` against `wrestool -l` and `wrestool
// -x -t 14` on the same file. Both must grow with the number of groups, not
// with its square.

#include "benchsupport.h"
#include "fixtures.h"
#include "platform/bytesource.h"
#include "platform/extracticon.h"
#include "platform/le.h"
#include "platform/wholeicon.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double kSpeedGoal = 5;      // times faster than wrestool
constexpr double kPngGoal = 1.5;      // png's time over ico-all's, at most
constexpr double kPngSizesGoal = 2;   // png-sizes' time over png's, at most
constexpr double kMemoryGoalMiB = 50; // peak resident size of iconprobe
constexpr int kManyGroups[] = {8000, 16000, 30000};
constexpr double kManyListGoal = 0.5; // seconds to list the largest, at most

std::string FreshFolder(const fs::path &root, const char *name)
{
    const fs::path folder = root / name;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    return folder.string();
}

// Runs a peer to its end; its peak resident size in MiB goes to peak.
bool RunMeasured(const std::vector<std::string> &args, double &peak, std::string &error)
{
    const pid_t pid = bench::Start(args, -1, bench::Stderr::Discard, error);
    if (pid < 0)
        return false;
    int status = 0;
    struct rusage usage
    {
    };
    if (::wait4(pid, &status, 0, &usage) != pid) {
        error = "wait4: " + bench::ErrnoText(errno);
        return false;
    }
    peak = std::max(peak, static_cast<double>(usage.ru_maxrss) / 1024.0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = args[0] + " failed";
        return false;
    }
    return true;
}

struct Peaks
{
    double icoAll = 0;
    double png = 0;
    double pngSizes = 0;
};

void IconprobeRun(benchmark::State &state, std::string probe, std::string dir, std::string format,
                  fs::path root, double *peak)
{
    for (auto _ : state) {
        state.PauseTiming();
        const std::string out = FreshFolder(root, format.c_str());
        state.ResumeTiming();
        std::string error;
        if (!RunMeasured({probe, "save-all", dir, out, "--format", format, "--mask", "*.exe;*.dll"},
                         *peak, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
}

// A program file with groups icon groups, each naming one small image of
// its own, alone in a folder; its path, empty on failure. It is built in a
// child process: a child spawned later starts out with this process's peak
// resident size (posix_spawn shares the memory until the exec), and the
// peaks measured above must be iconprobe's alone.
std::string WriteManyGroups(const fs::path &root, int groups)
{
    const fs::path folder = root / ("groups" + std::to_string(groups));
    const fs::path file = folder / "many.dll";
    const pid_t pid = ::fork();
    if (pid == 0) {
        fixtures::PeRecipe recipe;
        for (int i = 0; i < groups; ++i)
            recipe.groups.push_back(
                {static_cast<std::uint16_t>(i + 1),
                 {0x0409},
                 {fixtures::MakeImage(fixtures::DrawPicture(16, 16, i, false, 4), 4)},
                 {}});
        const fixtures::Bytes bytes = fixtures::BuildPe(recipe);
        std::error_code ec;
        fs::create_directories(folder, ec);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        std::_Exit(out ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return {};
    return file.string();
}

// One command on a many-group file: a listing, or a save into a fresh
// folder put at args[outAt] when outAt is not 0.
void ManyGroupsRun(benchmark::State &state, std::vector<std::string> args, std::size_t outAt,
                   fs::path root)
{
    for (auto _ : state) {
        if (outAt != 0) {
            state.PauseTiming();
            args[outAt] = FreshFolder(root, "many-out");
            state.ResumeTiming();
        }
        double peak = 0;
        std::string error;
        if (!RunMeasured(args, peak, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
}

void WrestoolRun(benchmark::State &state, std::vector<std::string> files, fs::path root)
{
    for (auto _ : state) {
        state.PauseTiming();
        const std::string out = FreshFolder(root, "wrestool");
        state.ResumeTiming();
        bench::RunWrestoolExtract(out, files);
    }
}

std::vector<std::uint8_t> ReadAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

// The images of an icon file as its directory gives them, in order.
std::vector<std::vector<std::uint8_t>> ImagesOf(const std::vector<std::uint8_t> &file)
{
    const platform::LeView v(file);
    std::vector<std::vector<std::uint8_t>> images;
    const std::size_t count = v.U16(4);
    for (std::size_t i = 0; i < count && v.Has(6 + 16 * i, 16); ++i) {
        const auto bytes = v.Sub(v.U32(6 + 16 * i + 12), v.U32(6 + 16 * i + 8));
        images.emplace_back(bytes.begin(), bytes.end());
    }
    return images;
}

// wrestool's file for a group: FILE_14_NAME.ico, or FILE_14_NAME_LANGUAGE.ico
// where it names the language too (as it does for the Wine files), then the
// lowest language when there are several (the reader takes the first stored).
fs::path WrestoolFile(const fs::path &folder, const std::string &file, const std::string &name)
{
    const fs::path plain = folder / (file + "_14_" + name + ".ico");
    std::error_code ec;
    if (fs::exists(plain, ec))
        return plain;
    const std::string prefix = file + "_14_" + name + "_";
    fs::path best;
    long bestLanguage = -1;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (n.rfind(prefix, 0) != 0 || n.size() < prefix.size() + 5)
            continue;
        const std::string language = n.substr(prefix.size(), n.size() - prefix.size() - 4);
        char *stop = nullptr;
        const long value = std::strtol(language.c_str(), &stop, 10);
        if (*stop != 0)
            continue;
        if (bestLanguage < 0 || value < bestLanguage) {
            bestLanguage = value;
            best = it->path();
        }
    }
    return best;
}

struct Comparison
{
    int groups = 0;
    int same = 0;
    std::vector<std::string> differences;
};

// Our file for icon index of a program with count icons, as save-all names it.
fs::path OurFile(const fs::path &folder, const std::string &file, int index, int count, bool cursor)
{
    std::string base = file.size() < 4 ? file : file.substr(0, file.size() - 4);
    if (count >= 2)
        base += std::to_string(index);
    return folder / (base + (cursor ? ".cur" : ".ico"));
}

Comparison Compare(const std::vector<std::string> &programs, const fs::path &ours,
                   const fs::path &theirs)
{
    Comparison c;
    for (const std::string &path : programs) {
        const std::string file = fs::path(path).filename().string();
        const int count = platform::CountIcons(path);
        for (int index = 0; index < count; ++index) {
            platform::WholeIcon icon;
            if (platform::ReadWholeIcon(path, index, icon) != platform::WholeIconResult::Ok ||
                !icon.hasName)
                continue;
            ++c.groups;
            const std::string name = icon.name.isId ? std::to_string(icon.name.id) : icon.name.text;
            const std::string where = file + " group " + name;
            const fs::path mine = OurFile(ours, file, index, count, icon.cursor);
            const fs::path other = WrestoolFile(theirs, file, name);
            if (!fs::exists(mine)) {
                c.differences.push_back(where + ": we wrote no file");
                continue;
            }
            if (other.empty()) {
                c.differences.push_back(where + ": wrestool wrote no file");
                continue;
            }
            const auto a = ImagesOf(ReadAll(mine));
            const auto b = ImagesOf(ReadAll(other));
            if (a == b) {
                ++c.same;
                continue;
            }
            std::string why;
            if (icon.skipped > 0)
                why = std::to_string(icon.skipped) +
                      " entries left out by us (missing, damaged or repeated images)";
            else if (a.size() != b.size())
                why =
                    "image counts " + std::to_string(a.size()) + " and " + std::to_string(b.size());
            else
                why = "image bytes differ";
            c.differences.push_back(where + ": " + why);
        }
    }
    return c;
}

} // namespace

int main(int argc, char **argv)
{
    std::string dir;
    if (!bench::ParseCommandLine(argc, argv, dir))
        return 2;
    std::vector<std::string> files;
    std::string error;
    if (!bench::ListRegularFiles(dir, files, error)) {
        std::fprintf(stderr, "bench_wholeicon: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> programs = bench::ProgramFiles(files);
    const fs::path root =
        fs::temp_directory_path() / ("rurorodode-bench-wholeicon-" + std::to_string(::getpid()));
    const std::string probe =
        (fs::path(argv[0]).parent_path().parent_path() / "tools" / "iconprobe" / "iconprobe")
            .string();

    Peaks peaks;
    bench::RegisterRealTime("BM_IconprobeIcoAll", IconprobeRun, probe, dir, std::string("ico-all"),
                            root, &peaks.icoAll);
    bench::RegisterRealTime("BM_IconprobePng", IconprobeRun, probe, dir, std::string("png"), root,
                            &peaks.png);
    bench::RegisterRealTime("BM_IconprobePngSizes", IconprobeRun, probe, dir,
                            std::string("png-sizes"), root, &peaks.pngSizes);
    bench::RegisterRealTime("BM_WrestoolExtract", WrestoolRun, programs, root);
    for (const int groups : kManyGroups) {
        const std::string file = WriteManyGroups(root, groups);
        if (file.empty()) {
            std::fprintf(stderr, "bench_wholeicon: cannot write a file of %d groups\n", groups);
            return 1;
        }
        const std::string folder = fs::path(file).parent_path().string();
        const std::string n = "/" + std::to_string(groups);
        using Args = std::vector<std::string>;
        bench::RegisterRealTime(("BM_ManyGroupsList" + n).c_str(), ManyGroupsRun,
                                Args{probe, "list", file}, 0, root);
        bench::RegisterRealTime(("BM_ManyGroupsWrestoolList" + n).c_str(), ManyGroupsRun,
                                Args{"wrestool", "-l", file}, 0, root);
        bench::RegisterRealTime(("BM_ManyGroupsSaveAll" + n).c_str(), ManyGroupsRun,
                                Args{probe, "save-all", folder, "", "--format", "ico-all"}, 3,
                                root);
        bench::RegisterRealTime(("BM_ManyGroupsWrestoolExtract" + n).c_str(), ManyGroupsRun,
                                Args{"wrestool", "-x", "-t", "14", "-o", "", file}, 5, root);
    }
    bench::RecordingReporter reporter;
    reporter.RunAll();

    const double icoAll = reporter.Seconds("BM_IconprobeIcoAll");
    const double png = reporter.Seconds("BM_IconprobePng");
    const double pngSizes = reporter.Seconds("BM_IconprobePngSizes");
    const double wrestool = reporter.Seconds("BM_WrestoolExtract");
    const Comparison c = Compare(programs, root / "ico-all", root / "wrestool");
    std::printf("\nSummary: %zu program files in %s\n", programs.size(), dir.c_str());
    std::printf("  iconprobe save-all --format ico-all: %.1f ms, peak %.1f MiB\n", icoAll * 1e3,
                peaks.icoAll);
    std::printf("  iconprobe save-all --format png:     %.1f ms, peak %.1f MiB\n", png * 1e3,
                peaks.png);
    std::printf("  iconprobe save-all --format png-sizes: %.1f ms, peak %.1f MiB\n", pngSizes * 1e3,
                peaks.pngSizes);
    std::printf("  wrestool -x -t 14:                   %.1f ms\n", wrestool * 1e3);
    std::printf("  goal, ico-all at least %.0f times faster than wrestool (%.1f times): %s\n",
                kSpeedGoal, icoAll > 0 ? wrestool / icoAll : 0.0,
                bench::Verdict(icoAll > 0 && wrestool >= kSpeedGoal * icoAll));
    std::printf("  goal, png no more than %.1f times ico-all (%.2f times): %s\n", kPngGoal,
                icoAll > 0 ? png / icoAll : 0.0,
                bench::Verdict(icoAll > 0 && png >= 0 && png <= kPngGoal * icoAll));
    std::printf("  goal, png-sizes no more than %.1f times png (%.2f times): %s\n", kPngSizesGoal,
                png > 0 ? pngSizes / png : 0.0,
                bench::Verdict(png > 0 && pngSizes >= 0 && pngSizes <= kPngSizesGoal * png));
    std::printf(
        "  goal, peak memory under %.0f MiB: %s\n", kMemoryGoalMiB,
        bench::Verdict(std::max({peaks.icoAll, peaks.png, peaks.pngSizes}) < kMemoryGoalMiB));
    std::printf("  groups with the same images as wrestool's, byte for byte: %d of %d: %s\n",
                c.same, c.groups, bench::Verdict(c.groups > 0 && c.same == c.groups));
    for (const std::string &d : c.differences)
        std::printf("    differs: %s\n", d.c_str());
    std::printf("\nOne program file with many icon groups (16 x 16 at 4 bits each):\n");
    double largest = -1;
    for (const int groups : kManyGroups) {
        const std::string n = "/" + std::to_string(groups);
        const double list = reporter.Seconds("BM_ManyGroupsList" + n);
        const double peerList = reporter.Seconds("BM_ManyGroupsWrestoolList" + n);
        const double save = reporter.Seconds("BM_ManyGroupsSaveAll" + n);
        const double peerSave = reporter.Seconds("BM_ManyGroupsWrestoolExtract" + n);
        std::printf("  %5d groups: list %.0f ms (wrestool -l %.0f ms, %.2f times its time), "
                    "save-all ico-all %.0f ms (wrestool -x %.0f ms, %.2f times)\n",
                    groups, list * 1e3, peerList * 1e3, peerList > 0 ? list / peerList : 0.0,
                    save * 1e3, peerSave * 1e3, peerSave > 0 ? save / peerSave : 0.0);
        largest = list;
    }
    std::printf("  goal, list of %d groups under %.1f s: %s\n",
                kManyGroups[std::size(kManyGroups) - 1], kManyListGoal,
                bench::Verdict(largest >= 0 && largest < kManyListGoal));
    std::error_code ec;
    fs::remove_all(root, ec);
    return reporter.AnyFailed() ? 1 : 0;
}
