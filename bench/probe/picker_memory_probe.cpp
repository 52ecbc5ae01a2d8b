// Memory of repeated desktop-colour searches: the editor with the picker
// open, N searches in a row (freeze, press on the surface, hand over), and
// the process's resident size before and after. Run it on a real display.
#include "colour/frm_ve_cor1.h"
#include "colour/frm_ve_cor2.h"
#include "editor/frm_geral.h"
#include "platform/picture_box.h"
#include "shell/qt_platform.h"
#include "support/resident_memory.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int searches = argc > 1 ? atoi(argv[1]) : 50;
    frmGeral window{makeQtPlatform()};
    window.show();
    window.tmrLogo_Timer();
    window.mnuProcCor->trigger();
    auto *picker = static_cast<frmVeCor1 *>(window.sideWindows().existing(QStringLiteral("frmVeCor1")));
    const auto search = [&] {
        picker->Btn_select->click();
        settle();
        auto *surface = static_cast<frmVeCor2 *>(window.sideWindows().existing(QStringLiteral("frmVeCor2")));
        if (!surface || !surface->isVisible())
            return false;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), surface->Picture1->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(surface->Picture1, &press);
        settle();
        picker->cmdLevaCor->click();
        return true;
    };
    // One search first, so that what every search allocates once is counted in "before".
    if (!search()) {
        std::fprintf(stderr, "no capture surface\n");
        return 1;
    }
    settle();
    const long before = residentKiB();
    for (int i = 0; i < searches; ++i)
        if (!search()) {
            std::fprintf(stderr, "search %d failed\n", i);
            return 1;
        }
    settle();
    const long after = residentKiB();
    std::printf("searches %d  rss before %ld KiB  after %ld KiB  growth %ld KiB\n", searches, before, after,
                after - before);
    return 0;
}
