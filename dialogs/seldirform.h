#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace iconwriter {
struct SaveFormatRow;
}

namespace dialogs {

class TPathDialog;
class TRadioGroup;

// The dialog that asks where a whole-folder run saves, in which format, and
// whether a picture gallery follows. It saves nothing itself: every change
// of its folder goes to OnDirChange (the main window's destination folder),
// and Start hands the format code to OnSaveFormat. Created once and shown
// again and again, it keeps every choice between showings.
class TSelDirForm : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString DirName READ DirName WRITE SetDirName)
    Q_PROPERTY(QImage Background READ Background WRITE SetBackground)

public:
    using TStringEvent = std::function<void(const QString &)>;
    using TIntEvent = std::function<void(int)>;

    // Results of ShowModal.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;

    // OnDirChange receives the first folder at once: the program folder
    // (with one trailing separator), the folder of the running program when
    // ProgramFolder is empty.
    TSelDirForm(TStringEvent OnDirChange, const QString &ProgramFolder, QWidget *parent = nullptr);
    ~TSelDirForm() override;

    // Every write of DirName, with the folder as held there.
    TStringEvent OnDirChange;
    // Start: the save-format code of the chosen item.
    TIntEvent OnSaveFormat;
    // The application's error box: "Cannot create " and the folder. A
    // plain message box when unassigned.
    TStringEvent OnError;

    QString DirName() const { return FDirName; }
    // Stores Value, shows it in Panel1 and passes it to OnDirChange.
    void SetDirName(const QString &Value);
    QImage Background() const { return FBackground; }
    // Shares the supplier's picture (no pixels are copied).
    void SetBackground(const QImage &Value) { FBackground = Value; }

    // Shows the dialog modally: mrOk from Start, mrCancel from Close or the
    // window's close box.
    int ShowModal();

    // The Save-as items are the save formats, in the table's order.
    static const iconwriter::SaveFormatRow *FormatOfItem(int ItemIndex);
    // The picture gallery can follow a run of this item's format.
    static bool GalleryFormat(int ItemIndex);
    // The save-format code of the item chosen.
    int ChosenFormat() const;
    // True when the gallery box is ticked (it can be only for a gallery
    // format).
    bool GalleryWanted() const;
    // Where the folder picker's messages go; a plain message box when unset.
    void SetOnPickerMessage(TStringEvent OnMessage);

    // Handlers.
    void FormActivate();
    void RadioGroup1Click();
    void BtnSelDirClick();
    void BtnNewDirClick();
    void BtnOkClick();
    void BtnCancelClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Controls, under the names the program has always given them; each is
    // also its object name.
    QToolButton *BtnCancel = nullptr;
    QToolButton *BtnOk = nullptr;
    QToolButton *BtnSelDir = nullptr;
    QToolButton *BtnNewDir = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    TRadioGroup *RadioGroup1 = nullptr;
    QLabel *Panel1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QCheckBox *CbxHTML = nullptr;
    TPathDialog *pd = nullptr;

    void BuildControls();
    void BuildButtons();
    void BuildLabels();
    void BuildSaveAs();
    void BuildFolderLine();
    void BuildGalleryBox();
    void ChainTabOrder();
    void ConnectControls();
    void Fail(const QString &message);

    QString FDirName;
    QImage FBackground;
};

// The one destination dialog, reachable program-wide once its owner sets it.
extern TSelDirForm *SelDirForm;

} // namespace dialogs
