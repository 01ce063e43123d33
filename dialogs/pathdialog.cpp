#include "pathdialog.h"

#include "rootfiltermodel.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
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

bool TPathDialog::Execute()
{
    auto *ownerWidget = qobject_cast<QWidget *>(parent());
    QWidget *owner = ownerWidget ? ownerWidget->window() : QApplication::activeWindow();

    const QString root = RootPath();
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return false;

    // Declared before the window so that they outlive the view showing them.
    QFileSystemModel model;
    model.setReadOnly(true);
    model.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
    model.setRootPath(root);
    TRootFilterModel filter;
    filter.setSourceModel(&model);
    filter.SetRoot(root);

    QDialog window(owner);
    window.setWindowTitle(QStringLiteral("Browse for Folder"));
    window.resize(340, 400);
    auto *layout = new QVBoxLayout(&window);
    auto *prompt = new QLabel(FTitle, &window);
    prompt->setObjectName(QStringLiteral("Prompt"));
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    auto *tree = new QTreeView(&window);
    tree->setObjectName(QStringLiteral("Tree"));
    tree->setModel(&filter);
    tree->setHeaderHidden(true);
    for (int c = 1; c < filter.columnCount(); ++c)
        tree->hideColumn(c);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // The root folder is the single top item.
    const QModelIndex top = filter.mapFromSource(model.index(root));
    tree->setRootIndex(top.parent());
    tree->setExpanded(top, true);
    layout->addWidget(tree, 1);

    QLabel *status = nullptr;
    if (FShowStatus) {
        status = new QLabel(&window);
        status->setObjectName(QStringLiteral("Status"));
        status->setTextFormat(Qt::PlainText);
        layout->addWidget(status);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &window);
    buttons->setObjectName(QStringLiteral("Buttons"));
    layout->addWidget(buttons);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);

    Model = &model;
    Filter = &filter;
    Tree = tree;
    Status = status;
    // The root is selected until the starting folder is applied.
    tree->setCurrentIndex(top);
    ok->setEnabled(top.isValid());
    // Only an item with a file-system path can be confirmed.
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, ok](const QModelIndex &current) {
                ok->setEnabled(!PathOf(current).isEmpty());
                SelectionChanged(current);
            });

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

    // The starting folder and status text are applied once the window is up.
    InitPending = true;
    window.installEventFilter(this);

    const bool confirmed = window.exec() == QDialog::Accepted;
    FBrowseHandle = nullptr;
    InitPending = false;
    bool result = false;
    if (confirmed) {
        const QString path = PathOf(tree->currentIndex());
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
            QMessageBox box(QMessageBox::Information, QApplication::applicationName(), message,
                            QMessageBox::Ok, FBrowseHandle.data());
            box.exec();
        }
    } catch (...) {
    }
}

} // namespace dialogs
