// Canvas and tool budgets: RefreshGrid <= 30 us, a pencil move event <= 15 us,
// a figure release incl. RefreshGrid <= 60 us, one undo or redo incl. the grid
// repaint <= 60 us.
#include "editor/canvas.h"
#include "editor/frm_geral.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "shell/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

namespace {

void send(QWidget *w, QEvent::Type type, QPointF pos, Qt::MouseButton b, Qt::MouseButtons held)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Every cell changes on every call: two icons of different colours take turns.
void BM_RefreshGrid_AllCellsChange(benchmark::State &state)
{
    PictureSurface grid(QSize(321, 322), PictureSurface::Scale::Twips, 0xFFFFFF);
    PictureSurface a(QSize(32, 32), PictureSurface::Scale::Pixels, 0x0000FF);
    PictureSurface b(QSize(32, 32), PictureSurface::Scale::Pixels, 0x00FF00);
    Canvas ca(a, grid), cb(b, grid);
    bool flip = false;
    for (auto _ : state) {
        (flip ? ca : cb).RefreshGrid();
        flip = !flip;
        benchmark::DoNotOptimize(grid.image().constBits());
    }
}
BENCHMARK(BM_RefreshGrid_AllCellsChange);

// The usual case: one pixel changed since the last refresh.
void BM_RefreshGrid_OnePixelChanged(benchmark::State &state)
{
    PictureSurface grid(QSize(321, 322), PictureSurface::Scale::Twips, 0xFFFFFF);
    PictureSurface ikon(QSize(32, 32), PictureSurface::Scale::Pixels, 0xFFFFFF);
    Canvas canvas(ikon, grid);
    canvas.RefreshGrid();
    int i = 0;
    for (auto _ : state) {
        ikon.pset(i % 32, (i / 32) % 32, (i & 1) ? 0x000000 : 0x0000FF);
        canvas.RefreshGrid();
        ++i;
    }
}
BENCHMARK(BM_RefreshGrid_OnePixelChanged);

struct Editor
{
    frmGeral window{makeQtPlatform()};
    Editor()
    {
        window.show();
        QApplication::processEvents();
    }
};

// One pencil move with the left button held, delivered to the grid widget:
// read-out, cell painting and the repaint request.
void BM_PencilMoveEvent(benchmark::State &state)
{
    Editor e;
    QWidget *grid = e.window.grid;
    send(grid, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        const QPointF pos(5 + 10 * (i % 32), 5 + 10 * ((i / 32) % 32));
        send(grid, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
        ++i;
    }
    send(grid, QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_PencilMoveEvent);

// One figure's release: the figure drawn on Ikon, RefreshGrid, rubber band
// reset. The press and the move that shape the figure are not timed; the
// left colour alternates so every release really changes pixels.
void figureRelease(benchmark::State &state, int mode, QPointF from, QPointF to)
{
    Editor e;
    QWidget *grid = e.window.grid;
    e.window.picModeSel_Click(mode);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        e.window.LeftColor->setBackColor((i & 1) ? 0x000000 : 0x0000FF);
        send(grid, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(grid, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        state.ResumeTiming();
        send(grid, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        ++i;
    }
}

void BM_LineRelease(benchmark::State &s) { figureRelease(s, 1, QPointF(5, 5), QPointF(315, 255)); }
void BM_RectangleRelease(benchmark::State &s) { figureRelease(s, 2, QPointF(25, 25), QPointF(255, 205)); }
void BM_FilledCircleRelease(benchmark::State &s) { figureRelease(s, 5, QPointF(155, 155), QPointF(255, 155)); }
// A fill that recolours the whole icon: every cell of the grid changes.
void BM_FillRelease(benchmark::State &s) { figureRelease(s, 7, QPointF(155, 155), QPointF(155, 155)); }
BENCHMARK(BM_LineRelease);
BENCHMARK(BM_RectangleRelease);
BENCHMARK(BM_FilledCircleRelease);
BENCHMARK(BM_FillRelease);

// One step back or forward where every cell changes (a fill of the whole
// icon): the icon restored, the grid repainted, the menu items updated.
void BM_UndoRedoWholeIcon(benchmark::State &state)
{
    Editor e;
    QWidget *grid = e.window.grid;
    e.window.picModeSel_Click(7);
    send(grid, QEvent::MouseButtonPress, QPointF(155, 155), Qt::LeftButton, Qt::LeftButton);
    send(grid, QEvent::MouseButtonRelease, QPointF(155, 155), Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents(); // the fill becomes a step
    bool back = true;
    for (auto _ : state) {
        (back ? e.window.mnuUndo : e.window.mnuRedo)->trigger();
        back = !back;
    }
    if (e.window.mnuUndo->isEnabled() == e.window.mnuRedo->isEnabled())
        state.SkipWithError("the fill was not a step of its own");
}
BENCHMARK(BM_UndoRedoWholeIcon);

} // namespace
