#include "toolwindow/fra_move.h"

#include "platform/editor_link.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"
#include "toolwindow/arrow_button.h"
#include "transforms/image_shift.h"

#include <QToolButton>

namespace {

struct Button
{
    int left, top;
    double angle; // degrees, 0 pointing right, clockwise
    const char *tip;
};

constexpr Button kButtons[8] = {
    {1440, 1200, 0, "Lateral Direita"},
    {240, 1200, 180, "Lateral Esquerda"},
    {840, 720, 270, "Topo"},
    {840, 1680, 90, "Base"},
    {120, 600, 225, "Topo Esquerdo"},
    {1560, 600, 315, "Topo Direito"},
    {120, 1800, 135, "Base Esquerda"},
    {1560, 1800, 45, "Base Direita"},
};

} // namespace

fraMove::fraMove(QWidget *parent, EditorLink &main)
    : QGroupBox(QStringLiteral("Move Image"), parent)
    , main_(main)
{
    setObjectName(QStringLiteral("fraMove"));
    setToolTip(QStringLiteral("Moves Image"));
    placeTwips(this, 120, 120, 2175, 2655);
    for (int i = 0; i < 8; ++i) {
        QToolButton *b = arrowButton(this, QStringLiteral("cmdShift"), kButtons[i].angle);
        b->setProperty("index", i);
        placeTwips(b, kButtons[i].left, kButtons[i].top, 495, 495);
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
