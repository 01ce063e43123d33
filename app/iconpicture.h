#pragma once

#include "platform/icon.h"

#include <QWidget>

namespace app {

// A picture that owns the icon it shows and draws it centred, the way the
// platform draws icons: blended when it has alpha, otherwise AND mask then
// XOR colour. Giving it a new icon releases the one it held.
class TIconPicture : public QWidget
{
    Q_OBJECT

public:
    explicit TIconPicture(QWidget *parent = nullptr);

    const platform::Icon &Icon() const { return FIcon; }
    void SetIcon(platform::Icon icon);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    platform::Icon FIcon;
};

// Draws an icon with its top-left corner at (x, y) on a raster painter.
void DrawIcon(class QPainter &painter, int x, int y, const platform::Icon &icon);

} // namespace app
