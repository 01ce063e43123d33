#include "pathdialog.h"

#include "rootfiltermodel.h"

#include "controls/messagebox.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <exception>

namespace dialogs {

TPathDialog::TPathDialog(QObject *parent) : QObject(parent) {}

TPathDialog::~TPathDialog() = default;

QString TPathDialog::RootPath() const
{
    return FRootItem == riDesktop ? QDir::homePath() : QDir::rootPath();
}

void TPathDialog::SetDirectory(const QString &Value)
{
    // "/" keeps its separator: without it the value would be empty, which
    // names the current folder instead of the root.
    if (Value.endsWith(QLatin1Char('/')) && Value != QLatin1String("/"))
        FDirectory = Value.chopped(1);
    else if (Value.isEmpty())
        FDirectory = QDir::currentPath();
    else
        FDirectory = Value;
    if (FBrowseHandle && !FDirectory.isEmpty())
        Select(FDirectory);
}

void TPathDialog::SetStatusText(const QString &Value)
{
    FStatusText = Value;
    if (FBrowseHandle && FShowStatus && Status)
        Status->setText(Value);
}

namespace {

// The parts of the browse window that live on after it is built.
struct TBrowseWindow
{
    QTreeView *Tree = nullptr;
    QLabel *Status = nullptr;
    QPushButton *Ok = nullptr;
    QModelIndex Top; // the root folder, the tree's single top item
};

// Every folder under root, hidden ones too, and nothing beside it.
void ListFolders(QFileSystemModel &model, TRootFilterModel &filter, const QString &root)
{
    model.setReadOnly(true);
    model.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    model.setRootPath(root);
    filter.setSourceModel(&model);
    filter.SetRoot(root);
}

// The prompt, the folder tree, the status line when there is one, and OK
// and Cancel, one under another.
TBrowseWindow BuildBrowseWindow(QDialog &window, const QString &title, bool showStatus,
                                QFileSystemModel &model, TRootFilterModel &filter,
                                const QString &root)
{
    window.setWindowTitle(QStringLiteral("Browse for Folder"));
    window.resize(340, 400);
    auto *layout = new QVBoxLayout(&window);
    auto *prompt = new QLabel(title, &window);
    prompt->setObjectName(QStringLiteral("Prompt"));
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    TBrowseWindow parts;
    auto *tree = new QTreeView(&window);
    tree->setObjectName(QStringLiteral("Tree"));
    tree->setModel(&filter);
    tree->setHeaderHidden(true);
    for (int c = 1; c < filter.columnCount(); ++c)
        tree->hideColumn(c);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    parts.Top = filter.mapFromSource(model.index(root));
    tree->setRootIndex(parts.Top.parent());
    tree->setExpanded(parts.Top, true);
    layout->addWidget(tree, 1);
    parts.Tree = tree;

    if (showStatus) {
        parts.Status = new QLabel(&window);
        parts.Status->setObjectName(QStringLiteral("Status"));
        parts.Status->setTextFormat(Qt::PlainText);
        layout->addWidget(parts.Status);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &window);
    buttons->setObjectName(QStringLiteral("Buttons"));
    layout->addWidget(buttons);
    parts.Ok = buttons->button(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    return parts;
}

} // namespace

bool TPathDialog::Execute()
{
    auto *ownerWidget = qobject_cast<QWidget *>(parent());
    QWidget *owner = ownerWidget ? ownerWidget->window() : QApplication::activeWindow();

    const QString root = RootPath();
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return false;

    // Declared before the window so that they outlive the view showing them.
    QFileSystemModel model;
    TRootFilterModel filter;
    ListFolders(model, filter, root);

    QDialog window(owner);
    const TBrowseWindow parts = BuildBrowseWindow(window, FTitle, FShowStatus, model, filter, root);
    Model = &model;
    Filter = &filter;
    Tree = parts.Tree;
    Status = parts.Status;
    TrackSelection(parts.Ok, parts.Top);
    KeepSelectionInView(model, filter);

    // The starting folder and status text are applied once the window is up.
    InitPending = true;
    window.installEventFilter(this);

    return Finish(window.exec() == QDialog::Accepted);
}

void TPathDialog::TrackSelection(QPushButton *ok, const QModelIndex &top)
{
    // The root is selected until the starting folder is applied.
    Tree->setCurrentIndex(top);
    ok->setEnabled(top.isValid());
    // Only an item with a file-system path can be confirmed.
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, ok](const QModelIndex &current) {
                ok->setEnabled(!PathOf(current).isEmpty());
                SelectionChanged(current);
            });
}

void TPathDialog::KeepSelectionInView(QFileSystemModel &model, TRootFilterModel &filter)
{
    // Folders load in the background, and each one listed above the
    // selection pushes it down: it is scrolled back into view as they come,
    // until the user picks another.
    const auto keepInView = [this] {
        if (!ScrollTarget.isEmpty() && Tree && PathOf(Tree->currentIndex()) == ScrollTarget)
            Tree->scrollTo(Tree->currentIndex());
    };
    connect(&model, &QFileSystemModel::directoryLoaded, this, keepInView);
    connect(&filter, &QAbstractItemModel::rowsInserted, this, keepInView, Qt::QueuedConnection);
    connect(&filter, &QAbstractItemModel::layoutChanged, this, keepInView, Qt::QueuedConnection);
}

bool TPathDialog::Finish(bool confirmed)
{
    FBrowseHandle = nullptr;
    InitPending = false;
    bool result = false;
    if (confirmed) {
        const QString path = PathOf(Tree->currentIndex());
        if (!path.isEmpty()) {
            FDirectory = path;
            result = true;
        }
    }
    Model = nullptr;
    Filter = nullptr;
    Tree = nullptr;
    Status = nullptr;
    ScrollTarget.clear();
    return result;
}

bool TPathDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && InitPending) {
        InitPending = false;
        QPointer<QDialog> window = qobject_cast<QDialog *>(watched);
        QMetaObject::invokeMethod(
            this,
            [this, window] {
                if (window && window->isVisible() && Tree) {
                    FBrowseHandle = window;
                    Initialised();
                }
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void TPathDialog::Initialised()
{
    SetDirectory(FDirectory);
    SetStatusText(FStatusText);
    if (OnShow)
        Report([this] { OnShow(this); });
}

void TPathDialog::SelectionChanged(const QModelIndex &current)
{
    if (!OnSelect)
        return;
    const QString path = PathOf(current);
    Report([this, &path] { OnSelect(this, path); });
}

void TPathDialog::Select(const QString &path)
{
    if (!Model || !Tree)
        return;
    const QModelIndex source = Model->index(path);
    if (!source.isValid() || !Filter->Covers(Model->filePath(source)))
        return; // not a folder, or outside the tree: the selection stays
    const QModelIndex index = Filter->mapFromSource(source);
    if (!index.isValid())
        return;
    ScrollTarget = Model->filePath(source);
    Tree->setCurrentIndex(index);
    Tree->scrollTo(index);
}

QString TPathDialog::PathOf(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !Model || !Filter)
        return {};
    return Model->filePath(Filter->mapToSource(proxyIndex));
}

void TPathDialog::Report(const std::function<void()> &event)
{
    // An error in the caller's handler must not end the browsing.
    QString message;
    try {
        event();
        return;
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        return;
    }
    try {
        if (OnMessage) {
            OnMessage(message);
        } else {
            controls::ShowMessageBox(controls::MessageKind::mkInformation, message,
                                     FBrowseHandle.data());
        }
    } catch (...) {
    }
}

} // namespace dialogs
