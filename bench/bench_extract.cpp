// Speed of counting and extracting the icons of a folder of real program files,
// with wrestool listing the group icons of the same files as the peer, timed in
// the same run on the same (warm) page cache.
//
//   bench_extract [benchmark flags] [folder]
//
// The folder is the argument, else $RURORODODE_BENCH_DIR, else Wine's 64-bit
// DLL folder. The summary is printed after the benchmark table; it reports the
// goals but never fails on a missed one.

#include "benchsupport.h"
#include "platform/extracticon.h"
#include "platform/icon.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

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

bool CollectFiles(Corpus &corpus, std::string &error)
{
    if (!bench::ListRegularFiles(corpus.Dir, corpus.Files, error))
        return false;
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
        if (!bench::Run(batch, bench::Stderr::Discard, error))
            return false;
    }

    std::vector<int> peerCounts;
    peerCounts.reserve(corpus.Files.size());
    std::string listing;
    for (const std::string &file : corpus.Files) {
        std::vector<std::string> args = kPeerCommand;
        args.push_back(file);
        if (!bench::RunCapture(args, bench::Stderr::Discard, listing, error))
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
            if (!bench::Run(batch, bench::Stderr::Discard, error)) {
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

void PrintTime(const char *label, double seconds, const char *note)
{
    if (seconds < 0)
        std::printf("  %-26s not run\n", label);
    else
        std::printf("  %-26s %10.3f ms per run%s\n", label, seconds * 1e3, note);
}

void PrintSummary(const Corpus &corpus, const bench::RecordingReporter &reporter,
                  double baselineMiB)
{
    const double count = reporter.Seconds("BM_CountIcons");
    const double extract = reporter.Seconds("BM_ExtractIcons");
    const double peer = reporter.Seconds("BM_WrestoolList");
    const double peakMiB = bench::PeakRssMiB();

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
                        bench::Verdict(ratio >= kSpeedGoal));
    } else {
        std::printf("  speed goal (at least %.0fx): not measured\n", kSpeedGoal);
    }

    std::printf("  peak memory (ru_maxrss of this process; wrestool runs in child processes):"
                " %.1f MiB, %.1f MiB before any icon was read\n",
                peakMiB, baselineMiB);
    std::printf("  memory goal (under %.0f MiB): %s\n", kMemoryGoalMiB,
                bench::Verdict(peakMiB < kMemoryGoalMiB));
}

} // namespace

int main(int argc, char **argv)
{
    Corpus corpus;
    if (!bench::ParseCommandLine(argc, argv, corpus.Dir))
        return 2;

    std::string error;
    if (!CollectFiles(corpus, error)) {
        std::fprintf(stderr, "bench_extract: %s\n", error.c_str());
        return 1;
    }
    const double baselineMiB = bench::PeakRssMiB();
    corpus.Batches = bench::CommandBatches(kPeerCommand, corpus.Files);

    std::printf("bench_extract: %zu files in %s; warming up...\n", corpus.Files.size(),
                corpus.Dir.c_str());
    std::fflush(stdout);
    if (!WarmUp(corpus, error)) {
        std::fprintf(stderr, "bench_extract: %s (wrestool comes with icoutils)\n", error.c_str());
        return 1;
    }

    bench::RegisterRealTime("BM_CountIcons", CountAll, std::cref(corpus));
    bench::RegisterRealTime("BM_ExtractIcons", ExtractAll, std::cref(corpus));
    bench::RegisterRealTime("BM_WrestoolList", PeerListAll, std::cref(corpus));

    bench::RecordingReporter reporter;
    reporter.RunAll();

    PrintSummary(corpus, reporter, baselineMiB);
    return reporter.AnyFailed() ? 1 : 0;
}
