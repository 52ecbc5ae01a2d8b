#include "viewers/frm_previa.h"

#include "platform/colour_value.h"
#include "platform/editor_link.h"
#include "platform/picture_surface.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>

frmPrevia::frmPrevia(EditorLink &main)
    : QWidget(nullptr, Qt::Window)
    , picTile(new QLabel(this))
    , Timer1(new QTimer(this))
    , main_(main)
{
    // A window of its own, not one kept with the editor: it stays up while
    // the editor is minimised.
    setObjectName(QStringLiteral("frmPrevia"));
    setWindowTitle(QStringLiteral("Preview Background"));
    setAttribute(Qt::WA_DeleteOnClose);
    picTile->setObjectName(QStringLiteral("picTile"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &frmPrevia::Timer1_Timer);
    Timer1->start(); // the load enables the timer
}

void frmPrevia::setTileFromIkon()
{
    tile_ = main_.ikonSurface().image();
    tilePixmap_ = QPixmap::fromImage(tile_);
    picTile->setPixmap(tilePixmap_);
}

void frmPrevia::Timer1_Timer()
{
    picTile->resize(tile_.size()); // auto-size: the tile is the picture's size
    tileSize_ = picTile->size();
    picTile->hide();
    tiling_ = true;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour::toQColor(colour::rgb(192, 255, 255)));
    setPalette(pal);
    // From now on the tiles cover every pixel: no background fill under them.
    setAttribute(Qt::WA_OpaquePaintEvent);
    show();
    repaint();
    Timer1->stop();
}

void frmPrevia::paintEvent(QPaintEvent *)
{
    if (tiling_ && !tileSize_.isEmpty()) {
        // One tiled-pixmap call: tiles from the top-left corner, block copies
        // of the whole tile, the last row and column cut by the edge.
        QPainter p(this);
        const QPixmap tile =
            tilePixmap_.size() == tileSize_ ? tilePixmap_ : tilePixmap_.copy(QRect(QPoint(0, 0), tileSize_));
        p.drawTiledPixmap(QRect(QPoint(0, 0), sizePx_ + tileSize_), tile);
    }
    // The next paint shows the icon as it is then.
    setTileFromIkon();
}

void frmPrevia::Form_Resize()
{
    sizePx_ = size();
    if (windowState() & Qt::WindowMinimized) {
        setTileFromIkon();
        main_.editorWindow()->showMaximized();
    } else {
        main_.editorWindow()->showMinimized();
        setTileFromIkon();
        // A window coming back from minimised shows what it last painted:
        // paint it again, the icon may have changed meanwhile.
        update();
    }
}

void frmPrevia::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Form_Resize();
}

void frmPrevia::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmPrevia::closeEvent(QCloseEvent *e)
{
    main_.editorWindow()->showMaximized();
    QWidget::closeEvent(e);
}
