#pragma once

#include <QTreeView>

class QFileSystemModel;

namespace controls {

// The folder tree: every folder below the file-system root "/", which is
// the tree's one top node. Everything that is not a folder is left out, and
// so are hidden folders (names starting with "."), as in file managers:
// Ctrl+H shows them and hides them again, and a path set in code through
// hidden folders shows those on its way. Folders are read when first
// expanded and not watched afterwards.
class TShellTreeView : public QTreeView
{
    Q_OBJECT
    Q_PROPERTY(QString Path READ Path WRITE SetPath)

public:
    explicit TShellTreeView(QWidget *parent = nullptr);

    // The selected folder, absolute and without a trailing separator ("/"
    // for the top node); empty when nothing is selected.
    QString Path() const;
    // Selects the folder Value names, opening the tree down to it. Throws
    // EInvalidPath ("Error setting path: "<Value>"") when that is not an
    // absolute path of an existing folder; the selection then stays as it
    // was. Hidden folders on the way are shown.
    void SetPath(const QString &Value);
    // Selects the top node "/" without an OnChange: where the tree stays
    // when the folder it was asked to open could not be set.
    void SelectTop();
    // Whether hidden folders are shown (Ctrl+H switches).
    bool ShowsHidden() const { return ShowHidden; }
    void SetShowHidden(bool Value);

signals:
    // The selection moved to another folder, by the user or through SetPath.
    void OnChange();
    // Hidden folders were shown or hidden again.
    void ShowHiddenChanged(bool Shown);

protected:
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    QModelIndex Selected() const;
    // Hidden rows: hidden folders unless shown or on the way to Kept.
    bool Hides(const QModelIndex &index) const;
    void HideRows(const QModelIndex &parent, int first, int last);
    void HideAllRows(const QModelIndex &parent);

    QFileSystemModel *Model;
    bool Following = false; // keep the selection in view while folders load
    bool FollowPending = false;
    bool Quiet = false; // selecting without telling
    bool ShowHidden = false;
    QString Kept; // a path set in code, kept in view though hidden
};

} // namespace controls
