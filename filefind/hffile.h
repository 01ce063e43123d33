#pragma once

#include "tfileattr.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace filefind {

// Lists the entries of one folder (and on request of its subfolders) whose
// names match FileMask and whose attributes match FileAttr. An entry is the
// folder searched, with its trailing "/", followed by the name; with
// IncFileSize ",<size> bytes " follows, with IncFileDate
// ",dd-mm-yyyy  hh-nn-ss" (local time, seconds rounded down to even ones).
//
// Linux has no attribute bits, so an entry's kinds are taken from what the
// file system says:
//   read-only    the user running the program may not write it (access(2)
//                with W_OK; root may write nearly everything, so it rarely
//                sees this kind)
//   hidden       the name begins with "."
//   system       neither a regular file nor a folder: devices, sockets,
//                pipes and links that lead nowhere
//   volume label never
//   directory    a folder (a link to a folder counts as one)
//   archive      every regular file, as files on the original platform
//                normally carry it
// A name is passed over when it carries hidden, system or directory and
// FileAttr does not ask for that kind, and is listed when it then shares a
// kind with FileAttr: [ffaAnyFile] lists every matching name, [ffaArchive]
// alone the visible regular files only.
//
// Patterns are compared without regard to case, "*" is any run of
// characters, "*.*" matches every name. A folder's names come in name order
// (the order of the original platform's enumeration, which Linux does not
// keep), its subfolders' entries follow it depth first. Links to folders are
// listed but not entered, so that a link loop cannot trap the search.
class THFFile : public QObject
{
    Q_OBJECT
    Q_PROPERTY(filefind::TFileAttr FileAttr READ FileAttr WRITE SetFileAttr)
    Q_PROPERTY(bool InSubFolders READ InSubFolders WRITE SetInSubFolders)
    Q_PROPERTY(QString Path READ Path WRITE SetPath)
    Q_PROPERTY(QString FileMask READ FileMask WRITE SetFileMask)
    Q_PROPERTY(bool IncFileSize READ IncFileSize WRITE SetIncFileSize)
    Q_PROPERTY(bool IncFileDate READ IncFileDate WRITE SetIncFileDate)

public:
    // Stands in for a list box: receives a copy of the results after every
    // search. Below the windows there is no list box, so the window passes a
    // function that fills its own; the finder neither owns nor watches it.
    using TListBox = std::function<void(const QStringList &)>;

    explicit THFFile(QObject *parent = nullptr);
    ~THFFile() override;

    TFileAttr FileAttr() const { return FFileAttr; }
    void SetFileAttr(TFileAttr Value) { FFileAttr = Value; }
    bool InSubFolders() const { return FInSubFolders; }
    void SetInSubFolders(bool Value) { FInSubFolders = Value; }
    QString Path() const { return FPath; }
    // Takes Value only when it differs from Path, is not empty and names an
    // existing folder; a "/" is added unless Value ends with one.
    void SetPath(const QString &Value);
    QString FileMask() const { return FFileMask; }
    void SetFileMask(const QString &Value) { FFileMask = Value; }
    bool IncFileSize() const { return FIncFileSize; }
    void SetIncFileSize(bool Value) { FIncFileSize = Value; }
    bool IncFileDate() const { return FIncFileDate; }
    void SetIncFileDate(bool Value) { FIncFileDate = Value; }
    const TListBox &ListBox() const { return FListBox; }
    void SetListBox(TListBox Value) { FListBox = std::move(Value); }

    // Searches Path and returns the finder's own result list, valid until
    // the next Find. ListBox gets the results also when the search throws.
    const QStringList &Find();

    // The patterns FileMask is cut into: "*.*" alone stays whole; otherwise
    // every character other than a letter, "*" or "." ends a pattern (so a
    // digit, "_" or "-" cuts one), empty patterns included.
    static QStringList SplitMask(const QString &Mask);

private:
    void SearchFolder(const QString &Folder, unsigned Mask);
    QString Entry(const QString &Folder, const QString &Name, long long Size,
                  long long ModifiedSecs) const;

    QStringList FFound;
    QStringList FMasks;
    TListBox FListBox;
    bool FIncFileSize = false;
    bool FIncFileDate = false;
    bool FInSubFolders = false;
    TFileAttr FFileAttr;
    QString FPath;
    QString FFileMask;
};

} // namespace filefind
