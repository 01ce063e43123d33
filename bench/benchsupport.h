// What the benchmark programs share: choosing the folder of program files,
// listing it, running peer tools and keeping each benchmark's time for the
// summary printed after the table.

#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace bench {

constexpr const char *kDefaultDir = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

// Takes the benchmark flags out of argv, then the folder from the one argument
// left, else $RURORODODE_BENCH_DIR, else kDefaultDir. False, after printing
// the usage, on anything else.
bool ParseCommandLine(int &argc, char **argv, std::string &dir);

// Makes dir absolute and lists its regular files, sorted.
bool ListRegularFiles(std::string &dir, std::vector<std::string> &files, std::string &error);

// The .exe and .dll files among files, in their order.
std::vector<std::string> ProgramFiles(const std::vector<std::string> &files);

std::string ErrnoText(int err);

// Peak resident size of this process alone, in MiB.
double PeakRssMiB();

const char *Verdict(bool met);

enum class Stderr
{
    Keep,
    Discard
};

// Runs args[0] from PATH with stdin on /dev/null and stdout on outFd, or
// /dev/null when outFd < 0. Returns the child's pid, or -1 with error set.
pid_t Start(const std::vector<std::string> &args, int outFd, Stderr stderrMode, std::string &error);
// Waits for the child; true when it exited with status 0.
bool Finish(pid_t pid, const std::string &name, std::string &error);
bool Run(const std::vector<std::string> &args, Stderr stderrMode, std::string &error);
// Has wrestool write every group icon of files into the folder out.
// wrestool says "no resources" for every file without any, so its status
// is no verdict on the files it did write and is not returned.
void RunWrestoolExtract(const std::string &out, const std::vector<std::string> &files);
bool RunCapture(const std::vector<std::string> &args, Stderr stderrMode, std::string &out,
                std::string &error);

// The files split into whole command lines of command followed by files,
// each within the kernel's limit on arguments and environment together.
std::vector<std::vector<std::string>> CommandBatches(const std::vector<std::string> &command,
                                                     const std::vector<std::string> &files);

// Real time in milliseconds: peers work in other processes, and the writers
// wait on the file system.
template <typename Fn, typename... Args>
void RegisterRealTime(const char *name, Fn &&fn, Args &&...args)
{
    benchmark::RegisterBenchmark(name, std::forward<Fn>(fn), std::forward<Args>(args)...)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

// Passes everything on to the reporter the flags chose and keeps the real time
// per iteration of each benchmark for the summary.
class RecordingReporter final : public benchmark::BenchmarkReporter
{
public:
    RecordingReporter();

    // Runs the benchmarks the flags select through this reporter.
    void RunAll();

    bool ReportContext(const Context &context) override;
    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

    // Mean seconds per iteration, or a negative value when it did not run.
    double Seconds(const std::string &name) const;
    bool AnyFailed() const;

private:
    struct Timing
    {
        double Seconds = 0; // sum over runs of real time per iteration
        int Runs = 0;
        // The "mean" aggregate, all there is with --benchmark_report_aggregates_only.
        double MeanSeconds = -1;
        bool Failed = false;
    };

    std::unique_ptr<benchmark::BenchmarkReporter> Display;
    std::map<std::string, Timing> Timings;
};

} // namespace bench
