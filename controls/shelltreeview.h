#pragma once

#include <QTreeView>

class QFileSystemModel;

namespace controls {

// The folder tree: every folder below the file-system root "/", which is
// the tree's one top node. Hidden folders (names starting with ".") and
// everything that is not a folder are left out. Folders are read when
// first expanded and not watched afterwards.
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
    // absolute path of an existing folder the tree shows; the selection then
    // stays as it was.
    void SetPath(const QString &Value);

signals:
    // The selection moved to another folder, by the user or through SetPath.
    void OnChange();

protected:
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QModelIndex Selected() const;

    QFileSystemModel *Model;
    bool Following = false; // keep the selection in view while folders load
    bool FollowPending = false;
};

} // namespace controls
