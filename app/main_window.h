#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QFrame;
class QRadioButton;
class QSplitter;
class QVariantAnimation;

namespace about {
class TAboutBoxDlg;
}

namespace filefind {
class THFFile;
}

namespace platform {
struct WholeIcon;
enum class WholeIconResult;
} // namespace platform

namespace controls {
class TFileListBox;
class TFilterComboBox;
class TGauge;
class TImgBtn;
class TShellTreeView;
class TSpinEdit;
} // namespace controls

namespace app {

class THelpWindow;
class THintRouter;
class TIconPicture;
class TLabel;
class TPicture;
class TSkinPicture;

// The main window: a frameless, shaped, skinned browser of program files
// with an icon preview.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Controls, under the names the program has always given them.
    TSkinPicture *Image2 = nullptr;
    TPicture *Image4 = nullptr;
    TLabel *Label2 = nullptr;
    controls::TGauge *Gauge2 = nullptr;
    controls::TGauge *Gauge1 = nullptr;
    TLabel *Label4 = nullptr;
    TLabel *Label3 = nullptr;
    TPicture *Image3 = nullptr;
    TLabel *Label5 = nullptr;
    QFrame *Bevel1 = nullptr;
    TIconPicture *Image1 = nullptr;
    TLabel *Label1 = nullptr;
    TLabel *Label6 = nullptr;
    controls::TImgBtn *ImgBtn1 = nullptr;
    controls::TImgBtn *ImgBtn2 = nullptr;
    controls::TImgBtn *ImgBtn3 = nullptr;
    controls::TImgBtn *ImgBtn4 = nullptr;
    controls::TImgBtn *ImgBtn5 = nullptr;
    QWidget *Panel7 = nullptr;
    controls::TShellTreeView *DirTree = nullptr;
    QSplitter *Splitter1 = nullptr;
    controls::TFileListBox *FileListBox1 = nullptr;
    controls::TSpinEdit *SpinEdit1 = nullptr;
    controls::TFilterComboBox *FilterComboBox1 = nullptr;
    QFrame *Panel1 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    about::TAboutBoxDlg *AboutBox = nullptr;
    std::unique_ptr<filefind::THFFile> HFind;

    // State beyond the controls.
    int LastIconIndex = 0;
    // Where the preview's icon comes from: the file and the icon's index;
    // an empty path for the program's own icon. Whole-icon saves read the
    // icon again from there.
    std::string PreviewSource;
    int PreviewIndex = 0;
    QString SaveDir;
    int SaveFormat = 0;
    QString IniFileName;
    QRegion WindowRegion;

    // The background tile (Image4's picture).
    QImage BackgroundTile() const { return Tile; }

    QString GetIniFileName();
    // The colour-depth code the radio buttons select (256 colours: 2, else 3).
    std::uint8_t ColourDepth() const;

    // Handlers.
    void FormCreate();
    void FormDestroy();
    void DisplayHint(const QString &hint);
    void DirTreeChange();
    void FileListBox1Change();
    void SpinEdit1Change();
    void RadioButton1Click();
    void RadioButton2Click();
    void ImgBtn1Click();
    void ImgBtn2Click();
    void ImgBtn3Click();
    void FormMouseDown();
    void Image2MouseDown();
    void ImgBtn4Click();
    void ImgBtn5Click();

    // Opens Path as the command line or a drop does: the folder it names,
    // or the folder of the file it names with the file selected and
    // previewed (the filter switched to "all Files" when the file's type is
    // not listed). A path that does not exist is reported with "Error
    // setting path: " and changes nothing. True when the tree went there.
    bool OpenPath(const QString &Path);

    // Makes the destination dialog SelDirForm (once), owned by this window.
    void CreateSelDirForm();

    // Saves the preview's icon under Name plus the format's extension.
    void SaveIcon(const QString &Name, int SaveFormat);
    // The file the single save writes for a typed name and a format: the
    // format's extension (".cur" for all sizes of a cursor) added unless
    // the name ends with it already, in any letter case.
    QString SaveTarget(const QString &Typed, int SaveFormat) const;
    // The files that save writes: SaveTarget's, or for a format of several
    // files the ones it makes beside that name.
    QStringList SaveTargetFiles(const QString &Typed, int SaveFormat) const;
    // Saves the preview's icon into Path exactly.
    void SaveIconFile(const QString &Path, int SaveFormat);
    // Every image of the preview's icon, read again from its source.
    platform::WholeIconResult ReadPreviewWholeIcon(platform::WholeIcon &Icon) const;
    // Saves every icon of every listed file into Destination.
    void SaveAllIcons(const QString &Destination, int SaveFormat);

    // How the single save asks for a name and a type (1 icon, 2 cursor,
    // 3 bitmap); false when cancelled. A save-file dialog unless replaced;
    // the dialog asks before replacing the file SaveTarget names.
    std::function<bool(QString &fileName, int &filterIndex)> AskSaveName;

    // Names the preview for screen readers after the icon it shows:
    // "icon N of Count of FILE", N the number box's number (from 0).
    void DescribePreview(int Count);

    // True once the closing animation has run and the window may go.
    bool Closed() const { return AnimationDone; }
    THelpWindow *HelpWindow() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void BuildControls();
    void BuildFace();
    void BuildButtons();
    void BuildBrowsingPanel();
    void BuildIconChoice();
    void BuildColourDepth();
    void BuildComponents();
    void StartDrag(QMouseEvent *event);
    void FormClose();
    void SetPreviewToAppIcon();

    QImage Tile;
    THintRouter *Hints = nullptr;
    QPointer<THelpWindow> Help;
    QVariantAnimation *Closing = nullptr;
    // What the window showed when it began to close, where the collapse is
    // painted rather than cut by the window system.
    QPixmap ClosingFace;
    // The outline that face is drawn within at the step at hand.
    QRegion ClosingShape;
    bool AnimationDone = false;
    bool Destroyed = false;
    // A drag by hand where the window system offers no move of its own.
    bool Dragging = false;
    QPoint DragOffset;

    friend class TSkinPicture;
};

// The one main window, reachable program-wide.
extern TForm1 *Form1;

// A path the next main window opens at start instead of the remembered
// folder (the command line's); empty for none.
void SetStartPath(const QString &Path);

} // namespace app
