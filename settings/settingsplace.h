#pragma once

// Where the settings file lives. A copy of the program in a folder the user
// may write keeps its settings beside itself; an installed one (read-only
// under /usr) keeps them in the user's configuration folder instead.

#include <string>

namespace settings {

// The user's configuration folder by the XDG base-directory rules:
// XdgConfigHome when it is an absolute path (a relative one is ignored),
// else Home + "/.config". Home falls back to the password database when it
// is empty or relative. No trailing separator; empty when no home is known.
std::string ConfigHomeFrom(const char *XdgConfigHome, const char *Home);
// The same from the environment ($XDG_CONFIG_HOME, $HOME).
std::string ConfigHome();

// The settings file for a program in ProgramFolder (one trailing "/"):
// - beside the program when that folder can be written, unless the program
//   is Installed (its folder is shared by every user and belongs to the
//   system, even when this user may write it);
// - else ConfigHome + "/rurorodode/Rurorodode.ini", the folders made
//   (mode 0700) when missing;
// - when neither can be written, the one in ConfigHome all the same, so
//   that settings already there are read and the messages name the place
//   they belong; beside the program when no home is known.
std::string SettingsFileName(const std::string &ProgramFolder, const std::string &ConfigHome,
                             bool Installed = false);

} // namespace settings
