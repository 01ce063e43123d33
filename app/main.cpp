// Rurorodode: takes the icons out of program files and saves them.

#include "controls/windowstyle.h"
#include "main_window.h"
#include "skinart.h"
#include "startup.h"

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// SIGTERM (a session that ends, a service manager) and SIGINT close the
// window the usual way, so that the folder is remembered; the handler only
// wakes the event loop.
int TerminateWrite = -1;

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(TerminateWrite, &byte, 1);
}

void CloseOnTerminate(QWidget &window)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return;
    TerminateWrite = ends[0];
    auto *notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char byte = 0;
        while (::read(static_cast<int>(notifier->socket()), &byte, 1) > 0) {
        }
        window.close();
    });
    struct sigaction action
    {
    };
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    // Before the application object: --help and --version need no display.
    const app::CommandLine early = app::ParseCommandLine(argc, argv);
    if (early.action == app::CommandLine::Help) {
        std::fputs(app::kUsage, stdout);
        return 0;
    }
    if (early.action == app::CommandLine::Version) {
        std::printf("rurorodode %s\n", RURORODODE_VERSION);
        return 0;
    }

    // The toolkit sees only what comes before "--": it removes what it takes
    // for its own options, and after "--" everything is a path.
    const int split = app::ToolkitArgumentCount(argc, argv);
    int toolkitCount = split;
    QApplication application(toolkitCount, argv);
    QApplication::setApplicationName(QStringLiteral("Rurorodode"));
    // The icon of every window of the program; the about box draws it too.
    QApplication::setWindowIcon(skinart::ProgramIcon());
    // The faces the windows name, on a machine that has other fonts.
    controls::SubstituteFonts();
    // What is left once the toolkit has taken its own options.
    std::vector<std::string> arguments;
    for (const QString &argument : QCoreApplication::arguments().mid(1))
        arguments.push_back(QFile::encodeName(argument).toStdString());
    for (int i = split; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    const app::CommandLine line = app::ParseArguments(arguments);
    if (line.action == app::CommandLine::Help) {
        std::fputs(app::kUsage, stdout);
        return 0;
    }
    if (line.action == app::CommandLine::Wrong) {
        std::fprintf(stderr, "rurorodode: %s\n%s", line.message.c_str(), app::kUsage);
        return 2;
    }
    if (!line.path.empty())
        app::SetStartPath(QFile::decodeName(line.path.c_str()));

    int result = 0;
    {
        app::TForm1 form;
        form.CreateSelDirForm(); // the destination dialog, hidden until save-all
        CloseOnTerminate(form);
        form.show();
        result = QApplication::exec();
    } // the window is destroyed here, which saves the last folder
    return result;
}
