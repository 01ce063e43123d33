#include "startup.h"

#include <string_view>

#include <sys/stat.h>

namespace app {

namespace {

bool Exists(const std::string &Path)
{
    struct stat st
    {
    };
    return ::stat(Path.c_str(), &st) == 0;
}

} // namespace

CommandLine ParseArguments(const std::vector<std::string> &Arguments)
{
    CommandLine line;
    bool paths = false; // after "--"
    bool taken = false;
    for (const std::string &argument : Arguments) {
        const bool option = !paths && argument.size() > 1 && argument.front() == '-';
        if (option && argument == "--") {
            paths = true;
            continue;
        }
        if (option && (argument == "--help" || argument == "-h")) {
            line.action = CommandLine::Help;
            return line;
        }
        if (option && argument == "--version") {
            line.action = CommandLine::Version;
            return line;
        }
        if (option && !Exists(argument)) {
            line.action = CommandLine::Wrong;
            line.message = "unknown option " + argument;
            return line;
        }
        if (taken) {
            line.action = CommandLine::Wrong;
            line.message = "one path at most: " + argument;
            return line;
        }
        line.path = argument;
        taken = true;
    }
    return line;
}

CommandLine ParseCommandLine(int argc, char **argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    CommandLine line = ParseArguments(arguments);
    if (line.action != CommandLine::Help && line.action != CommandLine::Version)
        line = CommandLine{};
    return line;
}

int ToolkitArgumentCount(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i] != nullptr && std::string_view(argv[i]) == "--")
            return i;
    return argc;
}

} // namespace app
