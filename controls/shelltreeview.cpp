#include "controls/shelltreeview.h"

#include <QKeyEvent>
#include <QTimer>

#include "controls/einvalidpath.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

namespace controls {

namespace {

constexpr int Indent = 19;

// The model finds folders it filters out when asked by path, so the rules
// for what the tree shows are checked here as well.
bool Showable(const QString &Path)
{
    if (!QDir::isAbsolutePath(Path))
        return false;
    const QString clean = QDir::cleanPath(Path);
    for (const QString &part : clean.split(u'/', Qt::SkipEmptyParts))
        if (part.startsWith(u'.'))
            return false;
    return QFileInfo(clean).isDir();
}

} // namespace

TShellTreeView::TShellTreeView(QWidget *parent)
    : QTreeView(parent), Model(new QFileSystemModel(this))
{
    Model->setOption(QFileSystemModel::DontWatchForChanges);
    Model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    Model->setReadOnly(true);
    Model->setRootPath(QStringLiteral("/"));
    setModel(Model);
    for (int column = 1; column < Model->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(Indent);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Without decoration the top node has no button of its own to open it.
    expand(Model->index(QStringLiteral("/")));
    // The selection, not the current item: a view makes its first item
    // current when it gets the focus, and that is no choice of the user's.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit OnChange(); });
    // Folders arrive in the background and push the selection down as they
    // are sorted in: until the user takes over, keep it in view.
    const auto follow = [this] {
        if (Following && !FollowPending) {
            FollowPending = true;
            QTimer::singleShot(0, this, [this] {
                FollowPending = false;
                if (const QModelIndex selected = Selected(); Following && selected.isValid())
                    scrollTo(selected, QAbstractItemView::PositionAtCenter);
            });
        }
    };
    connect(Model, &QFileSystemModel::rowsInserted, this, follow);
    connect(Model, &QFileSystemModel::layoutChanged, this, follow);
    connect(Model, &QFileSystemModel::directoryLoaded, this, follow);
}

bool TShellTreeView::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        Following = false;
        break;
    default:
        break;
    }
    return QTreeView::viewportEvent(event);
}

void TShellTreeView::keyPressEvent(QKeyEvent *event)
{
    Following = false;
    QTreeView::keyPressEvent(event);
}

QString TShellTreeView::Path() const
{
    const QModelIndex selected = Selected();
    return selected.isValid() ? Model->filePath(selected) : QString();
}

void TShellTreeView::SetPath(const QString &Value)
{
    const QModelIndex index =
        Showable(Value) ? Model->index(QDir::cleanPath(Value)) : QModelIndex();
    if (!index.isValid())
        throw EInvalidPath("Error setting path: \"" + Value.toStdString() + '"');
    if (index == Selected())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
    Following = true;
}

QModelIndex TShellTreeView::Selected() const
{
    // The model has columns the view hides; any selected one names the row.
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    return indexes.isEmpty() ? QModelIndex() : indexes.first().siblingAtColumn(0);
}

} // namespace controls
