// The icon file manager: listing a folder of 10,000 icon files, and the click
// that loads one into the editor.
#include "editor/frm_geral.h"
#include "filemanager/folder_views.h"
#include "filemanager/frm_copy.h"
#include "shell/qt_platform.h"
#include "support/ico_writer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct ManagerOnFolder
{
    QTemporaryDir dir;
    frmGeral window{makeQtPlatform()};
    frmCopy *manager;
    explicit ManagerOnFolder(int files)
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(qRgb(10, 120, 200));
        IcoWriterEntry e;
        e.image = image;
        const QByteArray ico = writeIco({e});
        for (int i = 0; i < files; ++i) {
            QFile f(dir.filePath(QStringLiteral("icon %1.ico").arg(i, 5, 10, QLatin1Char('0'))));
            if (f.open(QIODevice::WriteOnly))
                f.write(ico);
        }
        window.show();
        window.tmrLogo_Timer();
        window.mnuOpenAs->trigger();
        manager = static_cast<frmCopy *>(window.sideWindows().existing(QStringLiteral("frmCopy")));
        QApplication::processEvents();
    }
};

void BM_ListTenThousandIcons(benchmark::State &state)
{
    ManagerOnFolder m(10000);
    const QByteArray folder = QFile::encodeName(m.dir.path());
    for (auto _ : state) {
        m.manager->lstFile[0]->setPath(folder);
        m.manager->lstFile[0]->repaint(); // shown, not just read
    }
    state.counters["files"] = m.manager->lstFile[0]->count();
}
BENCHMARK(BM_ListTenThousandIcons)->Unit(benchmark::kMillisecond);

void BM_ClickLoadsIcon(benchmark::State &state)
{
    ManagerOnFolder m(3);
    IconFileList *list = m.manager->lstFile[0];
    list->setPath(QFile::encodeName(m.dir.path()));
    list->setCurrentIndex(list->model()->index(1, 0));
    for (auto _ : state)
        m.manager->lstFile_Click(0);
}
BENCHMARK(BM_ClickLoadsIcon)->Unit(benchmark::kMicrosecond);

} // namespace
