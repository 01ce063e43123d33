// Speed of counting and extracting the icons of a folder of real program files,
// with wrestool listing the group icons of the same files as the peer, timed in
// the same run on the same (warm) page cache.
//
//   bench_extract [benchmark flags] [folder]
//
// The folder is the argument, else $RURORODODE_BENCH_DIR, else Wine's 64-bit
// DLL folder. The summary is printed after the benchmark table; it reports the
// goals but never fails on a missed one.

#include "platform/extracticon.h"
#include "platform/icon.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr const char *kDefaultDir = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
constexpr std::size_t kMinFiles = 500;
constexpr double kSpeedGoal = 20.0;     // wrestool's time over ours, at least
constexpr double kMemoryGoalMiB = 20.0; // peak resident size, under
constexpr std::size_t kMaxListed = 10;  // disagreements shown in the summary

const std::vector<std::string> kPeerCommand = {"wrestool", "-l", "-t", "14"};

struct Disagreement
{
    std::string File;
    int Ours = 0;
    int Peer = 0;
};

// Everything the timed loops check their work against, gathered in the
// untimed warm-up.
struct Corpus
{
    std::string Dir;
    std::vector<std::string> Files;
    std::vector<std::vector<std::string>> Batches; // whole wrestool command lines
    long long Icons = 0;                           // sum of CountIcons
    long long Extracted = 0;                       // indices below the count that gave an icon
    long long NullIcons = 0;                       // indices below the count that gave none
    long long WrongSize = 0;                       // icons not kIconSize square
    long long PeerIcons = 0;                       // distinct group icon names wrestool lists
    std::vector<Disagreement> Disagreements;
};

double PeakRssMiB()
{
    // ru_maxrss of SELF leaves out children, so wrestool's memory is not ours.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

std::string ErrnoText(int err)
{
    return std::error_code(err, std::generic_category()).message();
}

// Runs args[0] from PATH with stdin and stderr on /dev/null and stdout on
// outFd, or /dev/null when outFd < 0. posix_spawn rather than fork so that the
// child never copies (and never counts) our pages. Returns the child's pid, or
// -1 with error set.
pid_t Start(const std::vector<std::string> &args, int outFd, std::string &error)
{
    std::vector<char *> argv;
    argv.reserve(args.size() + 1);
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // wrestool complains on stderr about every file without resources.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = -1;
    const int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        error = "cannot run " + args[0] + ": " + ErrnoText(err);
        return -1;
    }
    return pid;
}

bool Finish(pid_t pid, const std::string &name, std::string &error)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = "waiting for " + name + ": " + ErrnoText(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (WIFEXITED(status))
        error = name + " exited with status " + std::to_string(WEXITSTATUS(status));
    else
        error = name + " was killed by signal " + std::to_string(WTERMSIG(status));
    return false;
}

bool RunQuiet(const std::vector<std::string> &args, std::string &error)
{
    const pid_t pid = Start(args, -1, error);
    return pid >= 0 && Finish(pid, args[0], error);
}

bool RunCapture(const std::vector<std::string> &args, std::string &out, std::string &error)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = "pipe: " + ErrnoText(errno);
        return false;
    }
    const pid_t pid = Start(args, fds[1], error);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    out.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fds[0]);
    return Finish(pid, args[0], error);
}

// The same count our reader gives: one per name under type 14, whatever its
// languages. wrestool prints one line per name and language.
int CountPeerGroups(const std::string &listing)
{
    std::set<std::string> names;
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        const std::string line = listing.substr(start, end - start);
        start = end + 1;
        const std::size_t name = line.find("--name=");
        if (line.rfind("--type=14 ", 0) != 0 || name == std::string::npos)
            continue;
        std::size_t stop = line.find(" --language=", name);
        if (stop == std::string::npos)
            stop = line.find(" [", name);
        names.insert(line.substr(name, stop == std::string::npos ? stop : stop - name));
    }
    return static_cast<int>(names.size());
}

