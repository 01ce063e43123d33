#include "benchsupport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char **environ;

namespace bench {

bool ParseCommandLine(int &argc, char **argv, std::string &dir)
{
    benchmark::Initialize(&argc, argv);
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: %s [benchmark flags] [folder]\n", argv[0]);
        return false;
    }
    if (argc == 2)
        dir = argv[1];
    else if (const char *env = std::getenv("RURORODODE_BENCH_DIR"); env != nullptr && *env != 0)
        dir = env;
    else
        dir = kDefaultDir;
    return true;
}

bool ListRegularFiles(std::string &dir, std::vector<std::string> &files, std::string &error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(dir, ec);
    if (ec || !fs::is_directory(path, ec)) {
        error = "'" + dir + "' is not a folder";
        return false;
    }
    dir = path.string();
    // Absolute paths also keep a name starting with '-' from reading as an option.
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            files.push_back(it->path().string());
    }
    if (ec) {
        error = "cannot list '" + dir + "': " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    return true;
}

std::vector<std::string> ProgramFiles(const std::vector<std::string> &files)
{
    std::vector<std::string> programs;
    for (const std::string &f : files) {
        const std::string ext = std::filesystem::path(f).extension().string();
        if (ext == ".exe" || ext == ".dll")
            programs.push_back(f);
    }
    return programs;
}

void RunWrestoolExtract(const std::string &out, const std::vector<std::string> &files)
{
    std::vector<std::string> args = {"wrestool", "-x", "-t", "14", "-o", out};
    args.insert(args.end(), files.begin(), files.end());
    std::string error;
    Run(args, Stderr::Discard, error);
}

std::string ErrnoText(int err)
{
    return std::error_code(err, std::generic_category()).message();
}

double PeakRssMiB()
{
    // ru_maxrss of SELF leaves out children, so a peer's memory is not ours.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

const char *Verdict(bool met)
{
    return met ? "met" : "NOT met";
}

// posix_spawn rather than fork so that the child never copies (and never
// counts) our pages.
pid_t Start(const std::vector<std::string> &args, int outFd, Stderr stderrMode, std::string &error)
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
    if (stderrMode == Stderr::Discard)
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

bool Run(const std::vector<std::string> &args, Stderr stderrMode, std::string &error)
{
    const pid_t pid = Start(args, -1, stderrMode, error);
    return pid >= 0 && Finish(pid, args[0], error);
}

bool RunCapture(const std::vector<std::string> &args, Stderr stderrMode, std::string &out,
                std::string &error)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = "pipe: " + ErrnoText(errno);
        return false;
    }
    const pid_t pid = Start(args, fds[1], stderrMode, error);
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

RecordingReporter::RecordingReporter() : Display(benchmark::CreateDefaultDisplayReporter()) {}

void RecordingReporter::RunAll()
{
    benchmark::RunSpecifiedBenchmarks(this);
    benchmark::Shutdown();
}

bool RecordingReporter::ReportContext(const Context &context)
{
    return Display->ReportContext(context);
}

void RecordingReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        Timing &timing = Timings[run.run_name.function_name];
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "mean" && !run.error_occurred)
                timing.MeanSeconds =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            continue;
        }
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

void RecordingReporter::Finalize()
{
    Display->Finalize();
}

double RecordingReporter::Seconds(const std::string &name) const
{
    const auto it = Timings.find(name);
    if (it == Timings.end())
        return -1;
    if (it->second.Runs == 0)
        return it->second.MeanSeconds;
    return it->second.Seconds / it->second.Runs;
}

bool RecordingReporter::AnyFailed() const
{
    return std::any_of(Timings.begin(), Timings.end(),
                       [](const auto &entry) { return entry.second.Failed; });
}

} // namespace bench

namespace bench {

// argv and the environment share one kernel limit, so split the file list
// into command lines that fit with room to spare.
std::vector<std::vector<std::string>> CommandBatches(const std::vector<std::string> &command,
                                                     const std::vector<std::string> &files)
{
    auto cost = [](const std::string &s) { return s.size() + 1 + sizeof(char *); };
    long argMax = sysconf(_SC_ARG_MAX);
    if (argMax <= 0)
        argMax = 128 * 1024;
    std::size_t used = 64 * 1024; // margin for the loader and anything added later
    for (char **e = environ; *e != nullptr; ++e)
        used += std::strlen(*e) + 1 + sizeof(char *);
    for (const std::string &arg : command)
        used += cost(arg);
    const std::size_t budget =
        static_cast<std::size_t>(argMax) > used ? static_cast<std::size_t>(argMax) - used : 0;

    std::vector<std::vector<std::string>> batches;
    std::size_t size = 0;
    for (const std::string &file : files) {
        if (batches.empty() ||
            (size + cost(file) > budget && batches.back().size() > command.size())) {
            batches.push_back(command);
            size = 0;
        }
        batches.back().push_back(file);
        size += cost(file);
    }
    return batches;
}

} // namespace bench
