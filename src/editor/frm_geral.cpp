#include "editor/frm_geral.h"

#include "colour/color_palette.h"
#include "colour/frm_desenho.h"
#include "colour/frm_ve_cor1.h"
#include "colour/frm_ve_cor2.h"
#include "editor/ruler.h"
#include "filemanager/frm_copy.h"
#include "platform/bevel_panel.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/shape.h"
#include "platform/tool_pictures.h"
#include "platform/twips.h"
#include "platform/window_placement.h"
#include "shell/frm_about.h"
#include "shell/project_info.h"
#include "toolwindow/frm_tool_bar.h"
#include "viewers/frm_info.h"
#include "viewers/frm_previa.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QShortcut>

namespace {

// Focus the user gave: a click, Tab, Backtab or a shortcut. Focus that comes
// back after a menu, a dialog or a window switch is not the user's choice.
bool isUserFocusReason(Qt::FocusReason r)
{
    return r == Qt::MouseFocusReason || r == Qt::TabFocusReason || r == Qt::BacktabFocusReason
        || r == Qt::ShortcutFocusReason;
}

bool isEditKey(const QKeyEvent *e)
{
    return e->matches(QKeySequence::Cut) || e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Paste);
}

const QString kRowRuler =
    QStringLiteral("00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31");
const QString kColumnRuler = QStringLiteral("0001020304050607080910111213141516171819202122232425262728293031");

// Grid: 4815 x 4832 twips; Ikon: 32 x 32 pixels; capture buffer: 585 twips
// square; colour strip: 5235 x 230 twips.
constexpr QSize kGridPixels(321, 322);
constexpr QSize kCapturePixels(39, 39);
constexpr QSize kStripPixels(349, 15);

} // namespace

frmGeral::frmGeral(std::unique_ptr<Platform> platform, QWidget *parent)
    : QMainWindow(parent)
    , platform_(std::move(platform))
    , sideWindows_(this)
    , ikon_(QSize(32, 32), PictureSurface::Scale::Pixels, colour::kWindowBackground)
    , gridSurface_(kGridPixels, PictureSurface::Scale::Twips, colour::kWindowBackground)
    , capture_(kCapturePixels, PictureSurface::Scale::Pixels, colour::kButtonFace)
    , strip_(kStripPixels, PictureSurface::Scale::Twips, colour::kButtonFace)
    , canvas_(ikon_, gridSurface_)
    , placement_(std::make_unique<WindowPlacement>(*platform_->settingsStore))
{
    setObjectName(QStringLiteral("frmGeral"));
    // No close button: the program ends through File > Exit only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint);
    settingsFilePath_ = platform_->settingsFilePath;
    fonts::installStandIns();
    // The style caches what it draws, by default up to 10 MB, which a long
    // session fills with one-off sizes; the windows here are small and cheap
    // to redraw.
    QPixmapCache::setCacheLimit(1024);
    setAcceptDrops(true);
    sideWindows_.registerWindow<frmToolBar>([this](QWidget *) { return new frmToolBar(*this); });
    sideWindows_.registerWindow<ColorPalette>([this](QWidget *) { return new ColorPalette(*this); });
    sideWindows_.registerWindow<frmVeCor1>([this](QWidget *) { return new frmVeCor1(*this); });
    sideWindows_.registerWindow<frmVeCor2>([](QWidget *owner) { return new frmVeCor2(owner); });
    sideWindows_.registerWindow<frmDesenho>([this](QWidget *) { return new frmDesenho(*this); });
    sideWindows_.registerWindow<frmCopy>([this](QWidget *) { return new frmCopy(*this); });
    sideWindows_.registerWindow<frmAbout>(
        [this](QWidget *) { return new frmAbout(this, *placement_, *platform_->shellLauncher); });
    sideWindows_.registerWindow<frmInfo>([this](QWidget *) { return new frmInfo(*this); });
    sideWindows_.registerWindow<frmPrevia>([this](QWidget *) { return new frmPrevia(*this); });
    buildControls();
    buildStartupPanel();
    buildMenus();
    connectEvents();
    Form_Load();
    forgetUndoSteps(); // the icon as the window opens is where undo stops
}

frmGeral::~frmGeral()
{
    // The preview is a window of its own, not a child: it goes with the editor.
    delete sideWindows_.existing(QStringLiteral("frmPrevia"));
}

