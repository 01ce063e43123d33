#include "about/aboutbox.h"

#include "about/aboutlayout.h"
#include "about/aboutshell.h"
#include "controls/accessiblecontrols.h"
#include "controls/windowstyle.h"
#include "fittext.h"
#include "platform/systemfacts.h"
#include "skinart.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

namespace about {

const QString TAboutBox::kHomePage = QStringLiteral("https://www.example.com/vuderiru/");
const QString TAboutBox::kThemesPage = QStringLiteral("https://themes.example.com/");
const QString TAboutBox::kMailAddress = QStringLiteral("vuderiru@example.com");

namespace {

using controls::kBlack;
using controls::kBlue;
using controls::kGray;
using controls::kNavy;
using controls::kSilver;
using controls::kWhite;

void SetHint(QWidget *widget, const QString &hint)
{
    // The about window also shows its hints as tips.
    controls::SetHint(widget, hint);
    widget->setToolTip(hint);
}

QString ProgramFileName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// Walks the weights from the highest: a set bit silver, a clear one navy.
void ShowBits(const QList<QLabel *> &labels, int value)
{
    int weight = 1 << (labels.size() - 1);
    for (QLabel *label : labels) {
        if (value < weight) {
            controls::SetGround(label, kNavy);
        } else {
            controls::SetGround(label, kSilver);
            value -= weight;
        }
        weight >>= 1;
    }
}

// The labels' face: the window's serif, bold.
QFont LabelFont()
{
    return controls::SerifFont(13, true);
}

QLabel *LabelAt(QWidget *parent, const char *name, const QString &caption, const QRect &place,
                const QFont &font)
{
    auto *l = new QLabel(caption, parent);
    controls::Place(l, name, place);
    l->setFont(font);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

// A label at its place in the window's table.
QLabel *PlacedLabel(QWidget *parent, const char *name, const QString &caption,
                    const QFont &font = LabelFont())
{
    return LabelAt(parent, name, caption, AboutPlaceOf(name), font);
}

QFrame *PlacedFrame(QWidget *parent, const char *name)
{
    auto *f = new QFrame(parent);
    controls::Place(f, name, AboutPlaceOf);
    return f;
}

// A flat button that shows only its glyph.
QToolButton *PlacedGlyphButton(QWidget *parent, const char *name, const char *glyph)
{
    auto *b = new QToolButton(parent);
    controls::Place(b, name, AboutPlaceOf);
    b->setAutoRaise(true);
    const QPixmap picture(QString::fromLatin1(glyph));
    b->setIcon(QIcon(picture));
    b->setIconSize(picture.size());
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return b;
}

} // namespace

QString ClockText(const QTime &time)
{
    const QLocale locale;
    return locale.toString(time, LongTimeFormatWithoutZone(locale));
}

QString LongTimeFormatWithoutZone(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (quoted || c != QLatin1Char('t')) {
            out += c;
            continue;
        }
        // A zone field ("t" to "tttt"): drop it with the blanks before it,
        // or after it when nothing but blanks precede it.
        while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t'))
            ++i;
        while (!out.isEmpty() && out.back().isSpace())
            out.chop(1);
        if (out.isEmpty())
            while (i + 1 < format.size() && format[i + 1].isSpace())
                ++i;
    }
    return out.trimmed();
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    BuildControls();
    FormCreate();
}

TAboutBox::~TAboutBox()
{
    if (HandCursor)
        QApplication::restoreOverrideCursor();
}

void TAboutBox::BuildControls()
{
    // Fixed border: no resizing, minimising or maximising.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kAboutClientSize);
    move(kAboutDesignPosition);
    controls::SetGround(this, kWhite);
    setFont(controls::SerifFont(13, false));

    BuildHeading();
    BuildComments();
    BuildLinks();
    BuildClock();

    // The faces here are not quite the ones the places were made for.
    // Captions set at run time grow with their text; fixed ones keep their
    // place and get a smaller font where they would be cut.
    for (QLabel *l : {ProductName, VersNo, Release, Build, Copyright})
        SetCaption(l, l->text());
    for (QLabel *l : {LblVersion, ReleaseLbl, BuildL, LblCopyRight_Text, LblCopyright,
                      Lblexplaindrag, LblTextURL, LblHomepage, LblMail})
        FitCaption(l);
    for (QLabel *l : Labels)
        FitCaption(l);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TAboutBox::Timer1Timer);
    Timer1->start();
}