// argv and the environment share one kernel limit, so split the file list
// into command lines that fit with room to spare.
std::vector<std::vector<std::string>> MakeBatches(const std::vector<std::string> &files)
{
    auto cost = [](const std::string &s) { return s.size() + 1 + sizeof(char *); };
    long argMax = sysconf(_SC_ARG_MAX);
    if (argMax <= 0)
        argMax = 128 * 1024;
    std::size_t used = 64 * 1024; // margin for the loader and anything added later
    for (char **e = environ; *e != nullptr; ++e)
        used += std::strlen(*e) + 1 + sizeof(char *);
    for (const std::string &arg : kPeerCommand)
        used += cost(arg);
    const std::size_t budget =
        static_cast<std::size_t>(argMax) > used ? static_cast<std::size_t>(argMax) - used : 0;

    std::vector<std::vector<std::string>> batches;
    std::size_t size = 0;
    for (const std::string &file : files) {
        if (batches.empty() ||
            (size + cost(file) > budget && batches.back().size() > kPeerCommand.size())) {
            batches.push_back(kPeerCommand);
            size = 0;
        }
        batches.back().push_back(file);
        size += cost(file);
    }
    return batches;
}

bool CollectFiles(Corpus &corpus, std::string &error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::absolute(corpus.Dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        error = "'" + corpus.Dir + "' is not a folder";
        return false;
    }
    corpus.Dir = dir.string();
    // Absolute paths also keep a name starting with '-' from reading as an option.
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            corpus.Files.push_back(it->path().string());
    }
    if (ec) {
        error = "cannot list '" + corpus.Dir + "': " + ec.message();
        return false;
    }
    std::sort(corpus.Files.begin(), corpus.Files.end());
    if (corpus.Files.size() < kMinFiles) {
        error = "'" + corpus.Dir + "' holds " + std::to_string(corpus.Files.size()) +
                " regular files; the benchmark needs at least " + std::to_string(kMinFiles) +
                " (install libwine for Wine's DLLs, or name another folder)";
        return false;
    }
    return true;
}

// One untimed pass of each side, so that both find the same page cache, and
// the totals every timed pass must reproduce.
bool WarmUp(Corpus &corpus, std::string &error)
{
    for (const std::vector<std::string> &batch : corpus.Batches) {
        if (!RunQuiet(batch, error))
            return false;
    }

    std::vector<int> peerCounts;
    peerCounts.reserve(corpus.Files.size());
    std::string listing;
    for (const std::string &file : corpus.Files) {
        std::vector<std::string> args = kPeerCommand;
        args.push_back(file);
        if (!RunCapture(args, listing, error))
            return false;
        peerCounts.push_back(CountPeerGroups(listing));
        corpus.PeerIcons += peerCounts.back();
    }

    for (std::size_t f = 0; f < corpus.Files.size(); ++f) {
        const std::string &file = corpus.Files[f];
        const int count = platform::CountIcons(file);
        corpus.Icons += count;
        if (count != peerCounts[f])
            corpus.Disagreements.push_back({file, count, peerCounts[f]});
        for (int i = 0; i < count; ++i) {
            const platform::Icon icon = platform::ExtractIcon(file, i);
            if (icon.IsNull()) {
                ++corpus.NullIcons;
                continue;
            }
            ++corpus.Extracted;
            if (icon.Width() != platform::kIconSize || icon.Height() != platform::kIconSize)
                ++corpus.WrongSize;
        }
    }
    return true;
}

void SetCounters(benchmark::State &state, const Corpus &corpus, double icons)
{
    const double files = static_cast<double>(corpus.Files.size());
    state.counters["files"] = files;
    state.counters["icons"] = icons;
    state.counters["files_per_s"] =
        benchmark::Counter(files, benchmark::Counter::kIsIterationInvariantRate);
}

