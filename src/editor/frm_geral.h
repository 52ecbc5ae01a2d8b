#pragma once
// The main window: the only place an icon is edited. It owns the icon store
// `Ikon`, its magnified mirror `grid`, the drawing state, the colour boxes and
// the main menu, and is the hub the side windows write back into.

#include "editor/canvas.h"
#include "editor/startup_layout.h"
#include "editor/undo_history.h"
#include "platform/colour_value.h"
#include "platform/editor_link.h"
#include "platform/picture_surface.h"
#include "platform/side_window_registry.h"

#include <QHash>
#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class AnimatedStrip;
class BevelPanel;
class QListWidget;
class QTimer;
class Label;
class MouseButtonWatch;
class PictureBox;
class QAction;
class QDragEnterEvent;
class QDropEvent;
class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class Shape;
class WindowPlacement;
class frmToolBar;
struct Platform;

// The drawing modes as DrawMode holds them; 0 to 8 are also the indexes of
// the mode buttons picModeSel, and Paste enters 9, which has no button.
namespace drawmode {
enum : int {
    Pencil = 0,
    Line = 1,
    Rectangle = 2,
    FilledRectangle = 3,
    Circle = 4,
    FilledCircle = 5,
    Text = 6,
    Fill = 7,
    Capture = 8,
    PastePlacement = 9,
};
} // namespace drawmode

class frmGeral : public QMainWindow, public EditorLink
{
    Q_OBJECT
public:
    explicit frmGeral(std::unique_ptr<Platform> platform, QWidget *parent = nullptr);
    ~frmGeral() override;

    // The link the side windows hold (see editor_link.h).
    QWidget *editorWindow() override { return this; }
    Platform &platform() override { return *platform_; }
    SideWindowRegistry &sideWindows() override { return sideWindows_; }
    void setLeftColour(ColourValue colour) override;
    void setRightColour(ColourValue colour) override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    void enableResize(bool on) override;
    void enableProperties(bool on) override;
    void setTransparentColour(std::optional<QRgb> colour) override;

    // Canvas operations other windows use.
    void RefreshGrid() override;
    // Paints the cell and shows the changed Ikon pixel at once.
    bool PaintCell(int x, int y, ColourValue colour);
    PictureSurface &ikonSurface() override { return ikon_; }
    void sizeCanvas(int ikonTwips, int gridWidthTwips, int gridHeightTwips) override;
    PictureSurface &gridSurface() { return gridSurface_; }
    PictureSurface &stripSurface() { return strip_; }

    // The file the status line (lblMsg) names, as the file system's bytes: a
    // name chosen in the file manager need not be valid text, and the text the
    // status shows could not reopen it. Properties reads the file from here.
    const QByteArray &currentFile() const override { return currentFile_; }
    // Names a file chosen in the file manager: the status shows it as text and
    // its bytes are kept.
    void setCurrentFile(const QByteArray &path) override;
    // The file Resize takes its small icon from: the common dialog's file, the
    // one last opened or saved in the main window.
    QByteArray resizeFile() const override;

    // Editor state (16-bit values).
    int PressX = 0, PressY = 0;
    int PointerCol = 0, PointerRow = 0;
    int SelLeft = 0, SelTop = 0, SelRight = 0, SelBottom = 0;
    int DrawMode = 0;

    // Controls, named as the rest of the program addresses them.
    BevelPanel *pnlBarra, *pnlMaster2, *fraTexto, *pnlMaster, *pic3DColor, *pic3DTool, *pic3DMode, *pic3dIco;
    PictureBox *picCap, *grid, *LeftColor, *RightColor, *picVeCor, *picDefaltColor, *picMode, *Ikon, *picLimpa;
    std::array<PictureBox *, 9> picModeSel{};
    Shape *shCapture, *shRect, *shLine, *shCircle;
    Label *lblNumero1, *lblCordenadas, *lblMsg, *lblAviso;
    QLineEdit *lblNumero2, *txtFormat, *txtAlpha;
    QImage imgColar;
    // The start-up panel's controls.
    PictureBox *picLogo;
    Label *Label1, *Label4, *lblEnter;
    QListWidget *List1;
    std::array<AnimatedStrip *, 3> gif{};
    QTimer *tmrLogo;

    // Menus and items.
    QMenu *mnuOpen, *mnuEdit, *mnuGradeOption, *mnuGirar, *mnuColors, *mnuFerramentas, *mnuOptions, *mnuEdFormat,
        *mnuAbout;
    QAction *mnuNew, *mnuOpenSimples, *mnuOpenAs, *mnusave, *mnuFechar;
    QAction *mnuCortar, *mnuCopiar, *mnuColar, *mnuClear, *mnuOpTxt;
    QAction *mnuUndo, *mnuRedo;
    QAction *mnuLimpar, *mnuGrade, *mnuRotate13, *mnuHorizontal, *mnuVertical, *mnuMove, *mnuReduzir;
    QAction *mnuCorFixa, *mnuProcCor, *mnuScroolColor;
    QAction *mnuPrevi, *mnuGradiende, *mnuPropriedade, *mnuSearch, *mnuPellory;
    QAction *mnuRaised, *mnuSoftRaised, *mnuSunken, *mnuSoftSunken, *mnuEtched, *mnuDrag;
    QAction *mnucshp, *mnuVersao;

