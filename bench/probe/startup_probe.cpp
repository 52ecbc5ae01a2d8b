// One process start, measured from outside by bench/startup.py: shows the
// editor, a bare Qt main window ("bare") or one with a menu and a label
// ("bare-text"), lets the first events run, prints the resident memory in KiB
// and ends.
#include "editor/frm_geral.h"
#include "shell/qt_platform.h"
#include "support/resident_memory.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <cstdio>

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
    app.processEvents();
    std::printf("%ld\n", residentKiB());
    return 0;
}