void frmGeral::buildControls()
{
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("frmGeralClient"));
    client_->setMouseTracking(true);
    client_->setCursor(pictures::hand());
    client_->installEventFilter(this);
    setCentralWidget(client_);

    // Window-level controls sit under the background panel, as labels on a
    // form do under its panels.
    lblMsg = new Label(client_, QStringLiteral("lblMsg"));
    placeTwips(lblMsg, 4200, 7800, 555, 240);
    lblMsg->setStyleSheet(QStringLiteral("color: grey"));
    lblAviso = new Label(client_, QStringLiteral("lblAviso"), QStringLiteral("."));
    placeTwips(lblAviso, 120, 6480, 555, 195);
    lblAviso->hide();
    picLimpa = new PictureBox(client_, QStringLiteral("picLimpa"));
    placeTwips(picLimpa, 10920, 5880, 255, 495);
    picLimpa->setBackColor(colour::kWhite);
    txtFormat = new QLineEdit(QStringLiteral("4"), client_);
    txtFormat->setObjectName(QStringLiteral("txtFormat"));
    placeTwips(txtFormat, 10680, 5520, 495, 375);
    txtFormat->hide();
    imgColar = pictures::paste(devicePixelRatioF());

    pnlBarra = new BevelPanel(client_, QStringLiteral("pnlBarra"));
    placeTwips(pnlBarra, 0, 0, 11775, 8175);
    pnlBarra->setCursor(pictures::hand());

    picCap = new PictureBox(pnlBarra, QStringLiteral("picCap"));
    placeTwips(picCap, 840, 360, 585, 585);
    picCap->setSurface(&capture_);

    pnlMaster2 = new BevelPanel(pnlBarra, QStringLiteral("pnlMaster2"));
    placeTwips(pnlMaster2, 240, 240, 11295, 7695);
    pnlMaster2->setCursor(pictures::hand());
    pnlMaster2->hide(); // the start-up panel is shown by the start-up sequence

    fraTexto = new BevelPanel(pnlBarra, QStringLiteral("fraTexto"));
    placeTwips(fraTexto, 1440, 600, 2295, 735);
    fraTexto->setCaption(QStringLiteral("TEXT"));
    txtAlpha = new QLineEdit(QStringLiteral("Text Click-me"), fraTexto);
    txtAlpha->setObjectName(QStringLiteral("txtAlpha"));
    txtAlpha->setFont(fonts::classic(QStringLiteral("MS Sans Serif"), 8));
    txtAlpha->setCursor(Qt::IBeamCursor);
    txtAlpha->installEventFilter(this);
    placeTwips(txtAlpha, 120, 330, 2085, 300);
    fraTexto->hide(); // shown by "Open Text"

    pnlMaster = new BevelPanel(pnlBarra, QStringLiteral("pnlMaster"));
    placeTwips(pnlMaster, 1440, 1440, 5535, 5535);

    grid = new PictureBox(pnlMaster, QStringLiteral("grid"));
    placeTwips(grid, 360, 375, 4815, 4832);
    grid->setSurface(&gridSurface_);
    grid->setTwipsScale(true);
    grid->setMouseTracking(true);
    grid->setCursor(Qt::CrossCursor);
    shCapture = new Shape(grid, QStringLiteral("shCapture"), Shape::DashDotRectangle, QColor(0, 0, 255));
    shRect = new Shape(grid, QStringLiteral("shRect"), Shape::Rectangle);
    shLine = new Shape(grid, QStringLiteral("shLine"), Shape::Line);
    shCircle = new Shape(grid, QStringLiteral("shCircle"), Shape::Circle);

    lblNumero1 = new RowRuler(pnlMaster, QStringLiteral("lblNumero1"), kRowRuler);
    placeTwips(lblNumero1, 120, 405, 255, 4815);
    lblNumero1->setFont(fonts::classic(QStringLiteral("Arial"), 6));
    lblNumero2 = new ColumnRuler(pnlMaster, QStringLiteral("lblNumero2"), kColumnRuler);
    lblNumero2->setFocusPolicy(Qt::NoFocus); // a display: it must not take the Edit keys
    placeTwips(lblNumero2, 360, 5265, 4815, 195);
    const QFont columnFont = fonts::classic(QStringLiteral("Times New Roman"), 6.75);
    lblNumero2->setFont(columnFont);
    lblCordenadas = new Label(pnlMaster, QStringLiteral("lblCordenadas"), QStringLiteral("#"));
    lblCordenadas->move(twips::toPixels(2715), twips::toPixels(120));
    const QFont readoutFont = fonts::classic(QStringLiteral("MS Serif"), 9.75);
    lblCordenadas->setFont(readoutFont);
    lblCordenadas->adjustSize();
    readoutHeight_ = lblCordenadas->height();

    pic3DColor = new BevelPanel(pnlBarra, QStringLiteral("pic3DColor"));
    placeTwips(pic3DColor, 480, 7080, 6495, 375);
    LeftColor = new PictureBox(pic3DColor, QStringLiteral("LeftColor"));
    placeTwips(LeftColor, 75, 80, 300, 230);
    LeftColor->setBackColor(colour::kBlack);
    LeftColor->setBorderWidth(1);
    LeftColor->setToolTip(QStringLiteral("Left Button Color"));
    LeftColor->hide(); // shown when the start-up panel goes
    RightColor = new PictureBox(pic3DColor, QStringLiteral("RightColor"));
    placeTwips(RightColor, 435, 80, 300, 230);
    RightColor->setBackColor(colour::kWindowBackground);
    RightColor->setBorderWidth(1);
    RightColor->setToolTip(QStringLiteral("Right Button Color"));
    RightColor->hide();
    picVeCor = new PictureBox(pic3DColor, QStringLiteral("picVeCor"));
    placeTwips(picVeCor, 855, 80, 300, 230);
    picVeCor->hide();
    picDefaltColor = new PictureBox(pic3DColor, QStringLiteral("picDefaltColor"));
    placeTwips(picDefaltColor, 1170, 80, 5235, 230);
    picDefaltColor->setSurface(&strip_);
    picDefaltColor->setBackColor(colour::kBlack);
    picDefaltColor->setTwipsScale(true);
    picDefaltColor->setMouseTracking(true);

    pic3DTool = new BevelPanel(pnlBarra, QStringLiteral("pic3DTool"));
    placeTwips(pic3DTool, 600, 2400, 735, 4575);
    static const int kToolTop[9] = {120, 600, 1080, 1560, 2040, 2520, 3000, 3960, 3480};
    static const char *kToolTip[9] = {
        "Pencil Mode",        "Line Mode", "Rectangle Mode",  "Filled Rectangle Mode",       "Circle Mode",
        "Filled Circle Mode", "Text Mode", "Color Fill Mode", "Capture (Select Region) Mode"};
    for (int i = 0; i < 9; ++i) {
        auto *b = new PictureBox(pic3DTool, QStringLiteral("picModeSel"));
        b->setProperty("index", i);
        placeTwips(b, 120, kToolTop[i], 480, 480);
        b->setPicture(pictures::tool(i, devicePixelRatioF()));
        b->setToolTip(QString::fromLatin1(kToolTip[i]));
        picModeSel[size_t(i)] = b;
    }

    pic3DMode = new BevelPanel(pnlBarra, QStringLiteral("pic3DMode"));
    placeTwips(pic3DMode, 600, 1440, 735, 735);
    picMode = new PictureBox(pic3DMode, QStringLiteral("picMode"));
    placeTwips(picMode, 120, 120, 490, 490);
    picMode->setToolTip(QStringLiteral("Displays Selected Mode"));

    pic3dIco = new BevelPanel(pnlBarra, QStringLiteral("pic3dIco"));
    placeTwips(pic3dIco, 3840, 600, 735, 735);
    Ikon = new PictureBox(pic3dIco, QStringLiteral("Ikon"));
    placeTwips(Ikon, 100, 100, 510, 510);
    Ikon->setSurface(&ikon_);
    ikon_.font = fonts::classic(QStringLiteral("MS Sans Serif"), 8);
    Ikon->setBorderWidth(1);

    // Panels and their contents show the ordinary arrow, not the hand of the background.
    for (QWidget *w :
         {static_cast<QWidget *>(fraTexto), static_cast<QWidget *>(pnlMaster), static_cast<QWidget *>(pic3DColor),
          static_cast<QWidget *>(pic3DTool), static_cast<QWidget *>(pic3DMode), static_cast<QWidget *>(pic3dIco),
          static_cast<QWidget *>(picCap)})
        w->setCursor(Qt::ArrowCursor);
}

