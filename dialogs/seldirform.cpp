#include "seldirform.h"

#include "controls/messagebox.h"
#include "controls/windowstyle.h"
#include "iconwriter/saveformats.h"
#include "pathdialog.h"
#include "radiogroup.h"
#include "seldirlayout.h"
#include "skinart.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QRadioButton>
#include <QToolButton>

namespace dialogs {

TSelDirForm *SelDirForm = nullptr;

namespace {

using controls::kAqua;
using controls::kBlack;
using controls::kGray;
using controls::kNavy;
using controls::kWhite;
// Painted where there is no background picture yet: the tile's own dark tone.
const QColor kNoBackground = controls::kPlate;

// The Save-as items with a smaller round button and a narrower gap before
// the text, so that "Icon, all sizes" fits the group left of the gallery box.
class TCompactRadioStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_RadioButtonLabelSpacing)
            return 2;
        if (metric == PM_ExclusiveIndicatorWidth || metric == PM_ExclusiveIndicatorHeight)
            return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};
const char *const kHelpContext = "helpContext";

// "MS Sans Serif" 8 points (11 pixels high).
QFont DialogFont(bool bold)
{
    return controls::SansFont(11, bold);
}

QLabel *MakeLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    controls::Place(label, name, SelDirPlaceOf);
    label->setFont(DialogFont(true));
    controls::SetColours(label, kGray, kAqua, false); // transparent: the tile shows through
    return label;
}

QToolButton *MakeButton(const char *name, const QString &caption, skinart::DialogGlyph glyph,
                        QWidget *parent)
{
    auto *button = new QToolButton(parent);
    controls::Place(button, name, SelDirPlaceOf);
    button->setText(caption);
    button->setIcon(QIcon(QPixmap(QString::fromLatin1(skinart::DialogGlyphFile(glyph)))));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    // Speed buttons: never focused, so Enter and Space never press them.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(DialogFont(true));
    controls::SetColours(button, kGray, kAqua, false);
    return button;
}

bool DirectoryExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

TSelDirForm::TSelDirForm(TStringEvent OnDirChange, const QString &ProgramFolder, QWidget *parent)
    : QDialog(parent), OnDirChange(std::move(OnDirChange))
{
    BuildControls();
    // The tile is the owner's; until it arrives there is none.
    FBackground = QImage();
    QString folder =
        ProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath() : ProgramFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    SetDirName(folder);
    Panel1->setText(FDirName);
}

TSelDirForm::~TSelDirForm()
{
    if (SelDirForm == this)
        SelDirForm = nullptr;
}

void TSelDirForm::BuildControls()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Select the directory where you intend to save the Icons"));
    // Taller than the first design by the two whole-icon choices the Save-as
    // group gained below BMP; every other control keeps its place.
    setFixedSize(kSelDirClientSize);
    move(kSelDirDesignPosition);
    setFont(DialogFont(false));
    controls::SetHint(this, QStringLiteral("Press Button to create new Directory"));

    // Made in this order, which is also the order they are stacked in.
    BuildButtons();
    BuildLabels();
    BuildSaveAs();
    BuildFolderLine();
    BuildGalleryBox();
    pd = new TPathDialog(this);
    pd->setObjectName(QStringLiteral("pd"));
    ChainTabOrder();
    ConnectControls();
}

// The speed buttons down the right-hand side.
void TSelDirForm::BuildButtons()
{
    BtnCancel = MakeButton("BtnCancel", QStringLiteral("Close"), skinart::DialogGlyph::Exit, this);
    controls::SetHint(BtnCancel, QStringLiteral("Cancel all!"));
    BtnOk = MakeButton("BtnOk", QStringLiteral("Start"), skinart::DialogGlyph::Tick, this);
    controls::SetHint(BtnOk, QStringLiteral("OK and extract!"));
    BtnSelDir =
        MakeButton("BtnSelDir", QStringLiteral("Browse"), skinart::DialogGlyph::OpenFolder, this);
    controls::SetHint(BtnSelDir, QStringLiteral("Press Button to select Directory"));
    BtnNewDir =
        MakeButton("BtnNewDir", QStringLiteral("   New"), skinart::DialogGlyph::ClosedFolder, this);
}

