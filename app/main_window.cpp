#include "main_window.h"

#include "about/aboutboxdlg.h"
#include "bitmaptoregion.h"
#include "controls/accessiblecontrols.h"
#include "controls/filelistbox.h"
#include "controls/filtercombobox.h"
#include "controls/gauge.h"
#include "controls/imgbtn.h"
#include "controls/shelltreeview.h"
#include "controls/spinedit.h"
#include "controls/windowstyle.h"
#include "dialogs/seldirform.h"
#include "filefind/gallerypage.h"
#include "filefind/hffile.h"
#include "fittext.h"
#include "helpwindow.h"
#include "hintrouter.h"
#include "iconpicture.h"
#include "iconwriter/iconextraction.h"
#include "iconwriter/icontofile.h"
#include "iconwriter/saveall.h"
#include "iconwriter/saveformats.h"
#include "iconwriter/saveicon.h"
#include "iconwriter/wholeiconfile.h"
#include "messages.h"
#include "platform/bytesource.h"
#include "platform/extracticon.h"
#include "programfolder.h"
#include "savedialog.h"
#include "settings/einifileerror.h"
#include "settings/inistuff.h"
#include "settings/settingsplace.h"
#include "skinart.h"
#include "skinlayout.h"
#include "tlabel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QVariantAnimation>
#include <QWindow>

#include <exception>

namespace app {

TForm1 *Form1 = nullptr;

namespace {
QString &StartPath()
{
    static QString path;
    return path;
}
} // namespace

void SetStartPath(const QString &Path)
{
    StartPath() = Path;
}

namespace {

using controls::kAqua;
using controls::kBlack;
using controls::kGray;
using controls::kLime;
using controls::kNavy;
using controls::kSilver;
using controls::SansFont;
using controls::SetColours;

const char *const kFilter = "EXE|*.exe|DLL|*.dll|OCX|*.ocx|CLX|*.clx|BMP|*.bmp|EXE, DLL, OCX, "
                            "CLX|*.exe;*.dll;*.ocx;*.clx;|all Files|*.*";

// The program's own icon file.
const QByteArray &AppIconBytes()
{
    static const QByteArray bytes = [] {
        QFile file(QString::fromLatin1(skinart::kWindowIcon));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return bytes;
}

// The program's main icon, read from its own icon file by our reader.
platform::Icon AppIcon()
{
    const QByteArray &bytes = AppIconBytes();
    const platform::MemorySource source(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size())));
    return platform::ExtractIcon(source, 0);
}

std::string LocalPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Swallows every mouse, key and wheel event meant for one window and the
// widgets on it: while the window closes, nothing on it may be used.
class TInputBlock : public QObject
{
public:
    TInputBlock(QWidget *window, QObject *parent) : QObject(parent), Window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
        case QEvent::Enter:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            if (auto *w = qobject_cast<QWidget *>(watched); w && w->window() == Window)
                return true;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *Window;
};

} // namespace

// The skin picture: drawn with its key colour (that of its bottom-left
// pixel) transparent; a press on it moves the window.
class TSkinPicture : public QWidget
{
public:
    TSkinPicture(const QImage &skin, QWidget *parent) : QWidget(parent)
    {
        QImage image = skin.convertToFormat(QImage::Format_ARGB32);
        if (!image.isNull()) {
            const QRgb key = image.pixel(0, image.height() - 1);
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    if ((line[x] & 0xFFFFFFu) == (key & 0xFFFFFFu))
                        line[x] = 0;
            }
        }
        Picture = QPixmap::fromImage(image);
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawPixmap(0, 0, Picture); }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (auto *form = qobject_cast<TForm1 *>(window())) {
            form->Image2MouseDown();
            form->StartDrag(event);
        }
        event->accept();
    }

private:
    QPixmap Picture;
};

namespace {

// The logo, drawn as vectors at any size.
class TLogo : public TPicture
{
public:
    using TPicture::TPicture;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        skinart::PaintLogo(painter, QRectF(rect()));
    }
};

controls::TImgBtn *MakeButton(QWidget *parent, const char *name, int faces, const QString &hint,
                              const QKeySequence &key)
{
    auto *button = new controls::TImgBtn(parent);
    controls::Place(button, name, skinart::ControlRectOf);
    // Screen readers call it what its faces say.
    button->setAccessibleName(QString::fromLatin1(skinart::ButtonCaption(faces)));
    button->SetShortcut(key);
    button->SetPic(QPixmap(QString::fromLatin1(skinart::ButtonFace(faces, skinart::Face::Normal))));
    button->SetPicUp(
        QPixmap(QString::fromLatin1(skinart::ButtonFace(faces, skinart::Face::Hover))));
    button->SetPicDown(
        QPixmap(QString::fromLatin1(skinart::ButtonFace(faces, skinart::Face::Pressed))));
    THintRouter::SetHint(button, hint);
    return button;
}

