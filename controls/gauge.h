#pragma once

#include <QColor>
#include <QWidget>

namespace controls {

// Progress indicator showing where Progress lies within MinValue..MaxValue
// as text, a bar, a pie or a needle dial, with the percentage written over
// it in the complement of whatever lies beneath.
//
// Every write that changes what is shown repaints before it returns, so the
// gauge moves on screen even while a long operation keeps the event loop
// waiting. It paints every pixel of its rectangle, so Qt never repaints the
// parent behind it.
class TGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(TGaugeKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)

public:
    enum TGaugeKind
    {
        gkText,
        gkHorizontalBar,
        gkVerticalBar,
        gkPie,
        gkNeedle
    };
    Q_ENUM(TGaugeKind)
    enum TBorderStyle
    {
        bsNone,
        bsSingle
    };
    Q_ENUM(TBorderStyle)

    explicit TGauge(QWidget *parent = nullptr);

    int MinValue() const { return FMinValue; }
    // Throws EInvalidOperation when Value is above MaxValue (unless loading).
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    // Throws EInvalidOperation when Value is below MinValue (unless loading).
    void SetMaxValue(int Value);
    int Progress() const { return FProgress; }
    // Clamped into the range; repaints only when Percentage changes.
    void SetProgress(int Value);
    TGaugeKind Kind() const { return FKind; }
    void SetKind(TGaugeKind Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    QColor ForeColor() const { return FForeColor; }
    void SetForeColor(const QColor &Value);
    QColor BackColor() const { return FBackColor; }
    void SetBackColor(const QColor &Value);

    // The ground outside the pie and the dial: the palette's window colour,
    // inherited from the parent until set.
    QColor Color() const;
    void SetColor(const QColor &Value);

    // Whole percent of the range that Progress has covered, 0 for an empty range.
    int Percentage() const;

    // While loading, MinValue and MaxValue may arrive in any order: the
    // range checks are off until EndLoad.
    void BeginLoad() { Loading = true; }
    void EndLoad() { Loading = false; }

    // Paints so far; lets callers see that a write repainted, or did not.
    int PaintCount() const { return Paints; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage Render() const;
    void RepaintNow();
    // Tells assistive tools that the value or its range changed.
    void TellValue();

    int FMinValue = 0;
    int FMaxValue = 100;
    int FProgress = 0;
    TGaugeKind FKind = gkHorizontalBar;
    bool FShowText = true;
    TBorderStyle FBorderStyle = bsSingle;
    QColor FForeColor = Qt::black;
    QColor FBackColor = Qt::white;
    bool Loading = false;
    int Paints = 0;
};

} // namespace controls
