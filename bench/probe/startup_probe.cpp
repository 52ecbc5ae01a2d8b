// One process start, measured from outside by bench/startup.py: shows the
// editor, a bare Qt main window ("bare") or one with a menu and a label
// ("bare-text"), waits until the window is mapped and exposed, then prints
// the monotonic clock in nanoseconds and the resident memory in KiB and ends.
#include "editor/frm_geral.h"
#include "shell/qt_platform.h"
#include "support/resident_memory.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QByteArray kind = argc > 1 ? QByteArray(argv[1]) : QByteArray("editor");
    const bool bare = kind.startsWith("bare");
    QTemporaryDir scratch;
    std::unique_ptr<QWidget> window;
    if (bare) {
        auto *w = new QMainWindow;
        w->resize(1010, 760);
        if (kind == "bare-text") { // the least any window with a menu shows: text
            w->menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
            w->setCentralWidget(new QLabel(QStringLiteral("Tessarel")));
        }
        window.reset(w);
    } else {
        auto platform = makeQtPlatform();
        platform->settingsFilePath = scratch.filePath(QStringLiteral("VornForm.vrn"));
        window = std::make_unique<frmGeral>(std::move(platform));
    }
    window->show();
    // On a display the window is only there once the server has mapped it.
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        app.processEvents(QEventLoop::WaitForMoreEvents);
    const auto mapped = std::chrono::steady_clock::now().time_since_epoch();
    app.processEvents();
    std::printf("%lld %ld\n", static_cast<long long>(std::chrono::nanoseconds(mapped).count()), residentKiB());
    std::fflush(stdout);
    _exit(0); // the tear-down is no part of start-up
}
