#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace controls {

// A number box: a line edit with up and down arrows beside it.
//
// Unlike QSpinBox it neither validates nor corrects what is typed. The text
// is the truth: Value reads it back as typed, out-of-range numbers included,
// and only SetValue clamps. Callers that need a number within bounds check
// the value they read and write back a good one. Both bounds start at 0,
// which leaves writes unclamped.
class TSpinEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    // The text as a decimal integer, surrounding blanks allowed; MinValue
    // when it is not one (or does not fit an int). Never clamped.
    int Value() const;
    // Clamped to MinValue..MaxValue unless the two are equal, then written
    // as text; OnChange fires only when that changes the text.
    void SetValue(int Value);
    int MinValue() const { return FMinValue; }
    // The bounds only affect later writes; the text stays as it is.
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);

    QString Text() const;
    void SetText(const QString &Value);

    QSize sizeHint() const override;

signals:
    // The text changed, whether typed, stepped or written in code.
    void OnChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Step(int Delta);

    int FMinValue = 0;
    int FMaxValue = 0;
    QLineEdit *Edit;
    QToolButton *UpButton;
    QToolButton *DownButton;
};

} // namespace controls
