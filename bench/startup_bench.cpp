// Start-up cost against a bare Qt main window (budget: at most 1.2 times):
// construct, show and let the first paint happen, then destroy.
#include "editor/frm_geral.h"
#include "shell/qt_platform.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_BareMainWindowShown(benchmark::State &state)
{
    for (auto _ : state) {
        QMainWindow w;
        w.resize(1010, 760);
        w.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_BareMainWindowShown)->Unit(benchmark::kMillisecond);

void BM_EditorShown(benchmark::State &state)
{
    // The settings file goes to a scratch folder, not beside the benchmark.
    QTemporaryDir dir;
    for (auto _ : state) {
        auto platform = makeQtPlatform();
        platform->settingsFilePath = dir.filePath(QStringLiteral("VornForm.vrn"));
        frmGeral w(std::move(platform));
        w.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_EditorShown)->Unit(benchmark::kMillisecond);

} // namespace
