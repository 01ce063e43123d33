#pragma once

#include "controls/wmmouse.h"

#include <QKeySequence>
#include <QPixmap>
#include <QWidget>

class QShortcut;

namespace controls {

// A push button drawn entirely from pictures: Pic while the pointer is
// elsewhere, PicUp while it hovers, PicDown while the left button is held on
// it. It has no ground of its own; the parent shows wherever the picture on
// display (Picture) is transparent or absent.
//
// The three face pictures are the button's own copies; showing one copies
// it into Picture. Until the first pointer event the button shows Picture as
// it was set. With Supported false the button keeps Picture, fires none of
// its four mouse events and still fires OnClick.
class TImgBtn : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(QPixmap Pic READ Pic WRITE SetPic)
    Q_PROPERTY(QPixmap PicDown READ PicDown WRITE SetPicDown)
    Q_PROPERTY(QPixmap PicUp READ PicUp WRITE SetPicUp)
    Q_PROPERTY(bool Supported READ Supported WRITE SetSupported)

public:
    explicit TImgBtn(QWidget *parent = nullptr);

    QPixmap Picture() const { return FPicture; }
    void SetPicture(const QPixmap &Value);
    QPixmap Pic() const { return FPic; }
    // Also shows Value at once, whatever the state.
    void SetPic(const QPixmap &Value);
    QPixmap PicDown() const { return FPicDown; }
    // Takes effect at the next state change.
    void SetPicDown(const QPixmap &Value);
    QPixmap PicUp() const { return FPicUp; }
    // Takes effect at the next state change.
    void SetPicUp(const QPixmap &Value);
    bool Supported() const { return FSupported; }
    void SetSupported(bool Value) { FSupported = Value; }

    bool MouseInside() const { return FMouseInside; }
    bool ButtonDown() const { return FButtonDown; }

    // Fires OnClick as a press and release over the button do: for its
    // shortcut and for assistive tools, which press it without a mouse.
    void Click();
    // A key that clicks the button wherever the focus is in its window;
    // none when empty. Screen readers are told it too.
    QKeySequence Shortcut() const;
    void SetShortcut(const QKeySequence &Value);

signals:
    void OnMouseDown(const controls::TWMMouse &Msg);
    void OnMouseEnter(const controls::TWMMouse &Msg);
    void OnMouseLeave(const controls::TWMMouse &Msg);
    void OnMouseUp(const controls::TWMMouse &Msg);
    // Left button pressed and released over the button (the second press of
    // a double click does not count).
    void OnClick();
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void PointerEntered();
    void PointerLeft();
    void Show(const QPixmap &Face);

    bool FMouseInside = false;
    bool FButtonDown = false;
    QPixmap FPic;
    QPixmap FPicDown;
    QPixmap FPicUp;
    bool FSupported = true;
    QPixmap FPicture;
    // Pointer over the button as far as the crossings reported so far go.
    bool PointerOver = false;
    // A left press began on the button; its release may be a click.
    bool Clicking = false;
    // The click handler runs; a modal window it opens makes Qt report the
    // pointer gone from the whole window beneath, which the button, still
    // held, ignores until the release.
    bool InClick = false;
    // Such a leave came and no enter after it.
    bool LeftInClick = false;
    QShortcut *FShortcut = nullptr;
};

} // namespace controls
