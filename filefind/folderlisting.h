#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace filefind {

// The plain names of the regular files in Directory that match Mask, as the
// file list shows them: patterns separated by ";" (empty ones ignored), "*"
// and "?" wildcards, compared without regard to case, "*.*" or "*" matching
// every name; names beginning with "." left out unless Hidden; sorted
// without regard to case (names differing only in case in a fixed order).
// Names are the folder's bytes as they are, the mask UTF-8. An unreadable
// or missing folder gives no names.
std::vector<std::string> ListFolderFiles(const std::string &Directory, std::string_view Mask,
                                         bool Hidden = false);

// One wildcard pattern against a name, both UTF-16: "?" is any one unit,
// "*" any run of them. The pattern comes case-folded; the name is folded
// here.
bool MatchesPattern(std::u16string_view Pattern, std::u16string_view Name);

} // namespace filefind
