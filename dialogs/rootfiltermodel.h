#pragma once

#include <QSortFilterProxyModel>

namespace dialogs {

// Narrows a file-system model to one folder and what lies below it, keeping
// the folders above it so that the folder itself shows as the top item.
class TRootFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TRootFilterModel(QObject *parent = nullptr);

    // An absolute path without trailing separator ("/" for the root).
    void SetRoot(const QString &root);
    QString Root() const { return FRoot; }

    // Whether path is the root or lies below it.
    bool Covers(const QString &path) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString FRoot;
};

} // namespace dialogs
