#include "rootfiltermodel.h"

#include <QFileSystemModel>

namespace dialogs {

namespace {

QString WithSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

TRootFilterModel::TRootFilterModel(QObject *parent) : QSortFilterProxyModel(parent) {}

void TRootFilterModel::SetRoot(const QString &root)
{
    FRoot = root;
    invalidateFilter();
}

bool TRootFilterModel::Covers(const QString &path) const
{
    return path == FRoot || path.startsWith(WithSeparator(FRoot));
}

bool TRootFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const auto *fs = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!fs || FRoot.isEmpty())
        return true;
    const QString path = fs->filePath(fs->index(sourceRow, 0, sourceParent));
    // Below the root, or one of the folders leading down to it.
    return Covers(path) || FRoot.startsWith(WithSeparator(path));
}

} // namespace dialogs
