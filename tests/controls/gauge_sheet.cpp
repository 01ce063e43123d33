// Draws every look of the gauge at 0, 33, 66 and 100 % into a PNG, for
// judging by eye: above at the main window's size and colours, below at a
// larger size in the default colours.
//
//     QT_QPA_PLATFORM=offscreen gauge_sheet OUT.png

#include "controls/gauge.h"
#include "qttestsupport.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

#include <cstdio>

using controls::TGauge;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gauge_sheet OUT.png\n");
        return 2;
    }
    testsupport::UseProgramFonts();
    QFont font = controls::SansFont(11, true); // 8 points

    QWidget sheet;
    QPalette palette = sheet.palette();
    palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::WindowText, QColor(0x00, 0xFF, 0xFF));
    sheet.setPalette(palette);
    sheet.setAutoFillBackground(true);
    sheet.setFont(font);

    const TGauge::TGaugeKind kinds[] = {TGauge::gkText, TGauge::gkHorizontalBar,
                                        TGauge::gkVerticalBar, TGauge::gkPie, TGauge::gkNeedle};
    const char *names[] = {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"};
    const int percents[] = {0, 33, 66, 100};

    const auto place = [&](int top, int width, int height, bool mainWindowLook) {
        for (int c = 0; c < 4; ++c) {
            auto *label = new QLabel(QString("%1 %").arg(percents[c]), &sheet);
            label->move(130 + c * (width + 12), top);
        }
        for (int r = 0; r < 5; ++r) {
            const int y = top + 20 + r * (height + 10);
            (new QLabel(names[r], &sheet))->move(8, y);
            for (int c = 0; c < 4; ++c) {
                auto *g = new TGauge(&sheet);
                g->setGeometry(130 + c * (width + 12), y, width, height);
                if (mainWindowLook) {
                    g->SetBackColor(QColor(0xC0, 0xC0, 0xC0));
                    g->SetForeColor(QColor(0x00, 0xFF, 0xFF));
                    g->SetColor(QColor(0x00, 0x00, 0x80));
                } else {
                    QFont plain = font;
                    plain.setBold(false);
                    g->setFont(plain);
                }
                g->SetKind(kinds[r]);
                g->SetProgress(percents[c]);
            }
        }
        return top + 20 + 5 * (height + 10);
    };
    const int middle = place(10, 113, 16, true);
    const int bottom = place(middle + 10, 64, 64, false);
    sheet.resize(130 + 4 * (113 + 12), bottom + 10);
    sheet.show();

    if (!sheet.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
