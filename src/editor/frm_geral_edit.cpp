// The Edit menu: region capture and the clipboard (Copy, Cut, Paste, Clear
// Clipboard, the clipboard probe and the placement of the copied block), and
// the text panel's Open Text / Close Text, and Undo / Redo.
//
// The capture buffer picCap has two layers: its base picture (what the probe
// last found on the system clipboard) and its drawn image, where Copy leaves
// the copied block. Paste placement stamps from the drawn image.

#include "editor/frm_geral.h"
#include "platform/bevel_panel.h"
#include "platform/picture_box.h"
#include "platform/shape.h"
#include "platform/twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>

#include <functional>

namespace {

QClipboard *systemClipboard() { return QGuiApplication::clipboard(); }

bool clipboardHoldsBitmap()
{
    const QMimeData *data = systemClipboard()->mimeData();
    return data && data->hasImage();
}

int cellOf(int twipsPos) { return twips::toCell(twipsPos).value_or(0); }

} // namespace

// Follows the mouse buttons through every event of the program (real or sent
// by a test) and calls back after each release: a change made while a button
// is held (a pencil stroke) becomes a step only once they are all up.
class MouseButtonWatch : public QObject
{
public:
    MouseButtonWatch(QObject *parent, std::function<void()> released)
        : QObject(parent)
        , released_(std::move(released))
    {
        qApp->installEventFilter(this);
    }
    bool held() const { return held_ != Qt::NoButton; }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease) {
            held_ = static_cast<QMouseEvent *>(e)->buttons();
            if (e->type() == QEvent::MouseButtonRelease && held_ == Qt::NoButton)
                QMetaObject::invokeMethod(this, released_, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> released_;
    Qt::MouseButtons held_ = Qt::NoButton;
};

void frmGeral::ProbeClipboard()
{
    // The probe runs on every pointer move over the background; fetching the
    // picture from another program each time would be slow, so it is fetched
    // once per clipboard change.
    if (clipboardStale_) {
        clipboardPicture_ = clipboardHoldsBitmap() ? systemClipboard()->image() : QImage();
        clipboardStale_ = false;
    }
    if (clipboardPicture_.isNull())
        return;
    mnuColar->setEnabled(true);
    capture_.setPicture(clipboardPicture_);
    picCap->flush();
    mnuClear->setVisible(true);
}

void frmGeral::mnuCopiar_Click()
{
    mnuColar->setEnabled(true);
    mnuCopiar->setEnabled(false);
    mnuCortar->setEnabled(false);
    shCapture->setVisible(false);
    SelLeft = cellOf(shCapture->left());
    SelTop = cellOf(shCapture->top());
    SelRight = cellOf(shCapture->left() + shCapture->width());
    SelBottom = cellOf(shCapture->top() + shCapture->height());
    capture_.cls();
    capture_.paintPicture(ikon_.image(), 0, 0, SelLeft, SelTop, SelRight - SelLeft + 1, SelBottom - SelTop + 1);
    picCap->flush();
    // What goes to the system clipboard is the buffer's base picture; with
    // none (nothing found by the probe yet) the clipboard is left alone.
    if (capture_.hasPicture())
        systemClipboard()->setImage(capture_.picture());
}

void frmGeral::mnuCortar_Click()
{
    mnuCopiar_Click();
    ikon_.filledBox(SelLeft, SelTop, SelRight, SelBottom, colour::kWhite);
    RefreshGrid();
}

void frmGeral::mnuColar_Click()
{
    picMode->setPicture(imgColar);
    mnuCopiar->setEnabled(false);
    mnuCortar->setEnabled(false);
    DrawMode = drawmode::PastePlacement;
    if (clipboardHoldsBitmap()) {
        ikon_.setPicture(capture_.picture());
        RefreshGrid();
        mnuColar->setEnabled(false);
    }
}

void frmGeral::placeCapture(int col, int row)
{
    const int w = SelRight - SelLeft + 1, h = SelBottom - SelTop + 1;
    ikon_.paintPicture(capture_.image(), col, row, 0, 0, w, h);
    RefreshGrid();
    shCapture->setSize(0, 0);
    shCapture->setVisible(false);
}

void frmGeral::mnuClear_Click()
{
    systemClipboard()->clear();
    capture_.clearPicture();
    picCap->flush();
    mnuColar->setEnabled(false);
    mnuClear->setVisible(false);
}

// The text panel and its menu caption toggle together.
void frmGeral::mnuOpTxt_Click()
{
    if (mnuOpTxt->text() == QLatin1String("Open Text")) {
        fraTexto->show();
        mnuOpTxt->setText(QStringLiteral("Close Text"));
    } else {
        fraTexto->hide();
        mnuOpTxt->setText(QStringLiteral("Open Text"));
    }
}

// ---- Undo and redo ----------------------------------------------------------

IconState frmGeral::iconState() const { return {ikon_.image(), Ikon->size(), grid->size(), transparentColour_}; }

void frmGeral::noteIconChange()
{
    if (changePending_)
        return;
    changePending_ = true;
    // After the command or event that made the change has finished with it.
    QMetaObject::invokeMethod(
        this, [this] { commitIconChange(); }, Qt::QueuedConnection);
}

void frmGeral::commitIconChange(bool evenWhileHeld)
{
    if (!changePending_ || (!evenWhileHeld && releaseWatch_->held()))
        return; // nothing new, or a stroke still going: its release calls again
    changePending_ = false;
    if (history_.record(iconState()))
        updateUndoItems();
}

void frmGeral::forgetUndoSteps()
{
    if (!releaseWatch_)
        releaseWatch_ = new MouseButtonWatch(this, [this] { commitIconChange(); });
    changePending_ = false;
    history_.reset(iconState());
    updateUndoItems();
}

void frmGeral::updateUndoItems()
{
    mnuUndo->setEnabled(history_.canUndo());
    mnuRedo->setEnabled(history_.canRedo());
}

void frmGeral::showIconState(const IconState &s)
{
    if (s.ikonSize != Ikon->size() || s.gridSize != grid->size())
        resizeCanvas(s.ikonSize, s.gridSize);
    ikon_.setPicture(s.pixels);
    transparentColour_ = s.transparent;
    RefreshGrid();
    changePending_ = false; // what RefreshGrid noted is this very state
}

void frmGeral::stepHistory(bool back)
{
    // A change still waiting for its step (the menu was quicker) is one first.
    changePending_ = true;
    commitIconChange(true);
    if (const auto s = back ? history_.undo() : history_.redo())
        showIconState(*s);
    updateUndoItems();
}

void frmGeral::mnuUndo_Click() { stepHistory(true); }

void frmGeral::mnuRedo_Click() { stepHistory(false); }
