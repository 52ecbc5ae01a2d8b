// The File menu: New, Open and Save of the main window, the load behind Open,
// Exit, and the icon file manager (Open/Copy/Move); a file dropped on the
// window opens through the same load.

#include "editor/frm_geral.h"
#include "filemanager/frm_copy.h"
#include "formats/bitmap_file.h"
#include "formats/icon_file.h"
#include "formats/picture_loader.h"
#include "platform/icon_save_dialog.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "platform/window_placement.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace {

const QString kOpenFilter = QStringLiteral(
    "Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp|CompuServe (*.gif)|*.gif|Metafiles (*.wmf)|*.wmf");
const QString kSaveFilter =
    QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp|Windows Metafile (*.wmf)|*.wmf"
                   "|Icon (*.ico)|*.ico|PNG image (*.png)|*.png");
const QString kInformTitle = QStringLiteral("Inform the User!");
const QString kDropOneFile = QStringLiteral("  Drop one picture file to open it.  ");
const QString kNotAPicture = QStringLiteral("Cancel:\r"
                                            "                 The Open File is not Been worth!             \r"
                                            "________________________________________");

// What the "Icon sizes" dialog starts from: the sizes the file at `path`
// holds now, ticked, and the entry Save replaces, which is always kept.
IconSaveDialog::Question iconSizesQuestion(const QImage &picture, const QString &path, std::optional<QRgb> transparent)
{
    IconSaveDialog::Question q{picture, {}, 32, {}, transparent};
    if (const auto old = readExistingIcon(path)) {
        for (const IcoEntry &e : old->entries)
            if (e.width == e.height)
                q.sizes.push_back(e.width);
        const IcoEntry &shown = old->entries[size_t(old->shown)];
        q.keptSize = shown.width == shown.height ? shown.width : 0;
        q.holds = describeIconEntries(old->entries);
    }
    return q;
}

// The floating windows that must not cover a file dialog, in the order they are switched.
const char *const kToolWindows[] = {"frmVeCor1", "ColorPalette", "frmCopy", "frmInfo", "frmToolBar", "frmDesenho"};

} // namespace

void frmGeral::setTransparentColour(std::optional<QRgb> colour) { transparentColour_ = colour; }

void frmGeral::setToolWindowsTopmost(bool on)
{
    for (const char *name : kToolWindows)
        if (QWidget *w = sideWindows_.existing(QString::fromLatin1(name)))
            placement_->SetWindowTopmost(w, on);
}

void frmGeral::mnuNew_Click()
{
    sizeCanvas(510, 4815, 4832);
    ikon_.filledBox(0, 0, 31, 31, RightColor->backColor());
    RefreshGrid();
    transparentColour_.reset();
}

void frmGeral::mnuOpenSimples_Click()
{
    setToolWindowsTopmost(false);
    CommonDialog &cd = *platform_->commonDialog;
    cd.DialogTitle = QStringLiteral("Vorn Tessarel - Open...");
    cd.Filter = kOpenFilter;
    if (cd.ShowOpen(this) != CommonDialog::kCancelError) {
        openFile(cd.FileName);
    } else {
        // A cancelled Open still enables Resize and shows the dialog's last name.
        mnuReduzir->setEnabled(true);
        lblMsg->setCaption(cd.FileName);
    }
    setToolWindowsTopmost(true);
}

bool frmGeral::openFile(const QString &path)
{
    mnuReduzir->setEnabled(true);
    lblMsg->setCaption(path);
    captionFile_ = path;
    if (const auto picture = loadPicture(path)) {
        ikon_.setPicture(*picture);
        setTransparentColour(transparentShownAs(*picture, ikon_.image()));
        RefreshGrid();
        return true;
    }
    platform_->messageBox->show(this, kInformTitle, kNotAPicture, MessageBox::OkOnly, MessageBox::NoIcon);
    return false;
}

void frmGeral::dragEnterEvent(QDragEnterEvent *e)
{
    // Files only, and only while Open itself can run (not behind the start-up panel).
    if (mnuOpenSimples->isEnabled() && mnuOpen->menuAction()->isEnabled() && e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void frmGeral::dropEvent(QDropEvent *e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    e->acceptProposedAction();
    const QString path = urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        platform_->messageBox->show(this, kInformTitle, kDropOneFile, MessageBox::OkOnly, MessageBox::NoIcon);
        return;
    }
    // As if the Open dialog had chosen it: Resize and the next dialog follow.
    platform_->commonDialog->FileName = path;
    openFile(path);
}

void frmGeral::mnusave_Click()
{
    CommonDialog &cd = *platform_->commonDialog;
    cd.DialogTitle = QStringLiteral("Vorn Tessarel - Save...");
    cd.Filter = kSaveFilter;
    cd.Flags = CommonDialog::kOverwritePrompt;
    if (cd.ShowSave(this) == CommonDialog::kCancelError)
        return;
    ikon_.flatten();
    // An .ico asks which sizes it holds and which colour is transparent;
    // cancelling that writes nothing.
    IconSaveOptions options{transparentColour_, std::nullopt};
    if (cd.FileName.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive)) {
        const auto choice =
            platform_->iconSaveDialog->ask(this, iconSizesQuestion(ikon_.picture(), cd.FileName, transparentColour_));
        if (!choice)
            return;
        options = {choice->transparent, choice->sizes};
    }
    QString error;
    // The caption names the file only once it really holds the icon.
    // An icon, cursor or PNG name gets that format (over an existing icon file
    // only the entry Open shows changes); every other name a bitmap, as designed.
    const bool saved = isIconOrPngName(cd.FileName) ? saveIconOrPng(ikon_.picture(), cd.FileName, options, &error)
                                                    : saveBitmapFile(ikon_.picture(), cd.FileName, &error);
    if (!saved) {
        platform_->messageBox->show(this, kInformTitle,
                                    QStringLiteral("The icon could not be saved:\r%1\r%2").arg(cd.FileName, error),
                                    MessageBox::OkOnly, MessageBox::Exclamation);
        return;
    }
    // Compared with the name of the last file really opened or written, not
    // the dialog's, which a failed save has already changed.
    if (cd.FileName != captionFile_)
        setWindowTitle(QStringLiteral("Vorn Tessarel - ") + cd.FileName);
    captionFile_ = cd.FileName;
}

// Exit: the tool windows go first (the tool window stores its position as it
// goes), then the program ends at once.
void frmGeral::mnuFechar_Click()
{
    sideWindows_.unload(QStringLiteral("ColorPalette"));
    sideWindows_.unload(QStringLiteral("frmToolBar"));
    sideWindows_.unload(QStringLiteral("frmVeCor1"));
    exiting_ = true;
    QCoreApplication::exit(0);
}

// O&pen/Copy/Move: the file manager, loaded on first use.
void frmGeral::mnuOpenAs_Click() { sideWindows_.get<frmCopy>()->LoadToolbar(this); }
