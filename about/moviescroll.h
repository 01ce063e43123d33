#pragma once

#include "about/tfont.h"
#include "controls/windowstyle.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <optional>

class QTimer;

namespace about {

// Credits rolling upward one pixel per tick of its own timer. Each line may
// carry bracketed tags ([center], [b], [i], [u], [size=N], [font=Name],
// [color=N]) that change the whole line; every line may drop a shadow. When
// the last line has gone, the text rolls in again from below (Loop) or the
// control stops and shows CompleteText in the middle.
//
// Every frame is drawn whole into an off-screen picture and shown by a
// single copy; the control paints all of its pixels, so nothing flickers.
class TMovieScroll : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList ScrollText READ ScrollText WRITE SetScrollText)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(about::TFont DefaultFont READ DefaultFont WRITE SetDefaultFont)
    Q_PROPERTY(bool Loop READ Loop WRITE SetLoop)
    Q_PROPERTY(QString CompleteText READ CompleteText WRITE SetCompleteText)
    Q_PROPERTY(int TimerInterval READ TimerInterval WRITE SetTimerInterval)
    Q_PROPERTY(bool Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(QColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE SetShadowOffset)

public:
    explicit TMovieScroll(QWidget *parent = nullptr);

    QStringList ScrollText() const { return FScrollText; }
    void SetScrollText(const QStringList &Value);
    QColor BackColor() const { return FBackColor; }
    void SetBackColor(const QColor &Value);
    TFont DefaultFont() const { return FDefaultFont; }
    void SetDefaultFont(const TFont &Value);
    bool Loop() const { return FLoop; }
    void SetLoop(bool Value) { FLoop = Value; }
    QString CompleteText() const { return FCompleteText; }
    void SetCompleteText(const QString &Value);
    int TimerInterval() const { return FTimerInterval; }
    // Applied to the running timer at once.
    void SetTimerInterval(int Value);
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value) { FShadow = Value; }
    QColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(const QColor &Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value) { FShadowOffset = Value; }

    // Draws one frame into the off-screen picture and shows it at once.
    void Paint();
    // Starts the text again just below the bottom edge.
    void Resize();
    // One step: the text moves up a pixel and the frame is drawn now.
    void TimerTick();

    static QString LeftChars(const QString &text, quint16 count);
    static QString RightChars(const QString &text, quint16 count);
    // Reads an integer the way the tags' values are written: leading blanks,
    // a sign, then decimal digits or hexadecimal ones after "$", "x", "X",
    // "0x" or "0X". Nothing when the text is not such a number.
    static std::optional<int> StrToInt(const QString &text);

    // The lines as they are drawn: without their tags, one under another.
    QString VisibleText() const;

    int TextTop() const { return FTextTop; }
    bool TimerActive() const;
    // The last frame drawn, as it was copied to the screen.
    const QImage &Frame() const { return Bitmap; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // A line of the credits as its tags leave it, and where it is drawn.
    struct TLine
    {
        QString Visible;
        QFont Font;
        QColor Color;
        bool Centre = false;
        int Left = 1;
        int Ascent = 0;
        int Height = 0;
    };

    // Reads the lines' tags, once for each text or default font.
    void ParseText();
    // Measures the lines and the closing caption for the control's size.
    void LayOut();
    void DrawFrame();

    QStringList FScrollText;
    QColor FBackColor = controls::kBlack;
    TFont FDefaultFont = DefaultCreditsFont();
    bool FLoop = false;
    QString FCompleteText = QStringLiteral("The End");
    int FTimerInterval = 40;
    bool FShadow = true;
    QColor FShadowColor = controls::kGray;
    int FShadowOffset = 2;

    int FTextTop = 0;
    QList<TLine> Lines;
    QFont ClosingFont;
    QPoint ClosingAt; // the closing caption's baseline start
    QImage Bitmap;
    QTimer *Timer = nullptr;
    // Set while a tick's frame is on its way to the screen, so that the
    // paint it triggers copies that frame instead of drawing another.
    bool FrameReady = false;
};

} // namespace about
