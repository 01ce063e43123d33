// Saving every icon of a folder of program files: the window's run with its
// gauges (offscreen), the command line's run, and wrestool extracting the
// same group icons into a folder, in the same run.

#include "benchsupport.h"
#include "controls/filelistbox.h"
#include "controls/shelltreeview.h"
#include "main_window.h"
#include "messages.h"
#include "programfolder.h"
#include "qttestsupport.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

namespace {

constexpr double kMemoryGoalMiB = 100;

// A fresh empty folder for each pass, so that every pass writes the same.
QString FreshFolder(const QTemporaryDir &root, const char *name)
{
    const QString folder = root.path() + "/" + name;
    std::error_code ec;
    std::filesystem::remove_all(folder.toStdString(), ec);
    std::filesystem::create_directories(folder.toStdString(), ec);
    return folder;
}

std::size_t FilesIn(const QString &folder)
{
    std::error_code ec;
    std::size_t n = 0;
    for (std::filesystem::directory_iterator it(folder.toStdString(), ec), end; !ec && it != end;
         it.increment(ec))
        ++n;
    return n;
}

void WindowRun(benchmark::State &state, app::TForm1 *form, const QTemporaryDir *root)
{
    std::size_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString out = FreshFolder(*root, "window");
        state.ResumeTiming();
        form->SaveAllIcons(out + "/", 1);
        state.PauseTiming();
        written = FilesIn(out);
        state.ResumeTiming();
    }
    state.counters["written"] = static_cast<double>(written);
}

void CommandLineRun(benchmark::State &state, std::string probe, std::string dir,
                    const QTemporaryDir *root)
{
    std::size_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString out = FreshFolder(*root, "probe");
        state.ResumeTiming();
        std::string error;
        if (!bench::Run({probe, "save-all", dir, out.toStdString(), "--format", "ico", "--depth",
                         "2", "--mask", "*.exe;*.dll"},
                        bench::Stderr::Discard, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.PauseTiming();
        written = FilesIn(out);
        state.ResumeTiming();
    }
    state.counters["written"] = static_cast<double>(written);
}

void WrestoolRun(benchmark::State &state, std::vector<std::string> files, const QTemporaryDir *root)
{
    std::size_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString out = FreshFolder(*root, "wrestool");
        state.ResumeTiming();
        bench::RunWrestoolExtract(out.toStdString(), files);
        state.PauseTiming();
        written = FilesIn(out);
        state.ResumeTiming();
    }
    state.counters["written"] = static_cast<double>(written);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testsupport::UseProgramFonts();
    std::string dir;
    if (!bench::ParseCommandLine(argc, argv, dir))
        return 2;
    std::vector<std::string> files;
    std::string error;
    if (!bench::ListRegularFiles(dir, files, error)) {
        std::fprintf(stderr, "bench_saveall: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> programs = bench::ProgramFiles(files);

    QTemporaryDir programDir; // a settings file of its own
    QTemporaryDir root;
    app::SetProgramFolder(programDir.path());
    app::SetMessageHook(
        [](const QString &text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    app::TForm1 form;
    form.show();
    QApplication::processEvents();
    form.DirTree->SetPath(QString::fromStdString(dir));
    // The window lists the program files: EXE, DLL, OCX, CLX choice.
    form.FileListBox1->SetMask(QStringLiteral("*.exe;*.dll"));
    const double baselineMiB = bench::PeakRssMiB();

    const std::string probe = (std::filesystem::path(argv[0]).parent_path().parent_path() /
                               "tools" / "iconprobe" / "iconprobe")
                                  .string();
    bench::RegisterRealTime("BM_SaveAllWindow", WindowRun, &form, &root);
    bench::RegisterRealTime("BM_SaveAllIconprobe", CommandLineRun, probe, dir, &root);
    bench::RegisterRealTime("BM_WrestoolExtract", WrestoolRun, programs, &root);
    bench::RecordingReporter reporter;
    reporter.RunAll();

    const double window = reporter.Seconds("BM_SaveAllWindow");
    const double cli = reporter.Seconds("BM_SaveAllIconprobe");
    const double wrestool = reporter.Seconds("BM_WrestoolExtract");
    const double peak = bench::PeakRssMiB();
    std::printf("\nSummary: %zu program files in %s, .ico at 256 colours\n", programs.size(),
                dir.c_str());
    std::printf("  window run (gauges, preview, offscreen): %.1f ms\n", window * 1e3);
    std::printf("  iconprobe save-all:                      %.1f ms\n", cli * 1e3);
    std::printf("  wrestool -x -t 14 (raw groups):          %.1f ms\n", wrestool * 1e3);
    std::printf("  goal, window run no slower than wrestool: %s\n",
                bench::Verdict(window >= 0 && window <= wrestool));
    std::printf("  window run per listed file: %.1f us, iconprobe's %.1f us (%.2fx); goal within "
                "1.5x: %s\n",
                window * 1e6 / static_cast<double>(programs.size()),
                cli * 1e6 / static_cast<double>(programs.size()), cli > 0 ? window / cli : 0.0,
                bench::Verdict(window >= 0 && cli > 0 && window <= 1.5 * cli));
    std::printf("  peak memory of this process: %.1f MiB (%.1f MiB before the runs); goal under "
                "%.0f MiB: %s\n",
                peak, baselineMiB, kMemoryGoalMiB, bench::Verdict(peak < kMemoryGoalMiB));
    return 0;
}
