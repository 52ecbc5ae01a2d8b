#include "toolwindow/fra_move.h"

#include "editor/frm_geral.h"
#include "platform/place.h"
#include "toolwindow/image_shift.h"

#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

struct Button
{
    int left, top;
    double angle; // degrees, 0 pointing right, clockwise
    const char *tip;
};

constexpr Button kButtons[8] = {
    {1440, 1200, 0, "Lateral Direita"}, {240, 1200, 180, "Lateral Esquerda"}, {840, 720, 270, "Topo"},
    {840, 1680, 90, "Base"},           {120, 600, 225, "Topo Esquerdo"},     {1560, 600, 315, "Topo Direito"},
    {120, 1800, 135, "Base Esquerda"},  {1560, 1800, 45, "Base Direita"},
};

// An arrow drawn for this program: a dark shaft and head pointing at `angle`.
QIcon arrow(double angle)
{
    QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(12, 12);
    p.rotate(angle);
    QPainterPath path;
    path.moveTo(10, 0);
    path.lineTo(1, -8);
    path.lineTo(1, -3);
    path.lineTo(-9, -3);
    path.lineTo(-9, 3);
    path.lineTo(1, 3);
    path.lineTo(1, 8);
    path.closeSubpath();
    p.fillPath(path, QColor(0, 0, 128));
    p.end();
    return QIcon(QPixmap::fromImage(img));
}

} // namespace

fraMove::fraMove(QWidget *parent, frmGeral &main)
    : QGroupBox(QStringLiteral("Move Image"), parent)
    , main_(main)
{
    setObjectName(QStringLiteral("fraMove"));
    setToolTip(QStringLiteral("Moves Image"));
    placeTwips(this, 120, 120, 2175, 2655);
    for (int i = 0; i < 8; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("cmdShift"));
        b->setProperty("index", i);
        placeTwips(b, kButtons[i].left, kButtons[i].top, 495, 495);
        b->setIcon(arrow(kButtons[i].angle));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(QString::fromLatin1(kButtons[i].tip));
        connect(b, &QToolButton::clicked, this, [this, i] { cmdShift_Click(i); });
        cmdShift[size_t(i)] = b;
    }
}

void fraMove::cmdShift_Click(int index)
{
    shift::byButton(main_.ikonSurface(), index);
    main_.RefreshGrid();
}