void frmGeral::connectEvents()
{
    connect(grid, &PictureBox::mouseDown, this, &frmGeral::grid_MouseDown);
    connect(grid, &PictureBox::mouseMove, this, &frmGeral::grid_MouseMove);
    connect(grid, &PictureBox::mouseUp, this, &frmGeral::grid_MouseUp);
    for (int i = 0; i < 9; ++i)
        connect(picModeSel[size_t(i)], &PictureBox::clicked, this, [this, i] { picModeSel_Click(i); });
    connect(picDefaltColor, &PictureBox::mouseMove, this,
            [this](int, int, double x, double y) { picDefaltColor_MouseMove(x, y); });
    connect(picDefaltColor, &PictureBox::mouseDown, this,
            [this](int button, int, double x, double y) { picDefaltColor_MouseDown(button, x, y); });
    connect(pnlBarra, &BevelPanel::pointerMove, this, [this] { pointerElsewhere(); });
    connect(pnlBarra, &BevelPanel::dragDrop, this, &frmGeral::pnlBarra_DragDrop);
    connect(lblMsg, &Label::Change, this, &frmGeral::lblMsg_Change);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { clipboardStale_ = true; });

    // The window sees these keys before any of its controls.
    auto *f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    f2->setContext(Qt::WindowShortcut);
    connect(f2, &QShortcut::activated, this,
            [this] { setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized); });
    auto *f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    f3->setContext(Qt::WindowShortcut);
    connect(f3, &QShortcut::activated, this,
            [this] { setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); });
}