void CountAll(benchmark::State &state, const Corpus &corpus)
{
    long long icons = 0;
    for (auto _ : state) {
        icons = 0;
        for (const std::string &file : corpus.Files)
            icons += platform::CountIcons(file);
        benchmark::DoNotOptimize(icons);
        if (icons != corpus.Icons) {
            state.SkipWithError("the icon count differs from the warm-up's");
            break;
        }
    }
    SetCounters(state, corpus, static_cast<double>(icons));
}

// Counts first, as saving every icon of a file does.
void ExtractAll(benchmark::State &state, const Corpus &corpus)
{
    long long extracted = 0;
    long long nulls = 0;
    for (auto _ : state) {
        extracted = 0;
        nulls = 0;
        for (const std::string &file : corpus.Files) {
            const int count = platform::CountIcons(file);
            for (int i = 0; i < count; ++i) {
                platform::Icon icon = platform::ExtractIcon(file, i);
                benchmark::DoNotOptimize(icon);
                if (icon.IsNull())
                    ++nulls;
                else
                    ++extracted;
            }
        }
        if (extracted != corpus.Extracted || nulls != corpus.NullIcons) {
            state.SkipWithError("the extracted icons differ from the warm-up's");
            break;
        }
    }
    SetCounters(state, corpus, static_cast<double>(extracted));
    state.counters["null_icons"] = static_cast<double>(nulls);
}

void PeerListAll(benchmark::State &state, const Corpus &corpus)
{
    std::string error;
    for (auto _ : state) {
        bool ok = true;
        for (const std::vector<std::string> &batch : corpus.Batches) {
            if (!RunQuiet(batch, error)) {
                ok = false;
                break;
            }
        }
        if (!ok) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    SetCounters(state, corpus, static_cast<double>(corpus.PeerIcons));
    state.counters["batches"] = static_cast<double>(corpus.Batches.size());
}

struct Timing
{
    double Seconds = 0; // sum over runs of real time per iteration
    int Runs = 0;
    bool Failed = false;
};

// Passes everything on to the reporter the flags chose and keeps the real time
// per iteration of each benchmark for the summary.
class RecordingReporter final : public benchmark::BenchmarkReporter
{
public:
    explicit RecordingReporter(benchmark::BenchmarkReporter *display) : Display(display) {}

    bool ReportContext(const Context &context) override { return Display->ReportContext(context); }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            Timing &timing = Timings[run.run_name.function_name];
            if (run.error_occurred) {
                timing.Failed = true;
                continue;
            }
            timing.Seconds +=
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            ++timing.Runs;
        }
        Display->ReportRuns(runs);
    }
    void Finalize() override { Display->Finalize(); }

    // Mean seconds per iteration, or a negative value when it did not run.
    double Seconds(const std::string &name) const
    {
        const auto it = Timings.find(name);
        if (it == Timings.end() || it->second.Runs == 0)
            return -1;
        return it->second.Seconds / it->second.Runs;
    }
    bool AnyFailed() const
    {
        return std::any_of(Timings.begin(), Timings.end(),
                           [](const auto &entry) { return entry.second.Failed; });
    }

private:
    benchmark::BenchmarkReporter *Display;
    std::map<std::string, Timing> Timings;
};

void PrintTime(const char *label, double seconds, const char *note)
{
    if (seconds < 0)
        std::printf("  %-26s not run\n", label);
    else
        std::printf("  %-26s %10.3f ms per run%s\n", label, seconds * 1e3, note);
}

