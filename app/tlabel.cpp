#include "tlabel.h"

#include <QMouseEvent>

namespace app {

TLabel::TLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void TLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void TPicture::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace app