bool frmGeral::PaintCell(int x, int y, ColourValue colour)
{
    const bool painted = canvas_.PaintCell(x, y, colour);
    Ikon->flush(); // only the changed pixel's rectangle is repainted
    noteIconChange();
    return painted;
}

void frmGeral::sizeCanvas(int ikonTwips, int gridWidthTwips, int gridHeightTwips)
{
    resizeCanvas(QSize(twips::toPixels(ikonTwips), twips::toPixels(ikonTwips)),
                 QSize(twips::toPixels(gridWidthTwips), twips::toPixels(gridHeightTwips)));
}

void frmGeral::resizeCanvas(QSize ikonPixels, QSize gridPixels)
{
    Ikon->resize(ikonPixels);
    grid->resize(gridPixels);
    gridSurface_.resize(grid->size());
    // A grown grid keeps only what was drawn on its old area: the bars the
    // Grad menu says are shown must cover the new cells too.
    if (mnuGrade->text() == QLatin1String("Without Bars"))
        canvas_.drawBars();
    // The rulers follow the grid: the column ruler right under it.
    lblNumero2->move(lblNumero2->x(), grid->y() + grid->height());
    lblNumero1->resize(lblNumero1->width(), grid->height());
    lblNumero2->resize(grid->width(), lblNumero2->height());
}

void frmGeral::RefreshGrid()
{
    canvas_.RefreshGrid();
    grid->flush();
    Ikon->flush();
    noteIconChange();
}

ColourValue frmGeral::buttonColour(int button) const
{
    return button == 1 ? LeftColor->backColor() : RightColor->backColor();
}

