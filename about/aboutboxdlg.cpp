#include "about/aboutboxdlg.h"

#include "about/aboutbox.h"
#include "about/moviescroll.h"
#include "platform/systemfacts.h"
#include "skinart.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>

#include <memory>

namespace about {

TAboutBoxDlg::TAboutBoxDlg(QObject *parent) : QObject(parent) {}

void TAboutBoxDlg::SetMovieText(const QStringList &Value)
{
    if (&Value != &FMovieText)
        FMovieText = Value;
}

void TAboutBoxDlg::SetMovieSpeed(int Value)
{
    FMovieSpeed = Value > 0 && Value < 100 ? Value : 50;
}

void TAboutBoxDlg::SetBackCol(const QColor &Value)
{
    if (Value != FBackCol)
        FBackCol = Value;
}

void TAboutBoxDlg::SetAFont(const TFont &Value)
{
    if (&Value != &FAFont)
        FAFont = Value;
}

QStringList TAboutBoxDlg::ProgramCredits()
{
    return {
        QStringLiteral("Rurorodode from Vuderiru. "),
        QStringLiteral("If you have any suggestions or "),
        QStringLiteral("if you find bugs, please let "),
        QStringLiteral("me know. I always try to improve "),
        QStringLiteral("my programs"),
        QString(),
        QStringLiteral("If you like Rurorod Ode, you may take "),
        QStringLiteral("a look for the other tools of "),
        TAboutBox::kHomePage + QLatin1Char('.'),
        QString(),
        QStringLiteral("If you are satisfied with "),
        QStringLiteral("Rurorodode please let others "),
        QStringLiteral("know about it. Go to the place "),
        QStringLiteral("where you found it and provide "),
        QStringLiteral("a suitable rating, or maybe "),
        QStringLiteral("sugest Rurorod Ode to another "),
        QStringLiteral("download site. "),
        QString(),
        QStringLiteral("Then I can spend more time "),
        QStringLiteral("for programming rather then "),
        QStringLiteral("for publishing!"),
        QString(),
        QStringLiteral("Cheers!'"),
    };
}

bool TAboutBoxDlg::Execute()
{
    // The window belongs to no other window, as a program's about box does.
    auto box = std::make_unique<TAboutBox>();
    box->SetUseBackBMP(FUseBackBMP);

    if (FUseMovie) {
        auto *movie = new TMovieScroll(box.get());
        movie->setObjectName(QStringLiteral("MovieScroll"));
        movie->setGeometry(box->Panel2->geometry());
        movie->SetScrollText(FMovieText);
        movie->SetLoop(true);
        movie->SetTimerInterval(FMovieSpeed);
        movie->SetShadow(FaShadow);
        movie->SetDefaultFont(FAFont);
        movie->SetBackColor(FBackCol);
        // Collapsing the comments panel hides it and all it holds.
        box->Panel2->resize(0, box->Panel2->height());
    }

    box->SetBrush(QBrush(QPixmap(QString::fromLatin1(skinart::kAboutTile))));

    const platform::TSystemFacts facts = platform::GatherSystemFacts();
    box->OSName = facts.OSName;
    box->OSVersion = facts.OSVersion;
    box->MemInfo = facts.MemInfo;
    box->DiskInfo1 = facts.DiskInfo1;
    box->DiskInfo2 = facts.DiskInfo2;

    TAboutBox::SetCaption(box->ProductName, FProductName);
    TAboutBox::SetCaption(box->VersNo, TAboutBox::VersionText());
    TAboutBox::SetCaption(box->Copyright, FCopyright);
    box->Comments->setText(FComments);
    box->ProgramIcon2->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    box->setWindowTitle(QStringLiteral("About ") +
                        QFileInfo(QCoreApplication::applicationFilePath()).fileName());

    return box->exec() == QDialog::Accepted;
}

} // namespace about
