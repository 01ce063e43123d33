#include "folderlisting.h"

#include "nametext.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace filefind {

// "?" is any one character, "*" any run of them. The pattern comes folded;
// the name is folded a unit at a time, which spares a folded copy of every
// name in the folder.
bool MatchesPattern(std::u16string_view Pattern, std::u16string_view Name)
{
    std::size_t p = 0, n = 0, resume = 0;
    std::size_t star = std::u16string_view::npos;
    while (n < Name.size()) {
        if (p < Pattern.size() &&
            (Pattern[p] == u'?' || char32_t(Pattern[p]) == FoldCase(Name[n]))) {
            ++p;
            ++n;
        } else if (p < Pattern.size() && Pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (star != std::u16string_view::npos) {
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

std::vector<std::string> ListFolderFiles(const std::string &Directory, std::string_view Mask,
                                         bool Hidden)
{
    std::vector<std::u16string> patterns;
    bool everything = false;
    for (std::size_t start = 0; start <= Mask.size();) {
        const std::size_t end = std::min(Mask.find(';', start), Mask.size());
        if (end > start) {
            const std::u16string pattern =
                CaseFolded(Trimmed(Utf16(Mask.substr(start, end - start))));
            if (pattern == u"*.*" || pattern == u"*")
                everything = true;
            else if (!pattern.empty())
                patterns.push_back(pattern);
        }
        start = end + 1;
    }
    // A name with a NUL would reach the system cut short, naming another folder.
    if (Directory.empty() || Directory.find('\0') != std::string::npos ||
        (!everything && patterns.empty()))
        return {};

    namespace fs = std::filesystem;
    std::vector<SortName> found;
    std::error_code ec;
    fs::directory_iterator it(fs::path(Directory), fs::directory_options::skip_permission_denied,
                              ec);
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
        SortName name{Utf16(raw), std::string(raw)};
        if (!everything &&
            std::none_of(patterns.begin(), patterns.end(),
                         [&](const std::u16string &p) { return MatchesPattern(p, name.text); }))
            continue;
        found.push_back(std::move(name));
    }
    std::sort(found.begin(), found.end(), NameBefore);
    std::vector<std::string> names;
    names.reserve(found.size());
    for (SortName &name : found)
        names.push_back(std::move(name.bytes));
    return names;
}

} // namespace filefind