bool frmGeral::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == txtAlpha) {
        switch (e->type()) {
        case QEvent::FocusIn: txtAlpha_FocusIn(static_cast<QFocusEvent *>(e)); break;
        case QEvent::MouseButtonPress:
            // A click is the user choosing the box, whether or not it already
            // had the focus (the mode buttons take none).
            picModeSel_Click(drawmode::Text);
            break;
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
            // An Edit key the menu owns: left unaccepted, the override lets the
            // menu's shortcut run.
            if (isEditKey(static_cast<QKeyEvent *>(e)) && !editKeyBelongsToText(static_cast<QKeyEvent *>(e))) {
                if (e->type() == QEvent::ShortcutOverride)
                    e->ignore();
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
                txtAlpha_Click();
            break;
        default: break;
        }
    }
    if (watched == lblEnter && e->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
        return lblEnter_Click();
    if (watched == client_ && e->type() == QEvent::MouseMove) {
        pointerElsewhere();
        ProbeClipboard();
    }
    return QMainWindow::eventFilter(watched, e);
}

void frmGeral::txtAlpha_FocusIn(const QFocusEvent *e)
{
    // Only the user giving the box focus arms the text tool.
    if (isUserFocusReason(e->reason()))
        picModeSel_Click(drawmode::Text);
}

bool frmGeral::editKeyBelongsToText(const QKeyEvent *e) const
{
    // Ctrl+X/C/V are the Edit menu's Cut, Copy and Paste, except in the
    // focused text box while it holds a selection the user made or while the
    // menu's command cannot run.
    const QAction *command = e->matches(QKeySequence::Cut) ? mnuCortar
        : e->matches(QKeySequence::Copy)                   ? mnuCopiar
                                                           : mnuColar;
    return txtAlpha->hasFocus() && (txtAlpha->hasSelectedText() || !command->isEnabled());
}

void frmGeral::pointerElsewhere()
{
    if (picVeCor->isVisible())
        picVeCor->hide();
    if (lblCordenadas->isVisible())
        lblCordenadas->hide();
}

void frmGeral::picDefaltColor_MouseMove(double x, double y)
{
    lblCordenadas->hide();
    const ColourValue c = strip_.point(x, y);
    if (c == colour::kOutside)
        return;
    picVeCor->show();
    picVeCor->setBackColor(c);
}

void frmGeral::picDefaltColor_MouseDown(int button, double x, double y)
{
    const ColourValue c = strip_.point(x, y);
    if (c == colour::kOutside)
        return; // the strip's border: no colour under the pointer
    if (button == 1)
        LeftColor->setBackColor(c);
    else if (button == 2)
        RightColor->setBackColor(c);
}

void frmGeral::pnlBarra_DragDrop(QWidget *source, double x, double y)
{
    if (auto *panel = qobject_cast<BevelPanel *>(source))
        panel->move(int(twips::roundHalfEven(x)), int(twips::roundHalfEven(y)));
    else if (source)
        source->move(twips::toPixels(x), twips::toPixels(y));
}

void frmGeral::lblMsg_Change()
{
    mnuPropriedade->setEnabled(!lblMsg->text().isEmpty());
    // Named as text by someone else (Open, the library browser): the text is the name.
    if (lblMsg->text() != QFile::decodeName(currentFile_))
        currentFile_ = QFile::encodeName(lblMsg->text());
}

void frmGeral::setCurrentFile(const QByteArray &path)
{
    currentFile_ = path;
    lblMsg->setCaption(QFile::decodeName(path));
}

QByteArray frmGeral::resizeFile() const { return QFile::encodeName(platform_->commonDialog->FileName); }

void frmGeral::Form_Resize()
{
    // A maximised window minimised from the title bar is both: minimised wins.
    if ((windowState() & Qt::WindowMaximized) && !(windowState() & Qt::WindowMinimized)) {
        setWindowTitle(QStringLiteral("Vorn Tessarel - Version: %1 - Vorn Quorvane Vezadazar")
                           .arg(QString::fromLatin1(projectinfo::kRunOnVersion)));
        lblAviso->show();
        return;
    }
    setWindowTitle(QStringLiteral("Tessarel %1").arg(QString::fromLatin1(projectinfo::kVersion)));
    // The tool window is loaded here (hidden) on the first size event; the
    // other side windows load when they are first opened.
    toolBar()->hide();
    for (const char *name : {"ColorPalette", "frmVeCor1", "frmVeCor2", "frmCopy", "frmDesenho"})
        if (QWidget *w = sideWindows_.existing(QString::fromLatin1(name)))
            w->hide();
}

void frmGeral::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmGeral::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    Form_Resize();
}

void frmGeral::closeEvent(QCloseEvent *e)
{
    // The title-bar close button and the system close key do nothing.
    if (!exiting_)
        e->ignore();
}

frmToolBar *frmGeral::toolBar() { return sideWindows_.get<frmToolBar>(); }

void frmGeral::setLeftColour(ColourValue colour) { LeftColor->setBackColor(colour); }
void frmGeral::setRightColour(ColourValue colour) { RightColor->setBackColor(colour); }
QString frmGeral::statusText() const { return lblMsg->text(); }
void frmGeral::setStatusText(const QString &text) { lblMsg->setCaption(text); }
void frmGeral::enableResize(bool on) { mnuReduzir->setEnabled(on); }
void frmGeral::enableProperties(bool on) { mnuPropriedade->setEnabled(on); }
