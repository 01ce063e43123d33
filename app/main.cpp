// Rurorodode: takes the icons out of program files and saves them.

#include "main_window.h"

#include <QApplication>
#include <QFont>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rurorodode"));
    // The faces the windows name, on a machine that has other fonts.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));

    int result = 0;
    {
        app::TForm1 form;
        form.CreateSelDirForm(); // the destination dialog, hidden until save-all
        form.show();
        result = QApplication::exec();
    } // the window is destroyed here, which saves the last folder
    return result;
}
