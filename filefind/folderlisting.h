#pragma once

#include <QString>
#include <QStringList>

namespace filefind {

// The plain names of the regular files in Directory that match Mask, as the
// file list shows them: patterns separated by ";" (empty ones ignored), "*"
// and "?" wildcards, compared without regard to case, "*.*" or "*" matching
// every name; names beginning with "." left out unless Hidden; sorted
// without regard to case (names differing only in case in a fixed order).
// An unreadable or missing folder gives no names.
QStringList ListFolderFiles(const QString &Directory, const QString &Mask, bool Hidden = false);

// One wildcard pattern against a name: "?" is any one character, "*" any
// run of them. The pattern comes case-folded; the name is folded here.
bool MatchesPattern(QStringView Pattern, QStringView Name);

} // namespace filefind
