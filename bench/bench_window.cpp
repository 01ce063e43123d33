// Start-up of the main window to its first paint, and listing a folder of
// 10,000 files, on the offscreen platform (or a display when there is one).

#include "controls/filelistbox.h"
#include "main_window.h"
#include "messages.h"
#include "programfolder.h"
#include "qttestsupport.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kFiles = 10000;
constexpr double kStartGoalMs = 300;
constexpr double kListGoalMs = 100;

// Tells when a widget has painted.
class PaintWatch : public QObject
{
public:
    bool Painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};

void StartUp(benchmark::State &state)
{
    for (auto _ : state) {
        auto form = std::make_unique<app::TForm1>();
        PaintWatch watch;
        form->installEventFilter(&watch);
        form->show();
        while (!watch.Painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        state.PauseTiming();
        form.reset(); // writes the settings file; not part of start-up
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void ListFolder(benchmark::State &state, const QString &folder)
{
    controls::TFileListBox list;
    list.resize(205, 250);
    list.SetMask(QStringLiteral("*.exe"));
    list.show();
    for (auto _ : state) {
        list.SetDirectory(QStringLiteral("/"));
        list.SetDirectory(folder);
        list.repaint();
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["files"] = list.Count();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testsupport::UseProgramFonts();
    benchmark::Initialize(&argc, argv);

    QTemporaryDir programDir; // a settings file of its own
    app::SetProgramFolder(programDir.path());
    app::SetMessageHook(
        [](const QString &text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });

    QTemporaryDir files;
    for (int i = 0; i < kFiles; ++i) {
        QFile file(files.path() + QStringLiteral("/program%1.%2")
                                      .arg(i, 5, 10, QLatin1Char('0'))
                                      .arg(i % 2 ? "exe" : "dll"));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "bench_window: cannot make the test folder\n");
            return 1;
        }
    }

    benchmark::RegisterBenchmark("BM_StartUpToFirstPaint", StartUp)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_ListTenThousandFiles", ListFolder, files.path())
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    // Our own reporter would be more code than this: run, then read back.
    class Recorder : public benchmark::ConsoleReporter
    {
    public:
        double StartMs = -1, ListMs = -1;
        void ReportRuns(const std::vector<Run> &runs) override
        {
            for (const Run &run : runs) {
                const double ms = run.GetAdjustedRealTime(); // in the run's unit, ms here
                if (run.benchmark_name().rfind("BM_StartUp", 0) == 0)
                    StartMs = ms;
                else if (run.benchmark_name().rfind("BM_List", 0) == 0)
                    ListMs = ms;
            }
            ConsoleReporter::ReportRuns(runs);
        }
    } recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();

    std::printf("\nSummary (%s platform)\n", qPrintable(QGuiApplication::platformName()));
    std::printf("  start-up to the first painted window: %.1f ms (goal under %.0f ms: %s)\n",
                recorder.StartMs, kStartGoalMs,
                recorder.StartMs >= 0 && recorder.StartMs < kStartGoalMs ? "met" : "NOT met");
    std::printf("  listing %d files (half of them *.exe): %.1f ms (goal under %.0f ms: %s)\n",
                kFiles, recorder.ListMs, kListGoalMs,
                recorder.ListMs >= 0 && recorder.ListMs < kListGoalMs ? "met" : "NOT met");
    return 0;
}
