#pragma once

#include <QListView>

class QAbstractListModel;

namespace controls {

// The files of one folder that match a mask, sorted by name without regard
// to case, each with a glyph for its type.
//
// Only regular files are listed (links to them included); folders, devices,
// pipes, sockets and, unless shown, hidden files (names starting with ".")
// are left out.
// The folder is read once, whenever Directory or Mask changes; a folder that
// is missing or may not be read lists empty. Nothing is watched: a file
// removed later stays listed until the next read.
//
// A folder of many thousands of files lists quickly: one pass over the
// folder without a stat per file, one sort, rows of uniform height whose
// glyphs are only looked up when painted.
class TFileListBox : public QListView
{
    Q_OBJECT
    Q_PROPERTY(QString Mask READ Mask WRITE SetMask)
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)

public:
    static constexpr int ItemHeight = 16;

    explicit TFileListBox(QWidget *parent = nullptr);

    // Wildcard patterns ("*" any run, "?" any one character) separated by
    // ";", empty ones ignored, matched without regard to case; "*.*"
    // matches every name. Changing it re-reads the folder.
    QString Mask() const { return FMask; }
    void SetMask(const QString &Value);
    // Held absolute and without a trailing separator ("/" for the root);
    // empty until first set. Changing it re-reads the folder.
    QString Directory() const { return FDirectory; }
    void SetDirectory(const QString &Value);

    int Count() const;
    QString Item(int Index) const;
    QStringList Items() const;
    // Row of the selected file, -1 when none.
    int ItemIndex() const;
    // -1 (or any row out of range) clears the selection.
    void SetItemIndex(int Value);
    // Directory joined with the selected file's name; empty when nothing is
    // selected. The file may have gone since the folder was read.
    QString FileName() const;
    // Whether hidden files are listed; changing it re-reads the folder.
    bool ShowsHidden() const { return ShowHidden; }
    void SetShowHidden(bool Value);

    // The names a read of Directory under Mask gives, in list order.
    static QStringList ReadFileNames(const QString &Directory, const QString &Mask,
                                     bool Hidden = false);

signals:
    // The selection changed, or the folder was read again (which leaves
    // nothing selected).
    void OnChange();
    // Ctrl+H: the user asks to show or hide hidden files and folders.
    void ToggleHidden();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ReRead();

    QAbstractListModel *Model;

    QString FMask = QStringLiteral("*.*");
    QString FDirectory;
    bool ShowHidden = false;
};

} // namespace controls