// The program's name, version, release, build and copyright over the
// picture at the top.
void TAboutBox::BuildHeading()
{
    Image1 = PlacedLabel(this, "Image1", QString());
    Image1->setPixmap(QPixmap(QString::fromLatin1(skinart::kAboutPicture)));
    ProgramIcon2 = PlacedLabel(this, "ProgramIcon2", QString());

    ProductName =
        PlacedLabel(this, "ProductName", QStringLiteral("Product"), controls::SerifFont(16, true));
    LblVersion = PlacedLabel(this, "LblVersion", QStringLiteral("Version"));
    QFont versFont = LabelFont();
    versFont.setFamilies({QString::fromLatin1(controls::kSerifExtraBoldFace),
                          QString::fromLatin1(controls::kSerifFace)});
    VersNo = PlacedLabel(this, "VersNo", QStringLiteral("VersNo"), versFont);
    ReleaseLbl = PlacedLabel(this, "ReleaseLbl", QStringLiteral("Release"));
    Release = PlacedLabel(this, "Release", QStringLiteral("Release"));
    BuildL = PlacedLabel(this, "BuildL", QStringLiteral("Build"));
    Build = PlacedLabel(this, "Build", QStringLiteral("Build"));
    LblCopyRight_Text = PlacedLabel(this, "LblCopyRight_Text", QStringLiteral("Copyright"));
    // The symbol font's 0xD3 is the copyright sign; here it is its own character.
    QFont symbol = LabelFont();
    symbol.setFamilies(
        {QString::fromLatin1(controls::kSymbolFace), QString::fromLatin1(controls::kSerifFace)});
    LblCopyright = PlacedLabel(this, "LblCopyright", QString(QChar(0x00A9)), symbol);
    Copyright = PlacedLabel(this, "Copyright", QStringLiteral("Copyright"));
}

// The comments, in a panel that shows a part of them.
void TAboutBox::BuildComments()
{
    Bevel1 = PlacedFrame(this, "Bevel1");
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    Panel2 = PlacedFrame(this, "Panel2");
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    controls::SetGround(Panel2, kWhite);
    Panel1 = PlacedFrame(Panel2, "Panel1");
    controls::SetGround(Panel1, kSilver);
    Comments =
        PlacedLabel(Panel1, "Comments", QStringLiteral("Comments"), controls::SansFont(10, false));
    Comments->setWordWrap(true);
    controls::SetGround(Comments, kWhite);
    SetHint(Comments, QStringLiteral("Drag to scroll"));
    Comments->installEventFilter(this);
}

