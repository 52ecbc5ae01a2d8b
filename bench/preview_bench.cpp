// The preview wallpaper: one repaint of a 3840 x 2160 window tiled with the icon.
#include "editor/frm_geral.h"
#include "shell/qt_platform.h"
#include "viewers/frm_previa.h"

#include <QAction>
#include <QApplication>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

void BM_PreviewRepaint4K(benchmark::State &state)
{
    frmGeral window{makeQtPlatform()};
    window.show();
    window.tmrLogo_Timer();
    window.mnuPrevi->trigger();
    auto *preview = static_cast<frmPrevia *>(window.sideWindows().existing(QStringLiteral("frmPrevia")));
    while (!preview->tiling()) {
        QApplication::processEvents();
        QThread::msleep(1);
    }
    preview->showNormal();
    preview->resize(3840, 2160);
    QApplication::processEvents();
    if (preview->size() != QSize(3840, 2160)) {
        state.SkipWithError("the window could not be made 3840 x 2160");
        return;
    }
    for (auto _ : state)
        preview->repaint();
    preview->close();
}
BENCHMARK(BM_PreviewRepaint4K)->Unit(benchmark::kMillisecond);

} // namespace