    // Mode selection (a click on picModeSel(i)).
    void picModeSel_Click(int index);

    // Pointer events on the grid, positions in grid twips.
    void grid_MouseDown(int button, int shift, double x, double y);
    void grid_MouseMove(int button, int shift, double x, double y);
    void grid_MouseUp(int button, int shift, double x, double y);

    // Menu commands.
    void mnuLimpar_Click();
    void mnuGrade_Click();
    void mnuRotate13_Click();
    void mnuHorizontal_Click();
    void mnuVertical_Click();
    void mnuFechar_Click();
    void mnuNew_Click();
    void mnuOpenSimples_Click();
    // Loads a picture into the icon as Open does once a file is chosen; a file
    // that is no picture gets Open's message box. True when it loaded.
    bool openFile(const QString &path);
    void mnusave_Click();
    void mnuCopiar_Click();
    void mnuCortar_Click();
    void mnuColar_Click();
    void mnuClear_Click();
    void mnuMove_Click();
    void mnuCorFixa_Click();
    void mnuReduzir_Click();
    void mnuSearch_Click();
    void mnuProcCor_Click();
    void mnuScroolColor_Click();
    void mnuGradiende_Click();
    void mnuPrevi_Click();
    void mnuOpenAs_Click();
    void mnuPellory_Click();
    void mnucshp_Click();
    void mnuVersao_Click();
    void mnuPropriedade_Click();
    // Edit > Undo and Redo: one change of the icon back or forward.
    void mnuUndo_Click();
    void mnuRedo_Click();
    // Forgets every step (the icon as it is becomes the start); for
    // measurements that must not count the history's own growth.
    void forgetUndoSteps();

    // Offers Paste when the system clipboard holds a picture, loading it as
    // the capture buffer's base picture.
    void ProbeClipboard();
    PictureSurface &captureSurface() { return capture_; }
    WindowPlacement &placement() override { return *placement_; }
    // The tool window, loaded (hidden) first if needed.
    frmToolBar *toolBar();

    // Appearance: the settings file and the panels' bevel style.
    void FormatTools();
    bool MudaFormatoTollfrmGeral();
    void mnuDrag_Click();
    void mnuOpTxt_Click();
    // Paints the default colour strip.
    void GradiendColor();

    // Text tool.
    void txtAlpha_Click();

    // Start-up and the start-up panel.
    void Form_Load();
    bool lblEnter_Click();
    void tmrLogo_Timer();
    const startup::Layout &startupLayout() const { return startupLayout_; }
    const QString &settingsFilePath() const { return settingsFilePath_; }

    // Window-level behaviour.
    void Form_Resize();
    // Enables the top-level menus that start disabled.
    void enableMenus();

protected:
    // A picture file dropped from a file manager opens as Open opens it.
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildControls();
    void buildMenus();
    void buildStartupPanel();
    std::array<BevelPanel *, 6> formatPanels() const;
    void loadFormatSettings();
    void applyFormat(const QString &code, int thickness);
    void printText(int button, int col, int row);
    void connectEvents();
    ColourValue buttonColour(int button) const;
    void pointerElsewhere();
    void txtAlpha_FocusIn(const QFocusEvent *e);
    bool editKeyBelongsToText(const QKeyEvent *e) const;
    void hideFigureBands();
    void picDefaltColor_MouseMove(double x, double y);
    void picDefaltColor_MouseDown(int button, double x, double y);
    void pnlBarra_DragDrop(QWidget *source, double x, double y);
    void lblMsg_Change();
    void fitReadout();
    void setToolWindowsTopmost(bool on);
    void placeCapture(int col, int row);
    // Undo: every change of the icon reaches RefreshGrid or PaintCell, which
    // note it; once the event that made it is handled (a stroke: once the
    // buttons are up) the change becomes one step.
    void noteIconChange();
    void commitIconChange(bool evenWhileHeld = false);
    IconState iconState() const;
    void showIconState(const IconState &s);
    void stepHistory(bool back); // Undo (back) or Redo
    void updateUndoItems();
    void resizeCanvas(QSize ikonPixels, QSize gridPixels);

    std::unique_ptr<Platform> platform_;
    SideWindowRegistry sideWindows_;
    PictureSurface ikon_;
    PictureSurface gridSurface_;
    PictureSurface capture_;
    PictureSurface strip_;
    Canvas canvas_;
    std::unique_ptr<WindowPlacement> placement_;
    QWidget *client_ = nullptr; // the window's own background
    bool exiting_ = false;
    QString settingsFilePath_;
    // The colour an opened icon's transparent pixels are shown in; Save writes
    // pixels of it transparent in an icon or PNG. None for a drawing of one's own.
    std::optional<QRgb> transparentColour_;
    UndoHistory history_;
    bool changePending_ = false;               // a change not yet made a step
    MouseButtonWatch *releaseWatch_ = nullptr; // waits for the buttons of a stroke to go up
    QString captionFile_;        // the file last opened or saved: Save renames the caption when it differs
    QByteArray currentFile_;     // what lblMsg names, as bytes (see currentFile())
    QImage clipboardPicture_;    // what the probe last found on the clipboard
    bool clipboardStale_ = true; // set by the clipboard's change signal
    startup::Layout startupLayout_{};
    QHash<QString, int> readoutWidths_;
    int readoutHeight_ = 0;
};