// The lines at the bottom: the drag note, the links and the two buttons.
void TAboutBox::BuildLinks()
{
    Lblexplaindrag = PlacedLabel(this, "Lblexplaindrag",
                                 QStringLiteral("Left mouse click on text to drag window!"),
                                 controls::SerifFont(11, false));
    controls::SetTextColour(Lblexplaindrag, kGray);
    LblTextURL = PlacedLabel(this, "LblTextURL",
                             QStringLiteral("Suggestions, Bugs, tired of living? Mail me or visit "
                                            "Vuderiru for Tools, Themes and more!"),
                             controls::SansFont(10, true));
    LblTextURL->setWordWrap(true);
    controls::SetTextColour(LblTextURL, kBlack);
    LblTextURL->setCursor(Qt::ArrowCursor);
    SetHint(LblTextURL, kHomePage + QLatin1Char('\n') + kThemesPage);

    QFont link = controls::SerifFont(13, false);
    link.setUnderline(true);
    LblHomepage = PlacedLabel(this, "LblHomepage", QStringLiteral("Vuderiru (Themes)"), link);
    LblMail = PlacedLabel(this, "LblMail", QStringLiteral("Mail me!"), link);
    for (QLabel *l : {LblHomepage, LblMail}) {
        controls::SetTextColour(l, kBlue);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    SetHint(LblHomepage, kHomePage);
    SetHint(LblMail, kMailAddress);

    SpeedButton2 = PlacedGlyphButton(this, "SpeedButton2", skinart::kFactsGlyph);
    // Glyphs without captions: screen readers need the words.
    SpeedButton2->setAccessibleName(QStringLiteral("System facts"));
    SetHint(SpeedButton2, QStringLiteral("show hardisk preferences"));
    connect(SpeedButton2, &QToolButton::clicked, this, &TAboutBox::SpeedButton2Click);
    SpeedButton1 = PlacedGlyphButton(this, "SpeedButton1", skinart::kCloseGlyph);
    SpeedButton1->setAccessibleName(QStringLiteral("OK"));
    SetHint(SpeedButton1, QStringLiteral("Close About Box"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TAboutBox::SpeedButton1Click);
}

// The bit-pattern clock in Panel3.
void TAboutBox::BuildClock()
{
    Panel3 = PlacedFrame(this, "Panel3");
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    controls::SetGround(Panel3, kWhite);
    // Screen readers read the time as text; the bits only draw it.
    controls::SetAccessibleRole(Panel3, QAccessible::StaticText, true);
    Panel3->setAccessibleDescription(QStringLiteral("Clock"));
    Panel3->setAccessibleName(ClockText(QTime::currentTime()));
    const QFont bitFont = controls::SerifFont(13, false);
    const char *const captions[kClockRows] = {" 1 ", " 2 ", " 4 ", " 8 ", "16", "32"};
    for (int column = 0; column < kClockColumns; ++column)
        for (int row = 0; row < kClockRows; ++row) {
            const int n = kClockLabel[column][row];
            if (n < 0)
                continue;
            const QByteArray name = "Label" + QByteArray::number(n);
            QLabel *l = LabelAt(Panel3, name.constData(), QLatin1String(captions[row]),
                                ClockBitRect(column, row), bitFont);
            controls::SetGround(l, kSilver);
            Labels[static_cast<std::size_t>(n)] = l;
        }
    const char *const headers[kClockColumns] = {"H", "M", "S"};
    for (int i = 0; i < kClockColumns; ++i) {
        const int n = kClockHeaderLabel + i;
        const QByteArray name = "Label" + QByteArray::number(n);
        Labels[static_cast<std::size_t>(n)] = LabelAt(
            Panel3, name.constData(), QLatin1String(headers[i]), ClockHeaderRect(i), bitFont);
    }
}

void TAboutBox::FitCaption(QLabel *label)
{
    // Within the label and within what its parent shows of it.
    const QSize room(std::min(label->width(), label->parentWidget()->width() - label->x()),
                     label->height());
    label->setFont(skinart::FitFont(label->font(), label->text(), room, label->wordWrap()));
}

void TAboutBox::SetCaption(QLabel *label, const QString &text)
{
    label->setText(text);
    const QSize need = label->sizeHint();
    label->resize(std::max(label->width(), need.width()), label->height());
}

void TAboutBox::FormCreate()
{
    HourLabels = {Labels[0], Labels[1], Labels[2], Labels[3], Labels[4]};
    MinuteLabels = {Labels[5], Labels[6], Labels[7], Labels[8], Labels[9], Labels[15]};
    SecondLabels = {Labels[10], Labels[11], Labels[12], Labels[13], Labels[14], Labels[16]};

    // Without a record the numbers read 0.
    platform::TFixedFileInfo record{};
    FileInfo(QCoreApplication::applicationFilePath(), record);
    SetCaption(ProductName, ProgramFileName());
    SetCaption(Release, QString::number(record[3] >> 16));
    SetCaption(Build, QString::number(record[3] & 0xFFFF));
}

void TAboutBox::FormActivate()
{
    Comments->resize(Panel2->width() - kCommentsRightMargin, Comments->height());
    Panel1->resize(Panel2->width() - kCommentsRightMargin, Panel1->height());
    Panel2->move(kCommentsPanelLeft, Panel2->y());
    Comments->move(0, Comments->y());
}

void TAboutBox::SetUseBackBMP(bool Value)
{
    FUseBackBMP = Value;
    // The tiled pattern replaces the top picture, which makes way for it.
    if (FUseBackBMP) {
        Image1->setGeometry(Image1->x(), Image1->y(), 0, Image1->height());
        Image1->hide();
    } else {
        Image1->setGeometry(AboutPlaceOf("Image1"));
        Image1->show();
    }
    update();
}

void TAboutBox::FormPaint(QPainter &painter)
{
    if (FUseBackBMP)
        painter.fillRect(rect(), Brush);
}

void TAboutBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FormPaint(painter);
}

void TAboutBox::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint at = mouse->position().toPoint();
    if (watched == Comments) {
        if (type == QEvent::MouseButtonPress)
            CommentsMouseDown(mouse->button(), at.x(), at.y());
        else if (type == QEvent::MouseMove)
            CommentsMouseMove(mouse->buttons(), at.x(), at.y());
        else
            CommentsMouseUp(mouse->button(), at.x(), at.y());
    } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
               (watched == LblHomepage || watched == LblMail) &&
               static_cast<QWidget *>(watched)->rect().contains(at)) {
        if (watched == LblHomepage)
            LblHomepageClick();
        else
            LblMailClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::SpeedButton1Click()
{
    close();
}

void TAboutBox::SpeedButton2Click()
{
    ShowAboutMessage(MessageKind::mkInformation,
                     platform::FactsMessage({OSName, OSVersion, MemInfo, DiskInfo1, DiskInfo2}));
}

void TAboutBox::LblHomepageClick()
{
    OpenDocument(QUrl(kHomePage));
}

void TAboutBox::LblMailClick()
{
    const QUrl mail(QStringLiteral("mailto:") + kMailAddress + QStringLiteral("?subject=") +
                    ProgramFileName());
    if (!OpenDocument(mail))
        ShowAboutMessage(MessageKind::mkError, QStringLiteral("An Error occurred with Mail!"));
}

void TAboutBox::CommentsMouseDown(Qt::MouseButton, int, int y)
{
    if (HandCursor)
        QApplication::changeOverrideCursor(Qt::PointingHandCursor);
    else
        QApplication::setOverrideCursor(Qt::PointingHandCursor);
    HandCursor = true;
    DragStartY = y;
}

void TAboutBox::CommentsMouseMove(Qt::MouseButtons buttons, int x, int y)
{
    if (buttons & Qt::LeftButton)
        setobj(Comments, x, y);
}

void TAboutBox::CommentsMouseUp(Qt::MouseButton, int, int)
{
    if (HandCursor)
        QApplication::restoreOverrideCursor();
    HandCursor = false;
}

void TAboutBox::setobj(QWidget *control, int, int y)
{
    const int top = control->y() + y - DragStartY;
    if (top < 0 && top > Panel1->height() - Comments->height())
        control->move(control->x(), top);
}

void TAboutBox::Timer1Timer()
{
    const QTime now = Clock ? Clock() : QTime::currentTime();
    const QString time = ClockText(now);
    setWindowTitle(QStringLiteral("Zidazoz settings! Time: ") + time);
    Panel3->setAccessibleName(time);
    ShowBits(HourLabels, now.hour());
    ShowBits(MinuteLabels, now.minute());
    ShowBits(SecondLabels, now.second());
}

void TAboutBox::FileInfo(const QString &fileName, platform::TFixedFileInfo &record)
{
    platform::ReadVersionRecord(fileName, record);
}

QString TAboutBox::VersionText()
{
    return VersionText(QCoreApplication::applicationFilePath());
}

QString TAboutBox::VersionText(const QString &fileName)
{
    platform::TFixedFileInfo record{};
    FileInfo(fileName, record);
    return QString::number(record[2] >> 16) + QLatin1Char('.') +
           QString::number(record[2] & 0xFFFF);
}

} // namespace about