void PrintSummary(const Corpus &corpus, const RecordingReporter &reporter, double baselineMiB)
{
    const double count = reporter.Seconds("BM_CountIcons");
    const double extract = reporter.Seconds("BM_ExtractIcons");
    const double peer = reporter.Seconds("BM_WrestoolList");
    const double peakMiB = PeakRssMiB();

    std::printf("\nSummary: %zu files in %s, warm cache\n", corpus.Files.size(),
                corpus.Dir.c_str());
    std::printf("  icons: %lld counted by us, %lld group icons listed by wrestool\n", corpus.Icons,
                corpus.PeerIcons);
    std::printf("  extracted: %lld icons, %lld indices gave none, %lld not %dx%d\n",
                corpus.Extracted, corpus.NullIcons, corpus.WrongSize, platform::kIconSize,
                platform::kIconSize);
    std::printf("  per-file counts agree with wrestool on %zu of %zu files\n",
                corpus.Files.size() - corpus.Disagreements.size(), corpus.Files.size());
    for (std::size_t i = 0; i < corpus.Disagreements.size() && i < kMaxListed; ++i) {
        const Disagreement &d = corpus.Disagreements[i];
        std::printf("    %s: ours %d, wrestool %d\n", d.File.c_str(), d.Ours, d.Peer);
    }
    if (corpus.Disagreements.size() > kMaxListed)
        std::printf("    ... and %zu more\n", corpus.Disagreements.size() - kMaxListed);

    PrintTime("our counting", count, "");
    PrintTime("our extraction", extract, " (counting included)");
    const std::string batches = " (" + std::to_string(corpus.Batches.size()) + " process" +
                                (corpus.Batches.size() == 1 ? ")" : "es)");
    PrintTime("wrestool -l -t 14", peer, batches.c_str());

    // A ratio only means something when both sides found the same icons.
    if (count > 0 && peer >= 0) {
        const double ratio = peer / count;
        std::printf("  wrestool / our counting:   %10.1fx\n", ratio);
        if (!corpus.Disagreements.empty())
            std::printf("  speed goal (at least %.0fx): not judged, the counts disagree\n",
                        kSpeedGoal);
        else if (corpus.Icons == 0)
            std::printf("  speed goal (at least %.0fx): not judged, no file holds icons\n",
                        kSpeedGoal);
        else
            std::printf("  speed goal (at least %.0fx): %s\n", kSpeedGoal,
                        ratio >= kSpeedGoal ? "met" : "NOT met");
    } else {
        std::printf("  speed goal (at least %.0fx): not measured\n", kSpeedGoal);
    }

    std::printf("  peak memory (ru_maxrss of this process; wrestool runs in child processes):"
                " %.1f MiB, %.1f MiB before any icon was read\n",
                peakMiB, baselineMiB);
    std::printf("  memory goal (under %.0f MiB): %s\n", kMemoryGoalMiB,
                peakMiB < kMemoryGoalMiB ? "met" : "NOT met");
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);

    Corpus corpus;
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: %s [benchmark flags] [folder]\n", argv[0]);
        return 2;
    }
    if (argc == 2)
        corpus.Dir = argv[1];
    else if (const char *dir = std::getenv("RURORODODE_BENCH_DIR"); dir != nullptr && *dir != 0)
        corpus.Dir = dir;
    else
        corpus.Dir = kDefaultDir;

    std::string error;
    if (!CollectFiles(corpus, error)) {
        std::fprintf(stderr, "bench_extract: %s\n", error.c_str());
        return 1;
    }
    const double baselineMiB = PeakRssMiB();
    corpus.Batches = MakeBatches(corpus.Files);

    std::printf("bench_extract: %zu files in %s; warming up...\n", corpus.Files.size(),
                corpus.Dir.c_str());
    std::fflush(stdout);
    if (!WarmUp(corpus, error)) {
        std::fprintf(stderr, "bench_extract: %s (wrestool comes with icoutils)\n", error.c_str());
        return 1;
    }

    // Real time throughout: wrestool's work happens in other processes.
    benchmark::RegisterBenchmark("BM_CountIcons", CountAll, std::cref(corpus))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_ExtractIcons", ExtractAll, std::cref(corpus))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_WrestoolList", PeerListAll, std::cref(corpus))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    RecordingReporter reporter(benchmark::CreateDefaultDisplayReporter());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    PrintSummary(corpus, reporter, baselineMiB);
    return reporter.AnyFailed() ? 1 : 0;
}