TLabel *MakeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new TLabel(text, parent);
    controls::Place(label, name, skinart::ControlRectOf);
    const QRect at = label->geometry();
    // Our face runs wider than the one the places were made for: the
    // caption shrinks to its place rather than running under a neighbour.
    label->setFont(skinart::FitFont(SansFont(11, true), text, at.size()));
    controls::SetTextColours(label, kAqua, controls::kDimmed);
    return label;
}

controls::TGauge *MakeGauge(QWidget *parent, const char *name, const QString &hint)
{
    auto *gauge = new controls::TGauge(parent);
    controls::Place(gauge, name, skinart::ControlRectOf);
    gauge->SetBackColor(kSilver);
    gauge->SetForeColor(kAqua);
    gauge->SetColor(kNavy);
    gauge->setFont(SansFont(11, true));
    controls::SetTextColour(gauge, kNavy);
    gauge->SetProgress(0);
    THintRouter::SetHint(gauge, hint);
    return gauge;
}

} // namespace

TForm1::TForm1(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    Form1 = this;
    // A frameless window of our own is still a window to screen readers.
    controls::SetAccessibleRole(this, QAccessible::Window);
    setWindowTitle(QStringLiteral("Rurorod Ode"));
    setWindowIcon(QIcon(QString::fromLatin1(skinart::kWindowIconPicture)));
    resize(skinart::kWindowSize);
    setMinimumSize(skinart::kWindowMinimumSize);
    // The face is painted by FormPaint, not filled.
    controls::SetGround(this, kGray, false);
    controls::SetTextColour(this, kLime);
    setFont(SansFont(11, false));
    setMouseTracking(true);
    // Wayland cuts no window to a shape: there the window is see-through
    // and painted only inside its outline (paintEvent), which looks the
    // same; the shape still decides where the mouse reaches it.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        setAttribute(Qt::WA_TranslucentBackground);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The settings file's own messages are boxes of this program too.
    settings::SetMessageHandler(
        [](const std::string &text) { ShowMessage(QString::fromLocal8Bit(text.c_str())); });
    BuildControls();
    FormCreate();
    // The destination dialog, made right after this window, sets the
    // destination to the program's folder at once.
    SaveDir = DefaultSaveFolder();
}

