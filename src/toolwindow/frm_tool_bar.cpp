#include "toolwindow/frm_tool_bar.h"

#include "platform/editor_link.h"
#include "platform/picture_surface.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/twips.h"
#include "platform/window_placement.h"
#include "toolwindow/fra_cores.h"
#include "toolwindow/fra_diminui.h"
#include "toolwindow/fra_localiza.h"
#include "toolwindow/fra_move.h"

#include <QCloseEvent>
#include <QGroupBox>

frmToolBar::frmToolBar(EditorLink &main)
    : SideWindow(main.editorWindow(), main.placement(), QStringLiteral("frmToolBar"), QStringLiteral("Vorn Tessarel "),
                 Protocol{.restorePosition = true})
    , main_(main)
    , fraMove_(new fraMove(this, main))
    , fraCores_(new fraCores(this, main))
    , fraDiminui_(new fraDiminui(this, main, twipsPerPixelX, twipsPerPixelY))
    , fraLocaliza_(new fraLocaliza(this, main, currentIconIndex))
{
    // A new window has a new dialog of its own: no file name from before.
    main.platform().toolDialog->FileName.clear();
    main.platform().toolDialog->FileTitle.clear();
    for (QGroupBox *panel : findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly))
        panel->hide();
    // Load: the screen's scale, always on top, the stored position, the main
    // window's edges.
    twipsPerPixelX = qint16(twips::kPerPixel);
    twipsPerPixelY = qint16(twips::kPerPixel);
    loadProtocol();
}

void frmToolBar::showPanel(QGroupBox *panel, int outerWidth, int outerHeight)
{
    for (QGroupBox *other : findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly))
        other->setVisible(other == panel);
    // Sized before it is shown, so the window manager maps it as fixed-size.
    setOuterSizeTwips(outerWidth, outerHeight);
    LoadToolbar(main_.editorWindow());
}

void frmToolBar::closeEvent(QCloseEvent *e)
{
    fraCores_->copyToMainWindow();
    main_.placement().SaveWindowPosition(this);
    SideWindow::closeEvent(e);
}
