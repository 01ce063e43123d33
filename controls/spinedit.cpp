#include "controls/spinedit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <climits>

namespace controls {

namespace {

// Width of the arrow column, as the classic control draws it.
constexpr int ArrowWidth = 15;

QToolButton *MakeArrow(Qt::ArrowType Direction, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(Direction);
    button->setAccessibleName(Direction == Qt::UpArrow ? QStringLiteral("Up")
                                                       : QStringLiteral("Down"));
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TSpinEdit::TSpinEdit(QWidget *parent)
    : QWidget(parent), Edit(new QLineEdit(QStringLiteral("0"), this)),
      UpButton(MakeArrow(Qt::UpArrow, this)), DownButton(MakeArrow(Qt::DownArrow, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(Edit);
    Edit->installEventFilter(this);
    connect(Edit, &QLineEdit::textChanged, this, [this] { emit OnChange(); });
    connect(UpButton, &QToolButton::clicked, this, [this] { Step(1); });
    connect(DownButton, &QToolButton::clicked, this, [this] { Step(-1); });
    resize(sizeHint());
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int v = Edit->text().trimmed().toInt(&ok, 10);
    return ok ? v : FMinValue;
}

void TSpinEdit::SetValue(int Value)
{
    if (FMinValue != FMaxValue) {
        if (Value < FMinValue)
            Value = FMinValue;
        else if (Value > FMaxValue)
            Value = FMaxValue;
    }
    SetText(QString::number(Value));
}

void TSpinEdit::SetMinValue(int Value)
{
    FMinValue = Value;
}

void TSpinEdit::SetMaxValue(int Value)
{
    FMaxValue = Value;
}

QString TSpinEdit::Text() const
{
    return Edit->text();
}

void TSpinEdit::SetText(const QString &Value)
{
    if (Edit->text() != Value)
        Edit->setText(Value);
}

QSize TSpinEdit::sizeHint() const
{
    const QSize edit = Edit->sizeHint();
    return {edit.width() + ArrowWidth, edit.height()};
}

bool TSpinEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            Step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSpinEdit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = width(), h = height();
    const int arrows = std::min(ArrowWidth, w / 2);
    Edit->setGeometry(0, 0, w - arrows, h);
    UpButton->setGeometry(w - arrows, 0, arrows, h / 2);
    DownButton->setGeometry(w - arrows, h / 2, arrows, h - h / 2);
}

void TSpinEdit::Step(int Delta)
{
    // Stepping past the int range stops at its end rather than wrapping.
    const long long next = static_cast<long long>(Value()) + Delta;
    SetValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
}

} // namespace controls
