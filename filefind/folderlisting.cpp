#include "folderlisting.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

namespace filefind {

// "?" is any one character, "*" any run of them. The pattern comes folded;
// the name is folded a character at a time, which spares a folded copy of
// every name in the folder.
bool MatchesPattern(QStringView Pattern, QStringView Name)
{
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < Name.size()) {
        if (p < Pattern.size() && (Pattern[p] == u'?' || Pattern[p] == Name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (p < Pattern.size() && Pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < Pattern.size() && Pattern[p] == u'*')
        ++p;
    return p == Pattern.size();
}

QStringList ListFolderFiles(const QString &Directory, const QString &Mask, bool Hidden)
{
    std::vector<QString> patterns;
    bool everything = false;
    for (const QString &part : Mask.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed().toCaseFolded();
        if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
            everything = true;
        else if (!pattern.isEmpty())
            patterns.push_back(pattern);
    }
    if (Directory.isEmpty() || (!everything && patterns.empty()))
        return {};

    namespace fs = std::filesystem;
    QStringList names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(QFile::encodeName(Directory).toStdString()),
                              fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        // The name is the tail of the entry's path; taking it there spares
        // building a second path per entry.
        const std::string &full = it->path().native();
        const std::string_view raw = std::string_view(full).substr(full.rfind('/') + 1);
        if (raw.empty() || (raw.front() == '.' && !Hidden))
            continue;
        // The type comes with the folder entry; only links cost a lookup.
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        QString name = QFile::decodeName(QByteArray(raw.data(), qsizetype(raw.size())));
        if (!everything && std::none_of(patterns.begin(), patterns.end(),
                                        [&](const QString &p) { return MatchesPattern(p, name); }))
            continue;
        names.push_back(std::move(name));
    }
    // Names that differ only in case still come out in a fixed order.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

} // namespace filefind
