#include "toolwindow/fra_diminui.h"

#include "platform/editor_link.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/twips.h"
#include "platform/window_placement.h"

#include <QPainter>
#include <QPushButton>

namespace {
const QString kResize = QStringLiteral("Resize");
const QString kTransfer = QStringLiteral("Transfer");
const QString kReturn = QStringLiteral("Return, Clean!");
} // namespace

QPoint fraDiminui::drawPosition(int canvasWidth, int canvasHeight, int twipsPerPixelX, int twipsPerPixelY)
{
    const double x = (double(canvasWidth) / twipsPerPixelX + 2) / 2 - 1;
    const double y = (double(canvasHeight) / twipsPerPixelY + 2) / 2 - 1;
    return QPoint(int(twips::roundHalfEven(x)), int(twips::roundHalfEven(y)));
}

fraDiminui::fraDiminui(QWidget *parent, EditorLink &main, const qint16 &twipsPerPixelX, const qint16 &twipsPerPixelY)
    : QGroupBox(QStringLiteral("Resize Icon"), parent)
    , main_(main)
    , tx_(twipsPerPixelX)
    , ty_(twipsPerPixelY)
    , pequeno_(QSize(36, 36), PictureSurface::Scale::Pixels, colour::kWhite)
{
    setObjectName(QStringLiteral("fraDiminui"));
    setToolTip(QStringLiteral("Reduce Icon"));
    placeTwips(this, 120, 120, 1695, 2295);
    cmdDiminuir = new QPushButton(kResize, this);
    cmdDiminuir->setObjectName(QStringLiteral("cmdDiminuir"));
    cmdDiminuir->setToolTip(QStringLiteral("Resize"));
    placeTwips(cmdDiminuir, 240, 360, 1215, 375);
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    placeTwips(Frame1, 240, 840, 1215, 1215);
    picPequeno = new PictureBox(Frame1, QStringLiteral("picPequeno"));
    placeTwips(picPequeno, 360, 360, 540, 540);
    picPequeno->setBackColor(colour::kWhite);
    picPequeno->setSurface(&pequeno_);
    connect(cmdDiminuir, &QPushButton::clicked, this, &fraDiminui::cmdDiminuir_Click);
}

void fraDiminui::cmdDiminuir_Click()
{
    const QString step = cmdDiminuir->text();
    if (step == kResize) {
        cmdDiminuir->setText(kTransfer);
        const QImage icon = main_.platform().smallIcons->smallIconAt(main_.resizeFile());
        if (!icon.isNull()) {
            // Drawn transparently: the box's white shows through the icon's mask.
            QImage over(icon.size(), QImage::Format_RGB32);
            over.fill(Qt::white);
            QPainter(&over).drawImage(0, 0, icon);
            const QPoint at = drawPosition(32, 32, tx_, ty_);
            pequeno_.paintPicture(over, at.x(), at.y(), 0, 0, over.width(), over.height());
            pequeno_.flatten(); // what is drawn stays
        }
        picPequeno->flush();
    } else if (step == kTransfer) {
        cmdDiminuir->setText(kReturn);
        main_.sizeCanvas(340, 2715, 2700);
        main_.ikonSurface().setPicture(pequeno_.image());
        main_.RefreshGrid();
    } else {
        // picLimpa is the blank white picture: picPequeno goes back to white.
        pequeno_.clearPicture();
        picPequeno->flush();
        cmdDiminuir->setText(kResize);
        main_.sizeCanvas(540, 4815, 4832);
        main_.ikonSurface().setPicture(pequeno_.image());
        main_.RefreshGrid();
    }
}
