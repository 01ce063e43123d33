#include "controls/filelistbox.h"

#include "controls/singleselection.h"
#include "controls/windowstyle.h"
#include "filefind/folderlisting.h"

#include <QAbstractListModel>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace controls {

namespace {

enum class Kind
{
    Program,
    Library,
    Picture,
    Other
};

Kind KindOf(const QString &Name)
{
    const qsizetype dot = Name.lastIndexOf(u'.');
    if (dot < 0)
        return Kind::Other;
    const QString ext = Name.mid(dot + 1).toLower();
    for (const char *e : {"exe", "com", "bat", "cmd", "pif", "scr"})
        if (ext == QLatin1String(e))
            return Kind::Program;
    for (const char *e : {"dll", "ocx", "clx", "cpl", "drv", "vbx"})
        if (ext == QLatin1String(e))
            return Kind::Library;
    for (const char *e : {"bmp", "ico", "cur", "ani"})
        if (ext == QLatin1String(e))
            return Kind::Picture;
    return Kind::Other;
}

// 16 x 16 glyphs drawn here so that every platform shows the same ones and no
// icon theme is asked per file.
QIcon Glyph(Kind kind)
{
    QPixmap pixmap(TFileListBox::ItemHeight, TFileListBox::ItemHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(kBlack);
    if (kind == Kind::Program) {
        // A little window with a title bar.
        p.fillRect(1, 3, 14, 10, kWhite);
        p.fillRect(1, 3, 14, 3, kNavy);
        p.drawRect(1, 3, 13, 9);
        return QIcon(pixmap);
    }
    // A page with a folded corner, marked by what it holds.
    const QPoint page[] = {{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}};
    p.setBrush(kWhite);
    p.drawPolygon(page, 5);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
    switch (kind) {
    case Kind::Library:
        p.fillRect(5, 6, 4, 4, kTeal);
        p.fillRect(7, 9, 4, 4, kGray);
        break;
    case Kind::Picture:
        p.fillRect(5, 6, 7, 3, kAqua);
        p.fillRect(5, 9, 7, 4, kGreen);
        break;
    default:
        for (int y = 6; y <= 12; y += 2)
            p.drawLine(5, y, 11, y);
        break;
    }
    return QIcon(pixmap);
}

class FileNameModel : public QAbstractListModel
{
public:
    explicit FileNameModel(QObject *parent)
        : QAbstractListModel(parent), Glyphs{Glyph(Kind::Program), Glyph(Kind::Library),
                                             Glyph(Kind::Picture), Glyph(Kind::Other)}
    {}

    const QStringList &Names() const { return FNames; }

    void SetNames(QStringList Value)
    {
        beginResetModel();
        FNames = std::move(Value);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(FNames.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= FNames.size())
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return FNames.at(index.row());
        case Qt::DecorationRole:
            return Glyphs[static_cast<std::size_t>(KindOf(FNames.at(index.row())))];
        case Qt::SizeHintRole:
            // Rows are as wide as the view; only the height is ours.
            return QSize(0, TFileListBox::ItemHeight);
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                               : Qt::NoItemFlags;
    }

private:
    QStringList FNames;
    std::array<QIcon, 4> Glyphs;
};

} // namespace

TFileListBox::TFileListBox(QWidget *parent) : QListView(parent), Model(new FileNameModel(this))
{
    setModel(Model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setIconSize(QSize(ItemHeight, ItemHeight));
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit OnChange(); });
}

void TFileListBox::SetMask(const QString &Value)
{
    if (FMask == Value)
        return;
    FMask = Value;
    ReRead();
}

void TFileListBox::SetDirectory(const QString &Value)
{
    const QString path = Value.isEmpty() ? QString() : QDir::cleanPath(QDir(Value).absolutePath());
    if (FDirectory == path)
        return;
    FDirectory = path;
    ReRead();
}

int TFileListBox::Count() const
{
    return Model->rowCount(QModelIndex());
}

QString TFileListBox::Item(int Index) const
{
    return static_cast<const FileNameModel *>(Model)->Names().value(Index);
}

QStringList TFileListBox::Items() const
{
    return static_cast<const FileNameModel *>(Model)->Names();
}

QItemSelectionModel::SelectionFlags TFileListBox::selectionCommand(const QModelIndex &index,
                                                                   const QEvent *event) const
{
    return KeepOneSelected(QListView::selectionCommand(index, event),
                           index.isValid() && selectionModel()->isSelected(index));
}

int TFileListBox::ItemIndex() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TFileListBox::SetItemIndex(int Value)
{
    if (Value < 0 || Value >= Count())
        Value = -1;
    if (Value == ItemIndex())
        return;
    if (Value < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = Model->index(Value);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

QString TFileListBox::FileName() const
{
    const int row = ItemIndex();
    if (row < 0)
        return {};
    return (FDirectory.endsWith(u'/') ? FDirectory : FDirectory + u'/') + Item(row);
}

QStringList TFileListBox::ReadFileNames(const QString &Directory, const QString &Mask, bool Hidden)
{
    QStringList names;
    for (const std::string &name : filefind::ListFolderFiles(
             QFile::encodeName(Directory).toStdString(), Mask.toStdString(), Hidden))
        names.push_back(QFile::decodeName(QByteArray::fromStdString(name)));
    return names;
}

void TFileListBox::SetShowHidden(bool Value)
{
    if (Value == ShowHidden)
        return;
    ShowHidden = Value;
    ReRead();
}

void TFileListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_H)) {
        emit ToggleHidden();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void TFileListBox::ReRead()
{
    // A reset clears the selection without a signal of its own; the one
    // OnChange below stands for both.
    static_cast<FileNameModel *>(Model)->SetNames(ReadFileNames(FDirectory, FMask, ShowHidden));
    scrollToTop();
    emit OnChange();
}

} // namespace controls
