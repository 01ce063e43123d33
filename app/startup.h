#pragma once

// What the program makes of its command line before any window exists.

#include <string>
#include <vector>

namespace app {

inline constexpr const char *kUsage =
    "usage: rurorodode [PATH]\n"
    "  PATH  a folder to start in, or a file to select and preview\n"
    "        (a path that starts with \"-\" goes after \"--\")\n"
    "  --help     this text\n"
    "  --version  the program's version\n";

struct CommandLine
{
    enum Action
    {
        Run,
        Help,
        Version,
        Wrong,
    };
    Action action = Run;
    std::string path;    // the one path to open; empty for none
    std::string message; // what is wrong, for Wrong
};

// Arguments is what follows the program's name once the toolkit has taken
// its own options. "--help" or "-h" ask for the usage, "--version" for the
// version; "--" makes every argument after it a path whatever it looks
// like; another argument starting with "-" is a path only when something of
// that name exists, else an unknown option. One path at most.
CommandLine ParseArguments(const std::vector<std::string> &Arguments);
// The same over argv, for --help and --version before the toolkit starts
// (which may need a display). Toolkit options are not known here, so only
// Help and Version are trusted.
CommandLine ParseCommandLine(int argc, char **argv);
// How many of argv's entries the toolkit may see: those before "--". What
// follows it is the program's own, and the toolkit would take a path such
// as "-reverse" for one of its options.
int ToolkitArgumentCount(int argc, char **argv);

} // namespace app
