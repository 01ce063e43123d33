#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QDialog;
class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace dialogs {

class TRootFilterModel;

// A modal folder picker: the caller sets a prompt and a starting folder,
// runs Execute, and on success reads the chosen folder back from Directory.
// It is a component owned by its form; the browse window exists only while
// Execute runs.
class TPathDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)
    Q_PROPERTY(bool ShowStatus READ ShowStatus WRITE SetShowStatus)
    Q_PROPERTY(QString StatusText READ StatusText WRITE SetStatusText)
    Q_PROPERTY(TRootItem RootItem READ RootItem WRITE SetRootItem)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    enum TRootItem
    {
        riMyComputer, // the file-system root
        riDesktop,    // the user's home folder
    };
    Q_ENUM(TRootItem)

    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TSelectEvent = std::function<void(QObject *Sender, const QString &Path)>;
    using TMessageEvent = std::function<void(const QString &Text)>;

    explicit TPathDialog(QObject *parent = nullptr);
    ~TPathDialog() override;

    QString Title() const { return FTitle; }
    void SetTitle(const QString &Value) { FTitle = Value; }
    QString Directory() const { return FDirectory; }
    // One trailing separator is dropped ("/" itself stays), empty means the
    // current folder; while browsing the folder is selected at once.
    void SetDirectory(const QString &Value);
    bool ShowStatus() const { return FShowStatus; }
    void SetShowStatus(bool Value) { FShowStatus = Value; }
    QString StatusText() const { return FStatusText; }
    // Shown at once while browsing with ShowStatus on.
    void SetStatusText(const QString &Value);
    TRootItem RootItem() const { return FRootItem; }
    void SetRootItem(TRootItem Value) { FRootItem = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    // Fired once the browse window is open, after the starting folder and
    // status text have been applied.
    TNotifyEvent OnShow;
    // Fired whenever the selection changes; Path is empty for an item
    // without a file-system path (no item at all).
    TSelectEvent OnSelect;
    // Shows the message of an error raised inside OnShow or OnSelect; a
    // plain message box when unassigned.
    TMessageEvent OnMessage;

    // Shows the browse window modally over the owner's window. True when
    // the user confirmed a folder; Directory then holds it as the file
    // system names it (no trailing separator except for "/"). On cancel
    // Directory keeps its value.
    bool Execute();

    // The browse window while Execute runs, nullptr at all other times.
    QDialog *BrowseHandle() const { return FBrowseHandle; }
    // The root folder of RootItem: "/" or the home folder.
    QString RootPath() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Execute's steps once the window is built: OK follows the selection,
    // the folder selected from code stays in view while folders load, and
    // the window's parts are let go when it closes.
    void TrackSelection(QPushButton *ok, const QModelIndex &top);
    void KeepSelectionInView(QFileSystemModel &model, TRootFilterModel &filter);
    bool Finish(bool confirmed);
    void Initialised();
    void SelectionChanged(const QModelIndex &current);
    void Select(const QString &path);
    QString PathOf(const QModelIndex &proxyIndex) const;
    void Report(const std::function<void()> &event);

    QString FTitle;
    QString FDirectory;
    bool FShowStatus = false;
    QString FStatusText;
    TRootItem FRootItem = riMyComputer;
    int FTag = 0;

    QPointer<QDialog> FBrowseHandle;
    QFileSystemModel *Model = nullptr;
    TRootFilterModel *Filter = nullptr;
    QTreeView *Tree = nullptr;
    QLabel *Status = nullptr;
    bool InitPending = false;
    // The folder last selected from code, kept in view while folders load.
    QString ScrollTarget;
};

} // namespace dialogs
