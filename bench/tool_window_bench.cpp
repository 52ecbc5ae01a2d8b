// The tool window's panel commands and the image shift, on a shown editor.
#include "editor/frm_geral.h"
#include "shell/qt_platform.h"
#include "toolwindow/fra_move.h"
#include "toolwindow/frm_tool_bar.h"

#include <QAction>
#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

struct ShownEditor
{
    frmGeral window{makeQtPlatform()};
    ShownEditor()
    {
        window.show();
        window.tmrLogo_Timer();
        QApplication::processEvents();
    }
};

// A panel command while the tool window is up on another panel: panels
// switched and the window sized, as "Move" after "Fasten Color".
void BM_PanelCommandSwitch(benchmark::State &state)
{
    ShownEditor e;
    bool flip = false;
    for (auto _ : state) {
        (flip ? e.window.mnuMove : e.window.mnuCorFixa)->trigger();
        flip = !flip;
    }
    e.window.toolBar()->hide();
}
BENCHMARK(BM_PanelCommandSwitch)->Unit(benchmark::kMicrosecond);

// One shift button: the whole icon moved a pixel and the grid repainted.
void BM_ShiftButton(benchmark::State &state)
{
    ShownEditor e;
    e.window.mnuMove->trigger();
    e.window.ikonSurface().filledBox(0, 0, 15, 15, 0x0000FF);
    int i = 0;
    for (auto _ : state)
        e.window.toolBar()->moveFrame()->cmdShift_Click(i++ % 8);
    e.window.toolBar()->hide();
}
BENCHMARK(BM_ShiftButton)->Unit(benchmark::kMicrosecond);

} // namespace