void TSelDirForm::BuildLabels()
{
    Label1 = MakeLabel("Label1", QStringLiteral("Enter new directory"), this);
    Label2 =
        MakeLabel("Label2", QStringLiteral("Chose Directory to save Icons and HTML file"), this);
    Label3 =
        MakeLabel("Label3", QStringLiteral("Create HTML Picture Gallery (only for BMP)"), this);
}

// The Save-as group: an item for each save format, in the table's order.
void TSelDirForm::BuildSaveAs()
{
    QStringList choices;
    for (const iconwriter::SaveFormatRow &row : iconwriter::SaveFormats())
        choices.append(
            QString::fromUtf8(row.choice.data(), static_cast<qsizetype>(row.choice.size())));
    RadioGroup1 = new TRadioGroup(QStringLiteral("Save as"), choices, this);
    controls::Place(RadioGroup1, "RadioGroup1", SelDirPlaceOf);
    RadioGroup1->layout()->setContentsMargins(0, 2, 0, 2);
    auto *compact = new TCompactRadioStyle;
    compact->setParent(RadioGroup1);
    for (int i = 0; i < RadioGroup1->Count(); ++i)
        RadioGroup1->Button(i)->setStyle(compact);
    controls::SetColours(RadioGroup1, kGray, kAqua, true);
    RadioGroup1->SetItemIndex(0);
    RadioGroup1->setProperty(kHelpContext, 3);
}

// The chosen folder, and the name of a new one to make in it.
void TSelDirForm::BuildFolderLine()
{
    Panel1 = new QLabel(QStringLiteral("Choose Directory"), this);
    controls::Place(Panel1, "Panel1", SelDirPlaceOf);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setAlignment(Qt::AlignCenter);
    // A folder name is shown as it is, never as markup.
    Panel1->setTextFormat(Qt::PlainText);
    controls::SetColours(Panel1, kGray, kAqua, true);
    Panel1->setProperty(kHelpContext, 8);

    Edit1 = new QLineEdit(QStringLiteral("Icons"), this);
    controls::Place(Edit1, "Edit1", SelDirPlaceOf);
    Edit1->setFixedHeight(Edit1->height());
    Edit1->setFrame(false);
    controls::SetColours(Edit1, kGray, kAqua, true);
    Edit1->setProperty(kHelpContext, 9);
}

void TSelDirForm::BuildGalleryBox()
{
    CbxHTML = new QCheckBox(this);
    controls::Place(CbxHTML, "CbxHTML", SelDirPlaceOf);
    controls::SetColours(CbxHTML, kNavy, kAqua, true);
    // The box itself stays white with a dark tick on the navy ground.
    QPalette box = CbxHTML->palette();
    box.setColor(QPalette::Base, kWhite);
    box.setColor(QPalette::Text, kBlack);
    CbxHTML->setPalette(box);
    CbxHTML->setChecked(true);
    CbxHTML->setEnabled(true);
    controls::SetHint(CbxHTML,
                      QStringLiteral("Create HTML file in the icons directory|Create HTML File in "
                                     "the same directory where the icon collection has been "
                                     "saved."));
    CbxHTML->setProperty(kHelpContext, 10);
}

void TSelDirForm::ChainTabOrder()
{
    for (int i = 1; i < RadioGroup1->Count(); ++i)
        setTabOrder(RadioGroup1->Button(i - 1), RadioGroup1->Button(i));
    setTabOrder(RadioGroup1->Button(RadioGroup1->Count() - 1), Edit1);
    setTabOrder(Edit1, CbxHTML);
}

void TSelDirForm::ConnectControls()
{
    connect(BtnCancel, &QToolButton::clicked, this, &TSelDirForm::BtnCancelClick);
    connect(BtnOk, &QToolButton::clicked, this, &TSelDirForm::BtnOkClick);
    connect(BtnSelDir, &QToolButton::clicked, this, &TSelDirForm::BtnSelDirClick);
    connect(BtnNewDir, &QToolButton::clicked, this, &TSelDirForm::BtnNewDirClick);
    connect(RadioGroup1, &TRadioGroup::OnClick, this, &TSelDirForm::RadioGroup1Click);
}

