#include "controls/shelltreeview.h"

#include <QKeyEvent>
#include <QTimer>

#include "controls/einvalidpath.h"
#include "controls/singleselection.h"

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
    return QDir::isAbsolutePath(Path) && QFileInfo(QDir::cleanPath(Path)).isDir();
}

bool HiddenOnTheWay(const QString &Path)
{
    for (const QString &part : Path.split(u'/', Qt::SkipEmptyParts))
        if (part.startsWith(u'.'))
            return true;
    return false;
}

} // namespace

TShellTreeView::TShellTreeView(QWidget *parent)
    : QTreeView(parent), Model(new QFileSystemModel(this))
{
    Model->setOption(QFileSystemModel::DontWatchForChanges);
    // Hidden folders are in the model and hidden in the view, so that
    // showing them needs no new read.
    Model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
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
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!Quiet)
            emit OnChange();
    });
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
    connect(Model, &QFileSystemModel::rowsInserted, this, &TShellTreeView::HideRows);
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
    if (event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_H)) {
        SetShowHidden(!ShowHidden);
        event->accept();
        return;
    }
    Following = false;
    QTreeView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags TShellTreeView::selectionCommand(const QModelIndex &index,
                                                                     const QEvent *event) const
{
    return KeepOneSelected(QTreeView::selectionCommand(index, event),
                           index.isValid() && selectionModel()->isSelected(index));
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
    const QString clean = QDir::cleanPath(Value);
    if (HiddenOnTheWay(clean) || HiddenOnTheWay(Kept)) {
        Kept = HiddenOnTheWay(clean) ? clean : QString();
        HideAllRows(Model->index(QStringLiteral("/")).parent());
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
    Following = true;
}

void TShellTreeView::SelectTop()
{
    const QModelIndex top = Model->index(QStringLiteral("/"));
    Quiet = true;
    selectionModel()->setCurrentIndex(top, QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
    Quiet = false;
    scrollTo(top);
}

void TShellTreeView::SetShowHidden(bool Value)
{
    if (Value == ShowHidden)
        return;
    ShowHidden = Value;
    // The selection stays in view when its own folder is a hidden one.
    const QString selected = Path();
    Kept = HiddenOnTheWay(selected) ? selected : QString();
    HideAllRows(Model->index(QStringLiteral("/")).parent());
    if (const QModelIndex index = Selected(); index.isValid())
        scrollTo(index);
    emit ShowHiddenChanged(ShowHidden);
}

bool TShellTreeView::Hides(const QModelIndex &index) const
{
    if (ShowHidden || !Model->fileName(index).startsWith(u'.'))
        return false;
    const QString path = Model->filePath(index);
    return !(Kept == path || Kept.startsWith(path + u'/'));
}

void TShellTreeView::HideRows(const QModelIndex &parent, int first, int last)
{
    for (int row = first; row <= last; ++row)
        setRowHidden(row, parent, Hides(Model->index(row, 0, parent)));
}

void TShellTreeView::HideAllRows(const QModelIndex &parent)
{
    // Only what the model has read; folders read later are done as their
    // rows arrive.
    const int rows = Model->rowCount(parent);
    HideRows(parent, 0, rows - 1);
    for (int row = 0; row < rows; ++row)
        HideAllRows(Model->index(row, 0, parent));
}

QModelIndex TShellTreeView::Selected() const
{
    // The model has columns the view hides; any selected one names the row.
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    return indexes.isEmpty() ? QModelIndex() : indexes.first().siblingAtColumn(0);
}

} // namespace controls
