#pragma once

#include <QLabel>

namespace app {

// A label on the window's face: transparent, sized to its text when asked,
// and, while enabled, it keeps mouse presses (a disabled one lets them
// through to what lies beneath).
class TLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLabel(const QString &text, QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A picture on the face that keeps presses (no window drag from it).
class TPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TPicture(QWidget *parent = nullptr) : QWidget(parent) {}

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace app