void TSelDirForm::SetDirName(const QString &Value)
{
    // No comparison first: the main window's folder may have moved on since
    // (a single save writes it), and every write must reach it.
    FDirName = Value;
    Panel1->setText(Value);
    if (OnDirChange)
        OnDirChange(FDirName);
}

int TSelDirForm::ShowModal()
{
    return exec() == QDialog::Accepted ? mrOk : mrCancel;
}

const iconwriter::SaveFormatRow *TSelDirForm::FormatOfItem(int ItemIndex)
{
    const auto formats = iconwriter::SaveFormats();
    if (ItemIndex < 0 || static_cast<std::size_t>(ItemIndex) >= formats.size())
        return nullptr;
    return &formats[static_cast<std::size_t>(ItemIndex)];
}

bool TSelDirForm::GalleryFormat(int ItemIndex)
{
    const iconwriter::SaveFormatRow *row = FormatOfItem(ItemIndex);
    return row && !row->galleryMask.empty();
}

int TSelDirForm::ChosenFormat() const
{
    const iconwriter::SaveFormatRow *row = FormatOfItem(RadioGroup1->ItemIndex());
    return row ? row->code : 0;
}

bool TSelDirForm::GalleryWanted() const
{
    return CbxHTML->isChecked();
}

void TSelDirForm::SetOnPickerMessage(TStringEvent OnMessage)
{
    pd->OnMessage = std::move(OnMessage);
}

void TSelDirForm::FormActivate()
{
    if (!GalleryFormat(RadioGroup1->ItemIndex()))
        CbxHTML->setChecked(false);
}

void TSelDirForm::RadioGroup1Click()
{
    CbxHTML->setEnabled(GalleryFormat(RadioGroup1->ItemIndex()));
}

void TSelDirForm::BtnSelDirClick()
{
    pd->SetTitle(QStringLiteral("Select Directory"));
    if (DirectoryExists(FDirName))
        pd->SetDirectory(FDirName);
    if (pd->Execute())
        SetDirName(pd->Directory());
}

void TSelDirForm::BtnNewDirClick()
{
    QString base = FDirName;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    // The name exactly as typed: no trimming, no check of its characters.
    const QString target = base + Edit1->text();
    if (DirectoryExists(FDirName) && !DirectoryExists(target)) {
        // One level only: the parent is the current folder, which exists.
        if (!QDir().mkdir(target)) {
            Fail(QStringLiteral("Cannot create ") + target);
            return;
        }
    }
    SetDirName(target);
}

void TSelDirForm::BtnOkClick()
{
    if (OnSaveFormat)
        OnSaveFormat(ChosenFormat());
    SetDirName(Panel1->text());
    if (OnDirChange)
        OnDirChange(FDirName);
    accept();
}

void TSelDirForm::BtnCancelClick()
{
    reject();
}

void TSelDirForm::Fail(const QString &message)
{
    if (OnError) {
        OnError(message);
        return;
    }
    controls::ShowMessageBox(controls::MessageKind::mkError, message, this);
}

void TSelDirForm::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Without a picture (or with an empty one) the loop below would not end.
    if (FBackground.isNull() || FBackground.width() <= 0 || FBackground.height() <= 0) {
        painter.fillRect(rect(), kNoBackground);
        return;
    }
    for (int y = 0; y < height(); y += FBackground.height())
        for (int x = 0; x < width(); x += FBackground.width())
            painter.drawImage(x, y, FBackground);
}

void TSelDirForm::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TSelDirForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Showing activates the dialog; where the window system does not
    // report that, the rule still holds at every showing.
    FormActivate();
}

void TSelDirForm::keyPressEvent(QKeyEvent *event)
{
    // No default and no cancel button: Enter and Escape press nothing.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace dialogs