TForm1::~TForm1()
{
    FormDestroy();
    if (dialogs::SelDirForm && dialogs::SelDirForm->parent() == this)
        dialogs::SelDirForm = nullptr; // destroyed with this window
    if (Hints)
        qApp->removeEventFilter(Hints);
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::BuildControls()
{
    Tile = QImage(QString::fromLatin1(skinart::kBackgroundTile))
               .convertToFormat(QImage::Format_RGB888);
    // The order of creation is the stacking order: pictures and labels
    // first, the windowed controls above them.
    BuildFace();
    BuildButtons();
    BuildBrowsingPanel();
    BuildIconChoice();
    BuildColourDepth();

    // Presses on the windowed controls and the bevel stay with them: only
    // the bare face and the skin picture move the window.
    for (QWidget *w :
         std::initializer_list<QWidget *>{Panel7, SpinEdit1, FilterComboBox1, Panel1, Bevel1})
        w->setAttribute(Qt::WA_NoMousePropagation);

    // Tab order: the file list, the tree, the number box, the filter box,
    // the colour depth.
    QWidget::setTabOrder(FileListBox1, DirTree);
    QWidget::setTabOrder(DirTree, SpinEdit1);
    QWidget::setTabOrder(SpinEdit1, FilterComboBox1);
    QWidget::setTabOrder(FilterComboBox1, RadioButton1);
    QWidget::setTabOrder(RadioButton1, RadioButton2);

    BuildComponents();

    connect(DirTree, &controls::TShellTreeView::OnChange, this, &TForm1::DirTreeChange);
    connect(FileListBox1, &controls::TFileListBox::OnChange, this, &TForm1::FileListBox1Change);
    // Ctrl+H in either shows or hides hidden folders and files together.
    connect(DirTree, &controls::TShellTreeView::ShowHiddenChanged, FileListBox1,
            &controls::TFileListBox::SetShowHidden);
    connect(FileListBox1, &controls::TFileListBox::ToggleHidden, DirTree,
            [this] { DirTree->SetShowHidden(!DirTree->ShowsHidden()); });
    connect(SpinEdit1, &controls::TSpinEdit::OnChange, this, &TForm1::SpinEdit1Change);
    // A path given at start opens once the list's selection previews.
    if (!StartPath().isEmpty())
        OpenPath(StartPath());
    setAcceptDrops(true);
}

// The skin, the pictures and the labels.
void TForm1::BuildFace()
{
    Image2 = new TSkinPicture(QImage(QString::fromLatin1(skinart::kSkin)), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(skinart::kSkinPictureRect);
    Image4 = new TPicture(this);
    controls::Place(Image4, "Image4", skinart::ControlRectOf);
    Image4->hide();
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Select Icon in File"));
    Label2->setEnabled(false);
    Gauge2 = MakeGauge(this, "Gauge2", QStringLiteral("No. of icons in a single file"));
    Gauge1 = MakeGauge(this, "Gauge1", QStringLiteral("No. of icons saved so far."));
    Label4 = MakeLabel(this, "Label4", QStringLiteral("Overall Progress !"));
    Label3 = MakeLabel(this, "Label3", QStringLiteral("Progress in File !"));
    // Screen readers call the gauges what the captions above them say.
    Gauge1->setAccessibleName(Label4->text());
    Gauge2->setAccessibleName(Label3->text());
    Image3 = new TLogo(this);
    controls::Place(Image3, "Image3", skinart::ControlRectOf);
    // The status line starts empty and grows with each hint (DisplayHint).
    Label5 = MakeLabel(this, "Label5", QString());
    Label5->resize(0, Label5->height());
    Bevel1 = new QFrame(this);
    controls::Place(Bevel1, "Bevel1", skinart::ControlRectOf);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    THintRouter::SetHint(Bevel1, QStringLiteral("Preview window"));
    Image1 = new TIconPicture(this);
    controls::SetAccessibleRole(Image1, QAccessible::Graphic, true);
    controls::Place(Image1, "Image1", skinart::ControlRectOf);
    THintRouter::SetHint(Image1, QStringLiteral("Icon Viewer"));
    SetPreviewToAppIcon();
    Label1 = MakeLabel(this, "Label1", QStringLiteral("No. of Icons"));
    Label1->setEnabled(false);
    Label6 = MakeLabel(this, "Label6", QStringLiteral("Color Depth"));
}

// The picture buttons down the right-hand column.
// Each has the key a Linux program gives the command; About has none.
void TForm1::BuildButtons()
{
    ImgBtn1 = MakeButton(this, "ImgBtn1", 0, QStringLiteral("Close Rurorodode"),
                         QKeySequence(Qt::CTRL | Qt::Key_Q));
    ImgBtn2 =
        MakeButton(this, "ImgBtn2", 1, QStringLiteral("Open help file"), QKeySequence(Qt::Key_F1));
    ImgBtn3 = MakeButton(this, "ImgBtn3", 2, QStringLiteral("About Rurorodode"), QKeySequence());
    ImgBtn4 = MakeButton(this, "ImgBtn4", 3,
                         QStringLiteral("Saves all icons of all files in selected directory"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ImgBtn5 = MakeButton(this, "ImgBtn5", 4,
                         QStringLiteral("Save only the icon diplayed in the preview window"),
                         QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(ImgBtn1, &controls::TImgBtn::OnClick, this, &TForm1::ImgBtn1Click);
    connect(ImgBtn2, &controls::TImgBtn::OnClick, this, &TForm1::ImgBtn2Click);
    connect(ImgBtn3, &controls::TImgBtn::OnClick, this, &TForm1::ImgBtn3Click);
    connect(ImgBtn4, &controls::TImgBtn::OnClick, this, &TForm1::ImgBtn4Click);
    connect(ImgBtn5, &controls::TImgBtn::OnClick, this, &TForm1::ImgBtn5Click);
}

// The folder tree and the file list, side by side in Panel7.
void TForm1::BuildBrowsingPanel()
{
    Panel7 = new QWidget(this);
    controls::Place(Panel7, "Panel7", skinart::ControlRectOf);
    SetColours(Panel7, kSilver, kBlack);
    Splitter1 = new QSplitter(Qt::Horizontal, Panel7);
    Splitter1->setGeometry(Panel7->rect());
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    DirTree = new controls::TShellTreeView(Splitter1);
    SetColours(DirTree, kGray, kAqua);
    DirTree->setFont(SansFont(11, false));
    THintRouter::SetHint(DirTree, QStringLiteral("Browse for folder with .exe, .ocx etc. files"));
    DirTree->setAccessibleName(QStringLiteral("Folders"));
    FileListBox1 = new controls::TFileListBox(Splitter1);
    SetColours(FileListBox1, kGray, kAqua);
    FileListBox1->setFont(SansFont(13, false));
    FileListBox1->SetMask(QStringLiteral("*.exe"));
    THintRouter::SetHint(
        FileListBox1, QStringLiteral("The file list box displays the files allowed by the filter"));
    FileListBox1->setAccessibleName(QStringLiteral("Files"));
    Splitter1->setSizes({201, 205});
}

// The number box that picks the icon, and the filter box over the list.
void TForm1::BuildIconChoice()
{
    SpinEdit1 = new controls::TSpinEdit(this);
    controls::Place(SpinEdit1, "SpinEdit1", skinart::ControlRectOf);
    SpinEdit1->SetMinValue(0);
    SpinEdit1->SetMaxValue(200);
    SpinEdit1->SetValue(0);
    SpinEdit1->setEnabled(false);
    SetColours(SpinEdit1, kGray, kAqua);
    SpinEdit1->setFont(SansFont(11, true));
    THintRouter::SetHint(SpinEdit1, QStringLiteral(" "));
    // The caption over it says what it picks.
    SpinEdit1->setAccessibleName(Label2->text());

    FilterComboBox1 = new controls::TFilterComboBox(this);
    controls::Place(FilterComboBox1, "FilterComboBox1", skinart::ControlRectOf);
    SetColours(FilterComboBox1, kGray, kAqua);
    FilterComboBox1->setFont(SansFont(11, true));
    FilterComboBox1->SetFilter(QString::fromLatin1(kFilter));
    FilterComboBox1->SetFileList(FileListBox1);
    THintRouter::SetHint(FilterComboBox1,
                         QStringLiteral("Use Filter to display files with specific extension"));
    FilterComboBox1->setAccessibleName(QStringLiteral("File type"));
    // The drop-down list is a window of its own, which takes neither the
    // box's colours nor its font unless given them; a plain item delegate
    // draws the entries in the list's colours instead of a menu's.
    FilterComboBox1->setItemDelegate(new QStyledItemDelegate(FilterComboBox1));
    QAbstractItemView *choices = FilterComboBox1->view();
    for (QWidget *w : {static_cast<QWidget *>(choices), choices->parentWidget()}) {
        if (!w)
            continue;
        SetColours(w, kGray, kAqua);
        controls::SetHighlightColours(w, kNavy, kAqua);
        w->setFont(SansFont(11, true));
    }
}

// The colour depth: two radio buttons in Panel1.
void TForm1::BuildColourDepth()
{
    Panel1 = new QFrame(this);
    controls::Place(Panel1, "Panel1", skinart::ControlRectOf);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    SetColours(Panel1, kGray, kAqua);
    // Read out as the group the caption above it names.
    controls::SetAccessibleRole(Panel1, QAccessible::Grouping);
    Panel1->setAccessibleName(Label6->text());
    RadioButton1 = new QRadioButton(QStringLiteral("256 colors"), Panel1);
    RadioButton1->setGeometry(skinart::PlaceIn(skinart::kColourDepthControls, "RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("16 mil col"), Panel1);
    RadioButton2->setGeometry(skinart::PlaceIn(skinart::kColourDepthControls, "RadioButton2"));
    for (QRadioButton *r : {RadioButton1, RadioButton2}) {
        // Exclusive, as the click handlers keep them: screen readers call
        // buttons that are not check boxes.
        r->setAutoExclusive(true);
        QStyleOptionButton option;
        option.initFrom(r);
        const QRect room = r->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, r);
        r->setFont(skinart::FitFont(SansFont(11, false), r->text(), room.size()));
        SetColours(r, kGray, kAqua);
    }
    RadioButton1->setChecked(true);
    connect(RadioButton1, &QRadioButton::clicked, this, &TForm1::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TForm1::RadioButton2Click);
}

// What works behind the window: the bitmap finder of the gallery and the
// about box.
void TForm1::BuildComponents()
{
    HFind = std::make_unique<filefind::THFFile>();
    HFind->SetFileAttr({filefind::ffaAnyFile});
    HFind->SetInSubFolders(false);
    HFind->SetFileMask("*.BMP");
    HFind->SetIncFileSize(false);
    HFind->SetIncFileDate(false);

    AboutBox = new about::TAboutBoxDlg(this);
    AboutBox->SetUseBackBMP(false);
    AboutBox->SetUseMovie(true);
    AboutBox->SetMovieSpeed(40);
    AboutBox->SetBackCol(kNavy);
    AboutBox->SetAFont(about::TFont{
        controls::PixelFont(QString::fromLatin1(controls::kMonoFace), 12, false), kAqua});
    AboutBox->SetaShadow(true);
    AboutBox->SetMovieText(about::TAboutBoxDlg::ProgramCredits());
}

void TForm1::FormCreate()
{
    // 1. The window's shape, from the mask picture.
    QImage mask(QString::fromLatin1(skinart::kShapeMask));
    if (mask.isNull()) {
        ShowError(QStringLiteral("Resource IF_SHAPE not found"));
        return;
    }
    WindowRegion = BitmapToRegion(mask);
    setMask(WindowRegion);

    // 2. Every hint goes to the status line.
    Hints = new THintRouter(this);
    qApp->installEventFilter(Hints);
    connect(Hints, &THintRouter::OnHint, this, &TForm1::DisplayHint);

    // 3. The last folder; reading creates the settings file when missing.
    std::string lastDir;
    try {
        settings::ReadIniString(LocalPath(GetIniFileName()), "Locations", "LastDir", "/", lastDir);
    } catch (const std::exception &e) {
        ShowError(QString::fromLocal8Bit(e.what()));
        return;
    }

    // 4. Open the tree there, which fills the file list. Our tree has no
    // virtual nodes, so an empty value was stored by an older build that
    // lost the folder: it means the top of the tree.
    if (lastDir.empty())
        lastDir.push_back('/');
    // A path given at start takes the remembered folder's place; one that
    // does not exist is reported later and the start goes on as usual.
    if (!StartPath().isEmpty() && QFileInfo::exists(StartPath()))
        return;
    try {
        DirTree->SetPath(QFile::decodeName(lastDir.c_str()));
    } catch (const std::exception &e) {
        // The tree stays at its top, selected, so that closing stores a
        // folder that opens again; the list keeps its initial folder.
        DirTree->SelectTop();
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TForm1::FormDestroy()
{
    if (Destroyed)
        return;
    Destroyed = true;
    try {
        settings::WriteIniString(LocalPath(GetIniFileName()), "Locations", "LastDir",
                                 LocalPath(DirTree->Path()));
    } catch (const std::exception &e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
}

QString TForm1::GetIniFileName()
{
    // Beside the program when its folder can be written, else in the
    // user's configuration folder (an installed program's folder is not).
    if (IniFileName.isEmpty() || !QFileInfo::exists(IniFileName))
        IniFileName =
            QFile::decodeName(settings::SettingsFileName(LocalPath(ProgramFolder()),
                                                         settings::ConfigHome(), IsInstalled())
                                  .c_str());
    return IniFileName;
}

std::uint8_t TForm1::ColourDepth() const
{
    return RadioButton1->isChecked() ? 2 : 3;
}

void TForm1::DisplayHint(const QString &hint)
{
    // One line in the skin's status panel; a longer hint is drawn smaller.
    const QString line = QString(hint).replace(QLatin1Char('\n'), QLatin1Char(' '));
    Label5->setFont(
        skinart::FitFont(SansFont(11, true), line, skinart::ControlRectOf("Label5").size()));
    Label5->setText(line);
    Label5->adjustSize();
    Label5->setFixedHeight(skinart::ControlRectOf("Label5").height());
}

void TForm1::DirTreeChange()
{
    const QString path = DirTree->Path();
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    try {
        FileListBox1->SetDirectory(path);
    } catch (...) {
        // errors while reading the folder are swallowed
    }
}

void TForm1::SetPreviewToAppIcon()
{
    Image1->SetIcon(AppIcon());
    PreviewSource.clear();
    PreviewIndex = 0;
    DescribePreview(1);
}

void TForm1::DescribePreview(int Count)
{
    if (PreviewSource.empty()) {
        Image1->setAccessibleName(QStringLiteral("icon of Rurorodode"));
        return;
    }
    const QString file = QFileInfo(QFile::decodeName(PreviewSource.c_str())).fileName();
    Image1->setAccessibleName(
        Image1->Icon().IsNull()
            ? QStringLiteral("no icon in %1").arg(file)
            : QStringLiteral("icon %1 of %2 of %3").arg(PreviewIndex).arg(Count).arg(file));
}

void TForm1::FileListBox1Change()
{
    if (FileListBox1->ItemIndex() != 0) {
        Label2->setEnabled(false);
        SpinEdit1->setEnabled(false);
        SetPreviewToAppIcon();
    }
    const QString path = FileListBox1->FileName();
    if (path.isEmpty())
        return;
    setWindowTitle(path);
    const int count = iconwriter::IconCount(LocalPath(path));
    Label1->setText(QStringLiteral("No of Icons: %1").arg(count));
    Label1->adjustSize(); // labels grow with their text
    if (count == 0) {
        Label2->setEnabled(false);
        SpinEdit1->setEnabled(false);
        Label1->setEnabled(false);
        return;
    }
    SpinEdit1->setEnabled(true);
    Label2->setEnabled(true);
    SpinEdit1->SetValue(0);
    Label1->setEnabled(true);
    SpinEdit1->SetMaxValue(count - 1);
    SpinEdit1Change();
}

void TForm1::SpinEdit1Change()
{
    const int value = SpinEdit1->Value();
    // Negative indices never show an icon (the platform would answer -1
    // with a count), so they are not even asked for.
    iconwriter::IconHandle icon;
    if (value >= 0)
        icon = iconwriter::ExtractIconHandle(LocalPath(FileListBox1->FileName()), value);
    if (!icon.IsNull()) {
        Image1->SetIcon(std::move(icon));
        LastIconIndex = value;
        PreviewSource = LocalPath(FileListBox1->FileName());
        PreviewIndex = value;
        // The box runs from 0 to the file's icon count less one.
        DescribePreview(SpinEdit1->MaxValue() + 1);
    } else {
        SpinEdit1->SetValue(LastIconIndex); // runs this again when the text changes
    }
}

// A click always leaves the clicked button selected, a second click on it
// included, and the other one cleared.
void TForm1::RadioButton1Click()
{
    RadioButton1->setChecked(true);
    RadioButton2->setChecked(!RadioButton1->isChecked());
}

void TForm1::RadioButton2Click()
{
    RadioButton2->setChecked(true);
    RadioButton1->setChecked(!RadioButton2->isChecked());
}

void TForm1::ImgBtn1Click()
{
    close();
}

void TForm1::ImgBtn2Click()
{
    if (!Help)
        Help = new THelpWindow(this);
    Help->ShowContents(DataFolder(QStringLiteral("Zadore~2.hlp")) + QStringLiteral("Zadore~2.hlp"));
    Help->show();
    Help->raise();
}

THelpWindow *TForm1::HelpWindow() const
{
    return Help.data();
}

void TForm1::ImgBtn3Click()
{
    const QString paragraph = QStringLiteral("\n\r\n\r");
    AboutBox->SetProductName(QStringLiteral("Rurorodode"));
    AboutBox->SetVersion(QStringLiteral("1.0"));
    // The window draws "Copyright" and the sign before it.
    AboutBox->SetCopyright(QStringLiteral("2000 Vuderiru"));
    AboutBox->SetComments(
        QStringLiteral("Rurorodode from Vuderiru. ") + paragraph +
        QStringLiteral(
            "If you have any suggestions or if you find bugs, please let me know.I always try to "
            "improve my programs") +
        paragraph +
        QStringLiteral(
            "If you like Rurorod Ode, please let others know about this product! Go to the place "
            "where "
            "you found it and provide a suitable rating, or maybe sugest Rurorod Ode to another "
            "download site. Then I can spend more time for programming rather then for "
            "publishing!") +
        paragraph + QStringLiteral("Thanks!"));
    AboutBox->Execute();
}

// The whole icon at full resolution is read again from where the preview's
// icon came from: the preview holds one image of it.
platform::WholeIconResult TForm1::ReadPreviewWholeIcon(platform::WholeIcon &Icon) const
{
    if (!PreviewSource.empty())
        return platform::ReadWholeIcon(PreviewSource, PreviewIndex, Icon);
    const QByteArray &bytes = AppIconBytes();
    const platform::MemorySource source(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size())));
    return platform::ReadWholeIcon(source, 0, Icon);
}

void TForm1::SaveIcon(const QString &Name, int SaveFormat)
{
    SaveIconFile(Name + SaveTarget(QString(), SaveFormat), SaveFormat);
}

QString TForm1::SaveTarget(const QString &Typed, int SaveFormat) const
{
    const iconwriter::SaveFormatRow *row = iconwriter::FindSaveFormat(SaveFormat);
    bool cursor = false;
    if (row && !row->cursorExtension.empty()) {
        // All sizes of a cursor are saved as a cursor file.
        platform::WholeIcon icon;
        cursor = ReadPreviewWholeIcon(icon) == platform::WholeIconResult::Ok && icon.cursor;
    }
    const std::string extension = iconwriter::FormatExtension(SaveFormat, cursor);
    return QFile::decodeName(iconwriter::TypedSaveName(LocalPath(Typed), extension).c_str());
}

QStringList TForm1::SaveTargetFiles(const QString &Typed, int SaveFormat) const
{
    const QString target = SaveTarget(Typed, SaveFormat);
    const iconwriter::SaveFormatRow *row = iconwriter::FindSaveFormat(SaveFormat);
    if (row == nullptr || row->outputs == nullptr)
        return {target};
    platform::WholeIcon icon;
    QStringList files;
    if (ReadPreviewWholeIcon(icon) == platform::WholeIconResult::Ok)
        for (const std::string &file : iconwriter::SaveOutputs(LocalPath(target), SaveFormat, icon))
            files.append(QFile::decodeName(file.c_str()));
    return files;
}

void TForm1::SaveIconFile(const QString &Path, int SaveFormat)
{
    const iconwriter::SaveOutcome outcome = iconwriter::SaveInFormat(
        LocalPath(Path), SaveFormat, Image1->Icon(), ColourDepth(),
        [this](platform::WholeIcon &icon) { return ReadPreviewWholeIcon(icon); });
    if (!outcome.path.empty() && outcome.result != iconwriter::wrWritten)
        throw iconwriter::ESaveError("Cannot write \"" + outcome.path +
                                     "\": " + iconwriter::WriteResultText(outcome.result));
}

void TForm1::ImgBtn5Click()
{
    QString fileName;
    int filterIndex = 0;
    const bool chosen = AskSaveName ? AskSaveName(fileName, filterIndex) : [&] {
        TSaveDialog dialog(this, SaveDir, [this](const QString &typed, int type) {
            return SaveTargetFiles(typed, type);
        });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        fileName = dialog.selectedFiles().first();
        filterIndex = dialog.Type();
        return true;
    }();
    if (!chosen)
        return;
    // The file the dialog asked about, not always the name as typed.
    const QString target = SaveTarget(fileName, filterIndex);
    try {
        SaveIconFile(target, filterIndex);
    } catch (const std::exception &e) {
        ShowError(QString::fromLocal8Bit(e.what()));
        return; // SaveDir keeps its old value
    }
    SaveDir = QFileInfo(target).absolutePath();
    if (!SaveDir.endsWith(QLatin1Char('/')))
        SaveDir += QLatin1Char('/');
}

namespace {

// The window's side of a save-all run: gauges, preview, message boxes.
class WindowRun : public iconwriter::SaveAllEvents
{
public:
    explicit WindowRun(TForm1 &form) : Form(form) {}

    void FilesStarting(int count) override { Form.Gauge1->SetMaxValue(count); }
    void FileStarting(const std::string &path) override
    {
        Form.Gauge1->SetProgress(Form.Gauge1->Progress() + 1);
        File = path;
        NextIndex = 0;
        Count = 1;
    }
    void IconsStarting(int maximum) override
    {
        Form.Gauge2->SetMaxValue(maximum);
        Count = maximum + 1;
    }
    void IconStarting() override { Form.Gauge2->SetProgress(Form.Gauge2->Progress() + 1); }
    void IconsDone() override { Form.Gauge2->SetProgress(0); }
    void FilesDone() override { Form.Gauge1->SetProgress(0); }
    const iconwriter::IconHandle &Preview(iconwriter::IconHandle icon) override
    {
        Form.Image1->SetIcon(std::move(icon));
        // The run asks for a file's icons in order, from 0.
        Form.PreviewSource = File;
        Form.PreviewIndex = NextIndex++;
        Form.DescribePreview(Count);
        return Form.Image1->Icon();
    }
    void Error(const std::string &message) override
    {
        ShowMessage(QString::fromLocal8Bit(message.c_str()));
    }

private:
    TForm1 &Form;
    std::string File;
    int NextIndex = 0;
    // Icons in the file at hand: one unless IconsStarting says more.
    int Count = 1;
};

} // namespace

void TForm1::SaveAllIcons(const QString &Destination, int SaveFormat)
{
    std::vector<std::string> names;
    for (const QString &name : FileListBox1->Items())
        names.push_back(LocalPath(name));
    WindowRun run(*this);
    // A destination built for joining ends in "/"; the run adds its own, and
    // the doubled separator means one.
    iconwriter::SaveAllIcons(LocalPath(DirTree->Path()), names, LocalPath(Destination), SaveFormat,
                             ColourDepth(), run);

    // The gallery step, even after an empty list.
    if (dialogs::SelDirForm && dialogs::SelDirForm->GalleryWanted()) {
        const iconwriter::SaveFormatRow *row = iconwriter::FindSaveFormat(SaveFormat);
        if (row && !row->galleryMask.empty()) {
            // The page lists the pictures of the run's kind; the finder
            // goes back to its own mask afterwards.
            struct MaskBack
            {
                filefind::THFFile &Finder;
                const std::string Mask = Finder.FileMask();
                ~MaskBack() { Finder.SetFileMask(Mask); }
            } back{*HFind};
            HFind->SetFileMask(std::string(row->galleryMask));
            filefind::WriteGalleryPage(LocalPath(SaveDir), *HFind, [](const std::string &text) {
                ShowMessage(QString::fromStdString(text));
            });
        } else
            ShowMessage(QStringLiteral(
                "The browser only display BMP files. So currently no gallery with ICO and CUR"));
    }
}

void TForm1::CreateSelDirForm()
{
    if (dialogs::SelDirForm)
        return;
    dialogs::SelDirForm = new dialogs::TSelDirForm(
        [this](const QString &folder) { SaveDir = folder; }, DefaultSaveFolder(), this);
    dialogs::SelDirForm->OnSaveFormat = [this](int format) { SaveFormat = format; };
    dialogs::SelDirForm->OnError = [](const QString &text) { ShowError(text); };
    dialogs::SelDirForm->SetOnPickerMessage([](const QString &text) { ShowMessage(text); });
}

void TForm1::ImgBtn4Click()
{
    CreateSelDirForm();
    dialogs::SelDirForm->SetBackground(BackgroundTile());
    if (dialogs::SelDirForm->ShowModal() == dialogs::TSelDirForm::mrCancel)
        return;
    try {
        SaveAllIcons(SaveDir, SaveFormat);
    } catch (const std::exception &e) {
        ShowError(QString::fromLocal8Bit(e.what())); // a gallery page that cannot be written
    }
}

void TForm1::paintEvent(QPaintEvent *)
{
    if (Tile.isNull())
        return;
    QPainter painter(this);
    if (!mask().isEmpty())
        painter.setClipRegion(mask()); // where the window system cuts none
    if (!ClosingFace.isNull()) {
        painter.setClipRegion(ClosingShape);
        painter.drawPixmap(0, 0, ClosingFace);
        return;
    }
    for (int y = 0; y < height(); y += Tile.height())
        for (int x = 0; x < width(); x += Tile.width())
            painter.drawImage(x, y, Tile);
}

void TForm1::FormMouseDown() {}

void TForm1::Image2MouseDown() {}

void TForm1::StartDrag(QMouseEvent *event)
{
    // The window system moves the window while the button is held, as if
    // a caption bar had been grabbed; by hand where it cannot.
    if (QWindow *w = windowHandle(); w && w->startSystemMove())
        return;
    Dragging = true;
    DragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TForm1::mousePressEvent(QMouseEvent *event)
{
    FormMouseDown();
    StartDrag(event);
    event->accept();
}

void TForm1::mouseMoveEvent(QMouseEvent *event)
{
    if (Dragging)
        move(event->globalPosition().toPoint() - DragOffset);
    QWidget::mouseMoveEvent(event);
}

void TForm1::mouseReleaseEvent(QMouseEvent *event)
{
    Dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void TForm1::FormClose()
{
    if (Closing)
        return;
    // From here on the window takes no input: no button may start
    // anything while it collapses.
    qApp->installEventFilter(new TInputBlock(this, this));
    // Collapse toward the centre over one second, then really close.
    Closing = new QVariantAnimation(this);
    Closing->setDuration(1000);
    Closing->setStartValue(1.0);
    Closing->setEndValue(0.0);
    const QRegion shape = WindowRegion.isEmpty() ? QRegion(rect()) : WindowRegion;
    const QRect bounds = shape.boundingRect();
    // Where the window system cuts no window to a shape (Wayland), the
    // collapse is painted instead: a picture of the face, cut to the
    // shrinking outline, stands in for the controls.
    if (testAttribute(Qt::WA_TranslucentBackground)) {
        ClosingFace = grab();
        ClosingShape = shape;
        for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                child->hide();
    }
    connect(Closing, &QVariantAnimation::valueChanged, this,
            [this, shape, bounds](const QVariant &v) {
                const double f = v.toDouble();
                const int w = static_cast<int>(bounds.width() * f);
                const int h = static_cast<int>(bounds.height() * f);
                QRect inner(0, 0, std::max(w, 1), std::max(h, 1));
                inner.moveCenter(bounds.center());
                const QRegion next = shape.intersected(inner);
                // Painted now, over the outline it had (which a window mask
                // limits painting to), so that what falls outside the new
                // one is cleared before the mask shrinks.
                if (!ClosingFace.isNull()) {
                    ClosingShape = next;
                    repaint();
                }
                setMask(next);
                // Nothing else hands the new outline to the window system
                // before the next step: without this the window stays whole
                // until it vanishes.
                QGuiApplication::sync();
            });
    connect(Closing, &QVariantAnimation::finished, this, [this] {
        AnimationDone = true;
        hide();
        close();
        // The help window may still be open; closing this window ends the program.
        QCoreApplication::quit();
    });
    Closing->start();
}

bool TForm1::OpenPath(const QString &Path)
{
    // exists() follows links: a dangling one counts as missing.
    const QFileInfo info(Path);
    if (Path.isEmpty() || !info.exists()) {
        ShowError(QStringLiteral("Error setting path: \"%1\"").arg(Path));
        return false;
    }
    const bool folder = info.isDir();
    const QString directory = folder ? info.absoluteFilePath() : info.absolutePath();
    try {
        DirTree->SetPath(directory);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
        return false;
    }
    if (folder)
        return true;
    // The tree tells the list only when its selection moves.
    if (FileListBox1->Directory() != QDir::cleanPath(directory))
        FileListBox1->SetDirectory(directory);
    // A hidden file is listed once hidden files are shown, as Ctrl+H does.
    const QString name = info.fileName();
    if (name.startsWith(u'.'))
        DirTree->SetShowHidden(true);
    // Only regular files are listed; a pipe or a device opens its folder.
    int row = FileListBox1->Items().indexOf(name);
    if (row < 0 && FileListBox1->Mask() != QLatin1String("*.*") &&
        controls::TFileListBox::ReadFileNames(FileListBox1->Directory(), QStringLiteral("*.*"),
                                              FileListBox1->ShowsHidden())
            .contains(name)) {
        const int all = FilterComboBox1->findText(QStringLiteral("all Files"));
        if (all >= 0)
            FilterComboBox1->setCurrentIndex(all);
        row = FileListBox1->Items().indexOf(name);
    }
    if (row >= 0) {
        FileListBox1->SetItemIndex(row);
        FileListBox1->scrollTo(FileListBox1->model()->index(row, 0));
    }
    return true;
}

// Files and folders dropped from a file manager open as a path given at
// start does; anything that is not a local file is not taken.
namespace {
QString DroppedPath(const QMimeData *data)
{
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    return {};
}
} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!Closing && !DroppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QString path = DroppedPath(event->mimeData());
    if (Closing || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OpenPath(path);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (AnimationDone) {
        event->accept();
        return;
    }
    event->ignore();
    FormClose();
}

} // namespace app
