// The desktop picker's live read-out: one pointer move over the frozen
// desktop reads one pixel and shows it in the swatch; the four labels follow
// once a display frame. The still image is a checker of two colours, so every
// move changes the read-out, and what the move left for the event loop runs in
// the same iteration. BM_PickerPointerMove is one move (budget: 25 us CPU,
// 60 us wall on xcb; bench/picker.sh runs it there and offscreen);
// BM_PickerMoveEndingAFrame is a move that also paints the labels, which
// happens at most once a frame however fast the pointer reports.
#include "colour/frm_ve_cor1.h"
#include "colour/frm_ve_cor2.h"
#include "editor/frm_geral.h"
#include "platform/live_swatch.h"
#include "platform/picture_box.h"
#include "shell/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

void pickerMoves(benchmark::State &state, bool endFrame)
{
    frmGeral window{makeQtPlatform()};
    window.show();
    window.tmrLogo_Timer();
    window.mnuProcCor->trigger();
    auto *picker = static_cast<frmVeCor1 *>(window.sideWindows().existing(QStringLiteral("frmVeCor1")));
    picker->Btn_select->click();
    QApplication::processEvents();
    auto *surface = static_cast<frmVeCor2 *>(window.sideWindows().existing(QStringLiteral("frmVeCor2")));
    if (!surface || !surface->isVisible()) {
        state.SkipWithError("no capture surface");
        return;
    }
    QImage checker(surface->Picture1->size(), QImage::Format_RGB32);
    for (int y = 0; y < checker.height(); ++y)
        for (int x = 0; x < checker.width(); ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(200, 30, 60) : qRgb(20, 140, 220));
    surface->cover(checker);
    QApplication::processEvents();
    // On X11 the swatch is a window the server fills; timing the painted
    // stand-in there would measure the wrong thing.
    const auto *swatch = picker->Picture1->findChild<LiveSwatch *>();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !(swatch && swatch->filledByServer())) {
        state.SkipWithError("the swatch is not filled by the X server");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        const QPointF pos((i * 37) % 1000 + (i & 1), (i * 11) % 700); // x + y odd, even, odd ...
        ++i;
        QMouseEvent move(QEvent::MouseMove, pos, surface->Picture1->mapToGlobal(pos), Qt::NoButton, {}, {});
        QApplication::sendEvent(surface->Picture1, &move);
        if (endFrame)
            picker->showReadOutLabels();
        QCoreApplication::sendPostedEvents();
    }
    picker->close();
}

void BM_PickerPointerMove(benchmark::State &state) { pickerMoves(state, false); }
void BM_PickerMoveEndingAFrame(benchmark::State &state) { pickerMoves(state, true); }
BENCHMARK(BM_PickerPointerMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PickerMoveEndingAFrame)->Unit(benchmark::kMicrosecond);

} // namespace
