// The installed commands as whole processes, called the way they are used:
// the thumbnailer once per file of the folder, as a file manager calls it
// (median time per file, peak memory of any one run), and `iconprobe count`
// over the whole folder as one process against `wrestool -l -t 14` over the
// same files, start-up and library loading included on both sides.
//
//   bench_commands [benchmark flags] [folder]
//
// The folder is the argument, else $RURORODODE_BENCH_DIR, else Wine's 64-bit
// DLL folder. The summary after the table reports the goals but never fails
// on a missed one.

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;

namespace {

constexpr double kThumbnailGoalMs = 5.0;   // median per file, under
constexpr double kThumbnailGoalMiB = 10.0; // peak resident size of one run, under
constexpr double kCountGoal = 25.0;        // wrestool's time over iconprobe's, at least
constexpr int kThumbnailSize = 128;        // the file managers' "normal" size

const std::vector<std::string> kPeerCommand = {"wrestool", "-l", "-t", "14"};

struct Setup
{
    std::string Dir;
    std::vector<std::string> Files;
    std::string Thumbnailer;
    std::string Iconprobe;
    std::string Output; // where thumbnails go, removed after each run
    std::vector<std::vector<std::string>> PeerBatches;
};

// What the timed runs saw, for the summary.
struct Observed
{
    std::vector<double> ThumbnailMs; // every run of every pass
    double ThumbnailPeakMiB = 0;
    int Thumbnails = 0; // files that gave one, in the warm-up
};

struct Outcome
{
    bool Started = false;
    int Status = -1;
    double Seconds = 0;
    double PeakMiB = 0;
};

// Runs args with all output discarded; its time from start to exit and its
// own peak resident size.
Outcome RunProcess(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Outcome outcome;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0)
        return outcome;
    int status = 0;
    struct rusage usage
    {
    };
    while (::wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return outcome;
    outcome.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.Started = true;
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return outcome;
}

std::vector<std::string> ThumbnailCommand(const Setup &setup, const std::string &file)
{
    return {setup.Thumbnailer, "-s", std::to_string(kThumbnailSize), file, setup.Output};
}

void ThumbnailEach(benchmark::State &state, const Setup &setup, Observed &observed)
{
    for (auto _ : state) {
        for (const std::string &file : setup.Files) {
            const Outcome run = RunProcess(ThumbnailCommand(setup, file));
            if (!run.Started || run.Status < 0) {
                state.SkipWithError(("the thumbnailer failed on " + file).c_str());
                return;
            }
            observed.ThumbnailMs.push_back(run.Seconds * 1e3);
            observed.ThumbnailPeakMiB = std::max(observed.ThumbnailPeakMiB, run.PeakMiB);
            ::unlink(setup.Output.c_str());
        }
    }
    state.counters["files"] = static_cast<double>(setup.Files.size());
}

void CountOnce(benchmark::State &state, const Setup &setup)
{
    for (auto _ : state) {
        const Outcome run = RunProcess({setup.Iconprobe, "count", setup.Dir});
        if (!run.Started || run.Status != 0) {
            state.SkipWithError("iconprobe count failed");
            return;
        }
    }
}

void PeerList(benchmark::State &state, const Setup &setup)
{
    for (auto _ : state) {
        for (const std::vector<std::string> &batch : setup.PeerBatches) {
            const Outcome run = RunProcess(batch);
            if (!run.Started) {
                state.SkipWithError("wrestool did not run (it comes with icoutils)");
                return;
            }
        }
    }
    state.counters["processes"] = static_cast<double>(setup.PeerBatches.size());
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void PrintSummary(const Setup &setup, const Observed &observed,
                  const bench::RecordingReporter &reporter)
{
    std::printf("\nbench_commands: %zu files in %s\n", setup.Files.size(), setup.Dir.c_str());
    const double median = Median(observed.ThumbnailMs);
    std::printf("  thumbnailer -s %d, one process per file: %d of %zu files gave a thumbnail\n",
                kThumbnailSize, observed.Thumbnails, setup.Files.size());
    if (median >= 0) {
        std::printf("    median %.2f ms per file (goal: under %.0f ms): %s\n", median,
                    kThumbnailGoalMs, bench::Verdict(median < kThumbnailGoalMs));
        std::printf("    peak memory of one run %.1f MiB (goal: under %.0f MiB): %s\n",
                    observed.ThumbnailPeakMiB, kThumbnailGoalMiB,
                    bench::Verdict(observed.ThumbnailPeakMiB < kThumbnailGoalMiB));
    }
    const double count = reporter.Seconds("BM_IconprobeCount");
    const double peer = reporter.Seconds("BM_WrestoolList");
    if (count > 0 && peer > 0) {
        const double ratio = peer / count;
        std::printf("  iconprobe count, one process:   %8.1f ms\n", count * 1e3);
        std::printf("  wrestool -l -t 14 (%zu process%s): %8.1f ms\n", setup.PeerBatches.size(),
                    setup.PeerBatches.size() == 1 ? "" : "es", peer * 1e3);
        std::printf("  wrestool / iconprobe count:     %8.1fx (goal: at least %.0fx): %s\n", ratio,
                    kCountGoal, bench::Verdict(ratio >= kCountGoal));
    }
}

} // namespace

int main(int argc, char **argv)
{
    Setup setup;
    if (!bench::ParseCommandLine(argc, argv, setup.Dir))
        return 2;
    std::string error;
    if (!bench::ListRegularFiles(setup.Dir, setup.Files, error)) {
        std::fprintf(stderr, "bench_commands: %s\n", error.c_str());
        return 1;
    }
    const fs::path build = fs::absolute(fs::path(argv[0])).parent_path().parent_path();
    setup.Thumbnailer = (build / "tools" / "thumbnailer" / "rurorodode-thumbnailer").string();
    setup.Iconprobe = (build / "tools" / "iconprobe" / "iconprobe").string();
    const fs::path work =
        fs::temp_directory_path() / ("rurorodode-bench-commands-" + std::to_string(::getpid()));
    fs::create_directories(work);
    setup.Output = (work / "thumbnail.png").string();
    setup.PeerBatches = bench::CommandBatches(kPeerCommand, setup.Files);

    // One untimed pass of everything: the same warm page cache for all.
    Observed observed;
    for (const std::string &file : setup.Files) {
        const Outcome run = RunProcess(ThumbnailCommand(setup, file));
        if (!run.Started) {
            std::fprintf(stderr, "bench_commands: cannot run %s\n", setup.Thumbnailer.c_str());
            return 1;
        }
        observed.Thumbnails += run.Status == 0;
        ::unlink(setup.Output.c_str());
    }
    if (RunProcess({setup.Iconprobe, "count", setup.Dir}).Status != 0) {
        std::fprintf(stderr, "bench_commands: cannot run %s\n", setup.Iconprobe.c_str());
        return 1;
    }
    for (const std::vector<std::string> &batch : setup.PeerBatches)
        if (!RunProcess(batch).Started) {
            std::fprintf(stderr, "bench_commands: cannot run wrestool (it comes with icoutils)\n");
            return 1;
        }

    bench::RegisterRealTime("BM_ThumbnailerEachFile", ThumbnailEach, std::cref(setup),
                            std::ref(observed));
    bench::RegisterRealTime("BM_IconprobeCount", CountOnce, std::cref(setup));
    bench::RegisterRealTime("BM_WrestoolList", PeerList, std::cref(setup));
    bench::RecordingReporter reporter;
    reporter.RunAll();

    PrintSummary(setup, observed, reporter);
    fs::remove_all(work);
    return reporter.AnyFailed() ? 1 : 0;
}
