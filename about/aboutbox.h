#pragma once

#include "platform/versionrecord.h"

#include <QBrush>
#include <QDialog>
#include <QList>
#include <QTime>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QLocale;
class QTimer;
class QToolButton;

namespace about {

// The locale's long time format without its time-zone field and the blanks
// around it: "HH:mm:ss t" becomes "HH:mm:ss".
QString LongTimeFormatWithoutZone(const QLocale &locale);
// The time as the about box writes it: the locale's long format, no zone.
QString ClockText(const QTime &time);

// The about window: the program's picture, icon, name and version, the
// copyright line, links to the maker, the system-facts button, a clock
// showing hours, minutes and seconds as bits, and the comments text, which
// can be dragged up and down (the credits take its place when they roll).
//
// TAboutBoxDlg fills it, shows it and frees it; the controls keep the names
// the window's description gives them.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    // The maker's addresses.
    static const QString kHomePage;
    static const QString kThemesPage;
    static const QString kMailAddress;

    QLabel *Image1 = nullptr;
    QLabel *ProgramIcon2 = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *LblVersion = nullptr;
    QLabel *VersNo = nullptr;
    QLabel *ReleaseLbl = nullptr;
    QLabel *Release = nullptr;
    QLabel *BuildL = nullptr;
    QLabel *Build = nullptr;
    QLabel *LblCopyRight_Text = nullptr;
    QLabel *LblCopyright = nullptr;
    QLabel *Copyright = nullptr;
    QFrame *Bevel1 = nullptr;
    QFrame *Panel2 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Comments = nullptr;
    QLabel *Lblexplaindrag = nullptr;
    QLabel *LblTextURL = nullptr;
    QLabel *LblHomepage = nullptr;
    QLabel *LblMail = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QFrame *Panel3 = nullptr;
    QTimer *Timer1 = nullptr;
    // Label0 ... Label19 of the clock: the bits, then "H", "M", "S".
    std::array<QLabel *, 20> Labels{};

    int DragStartY = 0;
    QString OSName;
    QString OSVersion;
    QString MemInfo;
    QString DiskInfo1;
    QString DiskInfo2;
    // Highest weight first.
    QList<QLabel *> HourLabels;
    QList<QLabel *> MinuteLabels;
    QList<QLabel *> SecondLabels;

    // When on, FormPaint tiles the window with the brush and the top
    // picture is hidden (width 0); when off, the picture is back at its place.
    bool UseBackBMP() const { return FUseBackBMP; }
    void SetUseBackBMP(bool Value);
    // The pattern FormPaint tiles the window with when UseBackBMP is on.
    void SetBrush(const QBrush &brush) { Brush = brush; }
    QBrush WindowBrush() const { return Brush; }
    // Where the clock reads the time; the local clock unless set.
    void SetClock(std::function<QTime()> clock) { Clock = std::move(clock); }

    // Sets a one-line label's caption, widening the label when the text
    // needs more room than it has.
    static void SetCaption(QLabel *label, const QString &text);
    // Keeps a fixed caption in its place, making its font smaller until the
    // text fits the label (word-wrapped when the label wraps) as far as its
    // parent shows it.
    static void FitCaption(QLabel *label);

    void FormCreate();
    void FormActivate();
    void FormPaint(QPainter &painter);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void LblHomepageClick();
    void LblMailClick();
    void CommentsMouseDown(Qt::MouseButton button, int x, int y);
    void CommentsMouseMove(Qt::MouseButtons buttons, int x, int y);
    void CommentsMouseUp(Qt::MouseButton button, int x, int y);
    void Timer1Timer();

    // Fills record from the version record the file carries; leaves it as
    // it was when the file carries none.
    static void FileInfo(const QString &fileName, platform::TFixedFileInfo &record);
    // "major.minor" of the running program, or of the file given.
    static QString VersionText();
    static QString VersionText(const QString &fileName);
    // Moves the comments text by the drag so far, but only while it stays
    // strictly inside its bounds.
    void setobj(QWidget *control, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void BuildHeading();
    void BuildComments();
    void BuildLinks();
    void BuildClock();

    bool FUseBackBMP = false;
    QBrush Brush;
    std::function<QTime()> Clock;
    bool HandCursor = false;
};

} // namespace about
