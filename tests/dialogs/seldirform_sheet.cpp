// Draws the destination dialog over the main window's background tile into
// a PNG, for judging by eye: as first shown, and below with BMP and the
// gallery chosen.
//
//     QT_QPA_PLATFORM=offscreen seldirform_sheet OUT.png

#include "dialogs/radiogroup.h"
#include "dialogs/seldirform.h"
#include "qttestsupport.h"
#include "skinart.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: seldirform_sheet OUT.png\n");
        return 2;
    }
    testsupport::UseProgramFonts();
    dialogs::TSelDirForm form([](const QString &) {}, QStringLiteral("/home/user/Tools/"));
    const QImage tile(QString::fromLatin1(skinart::kBackgroundTile));
    if (tile.isNull()) {
        std::fprintf(stderr, "seldirform_sheet: no background tile\n");
        return 1;
    }
    form.SetBackground(tile);
    form.show();
    const QPixmap first = form.grab();
    testsupport::Child<dialogs::TRadioGroup>(form, "RadioGroup1")->Button(2)->click();
    testsupport::Child<QCheckBox>(form, "CbxHTML")->setChecked(true);
    const QPixmap gallery = form.grab();

    QPixmap sheet(first.width(), first.height() * 2 + 4);
    sheet.fill(Qt::black);
    QPainter painter(&sheet);
    painter.drawPixmap(0, 0, first);
    painter.drawPixmap(0, first.height() + 4, gallery);
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
