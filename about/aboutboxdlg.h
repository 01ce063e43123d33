#pragma once

#include "about/tfont.h"

#include <QColor>
#include <QObject>
#include <QStringList>

namespace about {

// Holds the about window's texts and credits settings; Execute builds the
// window, shows it modally and frees it again.
class TAboutBoxDlg : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ProductName READ ProductName WRITE SetProductName)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(QString Copyright READ Copyright WRITE SetCopyright)
    Q_PROPERTY(QString Comments READ Comments WRITE SetComments)
    Q_PROPERTY(QStringList MovieText READ MovieText WRITE SetMovieText)
    Q_PROPERTY(bool UseBackBMP READ UseBackBMP WRITE SetUseBackBMP)
    Q_PROPERTY(bool UseMovie READ UseMovie WRITE SetUseMovie)
    Q_PROPERTY(int MovieSpeed READ MovieSpeed WRITE SetMovieSpeed)
    Q_PROPERTY(QColor BackCol READ BackCol WRITE SetBackCol)
    Q_PROPERTY(about::TFont AFont READ AFont WRITE SetAFont)
    Q_PROPERTY(bool aShadow READ aShadow WRITE SetaShadow)

public:
    explicit TAboutBoxDlg(QObject *parent = nullptr);

    QString ProductName() const { return FProductName; }
    void SetProductName(const QString &Value) { FProductName = Value; }
    // Kept for the caller; the window shows the version the program carries.
    QString Version() const { return FVersion; }
    void SetVersion(const QString &Value) { FVersion = Value; }
    QString Copyright() const { return FCopyright; }
    void SetCopyright(const QString &Value) { FCopyright = Value; }
    QString Comments() const { return FComments; }
    void SetComments(const QString &Value) { FComments = Value; }
    QStringList MovieText() const { return FMovieText; }
    void SetMovieText(const QStringList &Value);
    bool UseBackBMP() const { return FUseBackBMP; }
    void SetUseBackBMP(bool Value) { FUseBackBMP = Value; }
    bool UseMovie() const { return FUseMovie; }
    void SetUseMovie(bool Value) { FUseMovie = Value; }
    int MovieSpeed() const { return FMovieSpeed; }
    // Milliseconds per pixel, 1 ... 99; anything else stores 50.
    void SetMovieSpeed(int Value);
    QColor BackCol() const { return FBackCol; }
    void SetBackCol(const QColor &Value);
    TFont AFont() const { return FAFont; }
    void SetAFont(const TFont &Value);
    bool aShadow() const { return FaShadow; }
    void SetaShadow(bool Value) { FaShadow = Value; }

    // The 23 credit lines the program's about box rolls (trailing blanks
    // belong to the lines), the maker's web address among them.
    static QStringList ProgramCredits();

    // Shows the about window modally; true only if it ended with OK, which
    // none of its own controls does.
    bool Execute();

private:
    QString FProductName;
    QString FVersion;
    QString FCopyright;
    QString FComments;
    QStringList FMovieText;
    bool FUseBackBMP = false;
    bool FUseMovie = false;
    int FMovieSpeed = 40;
    QColor FBackCol = controls::kBlack;
    TFont FAFont = DefaultCreditsFont();
    bool FaShadow = true;
};

} // namespace about
