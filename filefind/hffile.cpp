#include "hffile.h"

#include "folderlisting.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace filefind {

namespace {

// Kinds that keep a name out of an enumeration which does not ask for them.
constexpr unsigned kSpecialKinds = faHidden | faSysFile | faVolumeID | faDirectory;

struct FolderEntry
{
    QString name;
    unsigned attributes = 0;
    bool link = false;
    long long size = 0;
    long long modified = 0;
};

// The names of a folder with their kinds, in name order so that a listing
// does not depend on how the file system happens to store the folder.
std::vector<FolderEntry> ReadFolder(const QString &Folder)
{
    namespace fs = std::filesystem;
    std::vector<FolderEntry> entries;
    const QByteArray folder = QFile::encodeName(Folder);
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder.toStdString()),
                              fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string raw = it->path().filename().native();
        if (raw.empty() || raw == "." || raw == "..")
            continue;
        const QByteArray full = folder + QByteArray(raw.data(), qsizetype(raw.size()));
        FolderEntry entry;
        entry.name = QFile::decodeName(QByteArray(raw.data(), qsizetype(raw.size())));
        if (raw.front() == '.')
            entry.attributes |= faHidden;
        struct stat linkInfo
        {
        };
        entry.link = ::lstat(full.constData(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode);
        struct stat info
        {
        };
        if (::stat(full.constData(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                entry.attributes |= faDirectory;
            else if (S_ISREG(info.st_mode))
                entry.attributes |= faArchive;
            else
                entry.attributes |= faSysFile;
            if (::access(full.constData(), W_OK) != 0)
                entry.attributes |= faReadOnly;
            entry.size = S_ISREG(info.st_mode) ? static_cast<long long>(info.st_size) : 0;
            entry.modified = static_cast<long long>(info.st_mtime);
        } else {
            entry.attributes |= faSysFile;
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) {
        const int order = a.name.compare(b.name, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

// What the enumeration asked for Mask returns: names with a special kind
// the mask lacks are passed over, the rest must share a kind with it.
bool Selected(unsigned Attributes, unsigned Mask)
{
    return (Attributes & kSpecialKinds & ~Mask) == 0 && (Attributes & Mask) != 0;
}

} // namespace

THFFile::THFFile(QObject *parent) : QObject(parent)
{
    SetPath(QDir::currentPath());
}

THFFile::~THFFile() = default;

void THFFile::SetPath(const QString &Value)
{
    if (Value == FPath || Value.isEmpty() || !QFileInfo(Value).isDir())
        return;
    FPath = Value.endsWith(u'/') ? Value : Value + u'/';
}

QStringList THFFile::SplitMask(const QString &Mask)
{
    if (Mask == QLatin1String("*.*"))
        return {Mask};
    const QString mask = Mask.endsWith(u';') ? Mask : Mask + u';';
    QStringList patterns;
    qsizetype start = 0;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        const bool inPattern =
            (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'*' || c == u'.';
        if (!inPattern) {
            patterns.push_back(mask.mid(start, i - start));
            start = i + 1;
        }
    }
    return patterns;
}

const QStringList &THFFile::Find()
{
    FMasks = SplitMask(FFileMask);
    FFound.clear();
    try {
        SearchFolder(FPath, FFileAttr.AttributeMask());
    } catch (...) {
        if (FListBox)
            FListBox(FFound);
        throw;
    }
    if (FListBox)
        FListBox(FFound);
    return FFound;
}

void THFFile::SearchFolder(const QString &Folder, unsigned Mask)
{
    const std::vector<FolderEntry> entries = ReadFolder(Folder);
    for (const QString &mask : std::as_const(FMasks)) {
        // An empty pattern names the folder itself, which the enumeration
        // never returns.
        if (mask.isEmpty())
            continue;
        const bool everything = mask == QLatin1String("*.*");
        const QString pattern = mask.toCaseFolded();
        for (const FolderEntry &entry : entries) {
            if (!Selected(entry.attributes, Mask))
                continue;
            if (!everything && !MatchesPattern(pattern, entry.name))
                continue;
            FFound.push_back(Entry(Folder, entry.name, entry.size, entry.modified));
        }
    }
    if (!FInSubFolders)
        return;
    for (const FolderEntry &entry : entries) {
        if (Selected(entry.attributes, faDirectory) && (entry.attributes & faDirectory) &&
            !entry.link)
            SearchFolder(Folder + entry.name + u'/', Mask);
    }
}

QString THFFile::Entry(const QString &Folder, const QString &Name, long long Size,
                       long long ModifiedSecs) const
{
    QString entry = Folder + Name;
    if (FIncFileSize)
        entry += u',' + QString::number(static_cast<qint32>(static_cast<quint32>(Size))) +
                 QLatin1String(" bytes ");
    if (FIncFileDate) {
        // File dates of the original platform count in steps of two seconds.
        const QDateTime local = QDateTime::fromSecsSinceEpoch(ModifiedSecs, Qt::LocalTime);
        const QDate d = local.date();
        const QTime t = local.time();
        entry += QString::asprintf(",%02d-%02d-%04d  %02d-%02d-%02d", d.day(), d.month(), d.year(),
                                   t.hour(), t.minute(), t.second() & ~1);
    }
    return entry;
}

} // namespace filefind
