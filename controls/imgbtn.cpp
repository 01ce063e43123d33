#include "controls/imgbtn.h"

#include "controls/accessiblecontrols.h"

#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>

namespace controls {

namespace {

TWMMouse MouseMessage(std::uint32_t id, const QMouseEvent &event)
{
    TWMMouse m;
    m.Msg = id;
    const Qt::MouseButtons buttons = event.buttons();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (buttons & Qt::LeftButton)
        m.Keys |= TWMMouse::mkLButton;
    if (buttons & Qt::RightButton)
        m.Keys |= TWMMouse::mkRButton;
    if (buttons & Qt::MiddleButton)
        m.Keys |= TWMMouse::mkMButton;
    if (modifiers & Qt::ShiftModifier)
        m.Keys |= TWMMouse::mkShift;
    if (modifiers & Qt::ControlModifier)
        m.Keys |= TWMMouse::mkControl;
    const QPoint p = event.position().toPoint();
    m.XPos = static_cast<std::int16_t>(p.x());
    m.YPos = static_cast<std::int16_t>(p.y());
    return m;
}

TWMMouse Notification(std::uint32_t id)
{
    TWMMouse m;
    m.Msg = id;
    return m;
}

} // namespace

TImgBtn::TImgBtn(QWidget *parent) : QWidget(parent)
{
    InstallAccessibleControls();
}

void TImgBtn::Click()
{
    emit OnClick();
}

QKeySequence TImgBtn::Shortcut() const
{
    return FShortcut ? FShortcut->key() : QKeySequence();
}

void TImgBtn::SetShortcut(const QKeySequence &Value)
{
    if (!FShortcut) {
        // The window's shortcut, not the focus widget's: the button takes
        // no focus, and the key works whichever control has it.
        FShortcut = new QShortcut(this);
        FShortcut->setContext(Qt::WindowShortcut);
        connect(FShortcut, &QShortcut::activated, this, &TImgBtn::Click);
    }
    FShortcut->setKey(Value);
}

void TImgBtn::SetPicture(const QPixmap &Value)
{
    Show(Value);
}

void TImgBtn::SetPic(const QPixmap &Value)
{
    FPic = Value;
    Show(FPic);
}

void TImgBtn::SetPicDown(const QPixmap &Value)
{
    FPicDown = Value;
}

void TImgBtn::SetPicUp(const QPixmap &Value)
{
    FPicUp = Value;
}

void TImgBtn::Show(const QPixmap &Face)
{
    // QPixmap shares on assignment and copies on the first write, so the
    // caller's picture and ours never change each other.
    FPicture = Face;
    update();
}

void TImgBtn::paintEvent(QPaintEvent *)
{
    if (!FPicture.isNull())
        QPainter(this).drawPixmap(0, 0, FPicture);
}

void TImgBtn::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (InClick) {
        LeftInClick = false; // the modal window went with the pointer on us
        return;
    }
    PointerEntered();
}

void TImgBtn::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (InClick) {
        LeftInClick = true;
        return;
    }
    PointerLeft();
}

void TImgBtn::mouseMoveEvent(QMouseEvent *event)
{
    // While a press holds the mouse on us Qt reports no crossings (it sends
    // the leave only after the release), yet the face must follow the
    // pointer out and back in, so the crossings are worked out here.
    if (rect().contains(event->position().toPoint()))
        PointerEntered();
    else
        PointerLeft();
}

void TImgBtn::PointerEntered()
{
    if (PointerOver)
        return;
    PointerOver = true;
    if (!FSupported)
        return;
    FMouseInside = true;
    Show(FButtonDown ? FPicDown : FPicUp);
    emit OnMouseEnter(Notification(TWMMouse::mmMouseEnter));
}

void TImgBtn::PointerLeft()
{
    if (!PointerOver)
        return;
    PointerOver = false;
    if (!FSupported)
        return;
    FMouseInside = false;
    Show(FPic);
    emit OnMouseLeave(Notification(TWMMouse::mmMouseLeave));
}

void TImgBtn::mousePressEvent(QMouseEvent *event)
{
    // Every press is the button's own; none reaches the window beneath.
    event->accept();
    // The second press of a double click arrives as mouseDoubleClickEvent
    // alone; Qt keeps the press that caused it from widgets.
    if (event->button() != Qt::LeftButton)
        return;
    Clicking = true;
    if (!FSupported)
        return;
    FButtonDown = true;
    if (FMouseInside)
        Show(FPicDown);
    emit OnMouseDown(MouseMessage(TWMMouse::mmLButtonDown, *event));
}

void TImgBtn::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    // Not a press of the button: its face stays and its release is no click.
    emit OnDblClick();
}

void TImgBtn::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = Clicking && rect().contains(event->position().toPoint());
    Clicking = false;
    if (click) {
        // The click runs while the pressed face is up; what it does (a
        // modal window, a long save) happens with the button still down.
        const QPointer<TImgBtn> alive(this);
        InClick = true;
        LeftInClick = false;
        emit OnClick();
        if (!alive)
            return; // the click handler destroyed the button
        InClick = false;
    }
    if (!FSupported)
        return;
    FButtonDown = false;
    if (FMouseInside)
        Show(FPicUp);
    emit OnMouseUp(MouseMessage(TWMMouse::mmLButtonUp, *event));
    // Where the pointer went while the click's window was up: Qt sends an
    // enter when it is back on us, but nothing when it is elsewhere.
    if (LeftInClick) {
        LeftInClick = false;
        if (!rect().contains(mapFromGlobal(QCursor::pos())))
            PointerLeft();
    }
}

} // namespace controls
