// The icon file manager: listing a folder of 10,000 icon files, opening it the
// way the window does (one reading for the folder list and the file list),
// restoring a selection of 10,000 rows after an operation, and the click that
// loads one icon into the editor.
#include "editor/frm_geral.h"
#include "filemanager/folder_views.h"
#include "filemanager/frm_copy.h"
#include "shell/qt_platform.h"
#include "support/ico_writer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct ManagerOnFolder
{
    QTemporaryDir dir;
    frmGeral window{makeQtPlatform()};
    frmCopy *manager;
    // `others` subfolders and as many links to icons beside the files: the
    // entries whose kind a listing cannot tell from the folder alone.
    explicit ManagerOnFolder(int files, int others = 0)
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
        for (int i = 0; i < others; ++i) {
            QDir(dir.path()).mkdir(QStringLiteral("folder %1").arg(i));
            QFile::link(dir.filePath(QStringLiteral("icon %1.ico").arg(i, 5, 10, QLatin1Char('0'))),
                        dir.filePath(QStringLiteral("link %1.ico").arg(i)));
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

// A double-click on a folder in the folder list: the folder is read once, for
// both lists, and both are painted; 200 subfolders and 200 links lie among
// the icons. The budget is 20 ms.
void BM_OpenFolderOfTenThousandIcons(benchmark::State &state)
{
    ManagerOnFolder m(10000, 200);
    const QByteArray folder = QFile::encodeName(m.dir.path());
    for (auto _ : state) {
        m.manager->lstDir[0]->setPath(folder);
        m.manager->lstDir_Change(0);
        m.manager->lstDir[0]->repaint();
        m.manager->lstFile[0]->repaint();
    }
    state.counters["files"] = m.manager->lstFile[0]->count();
}
BENCHMARK(BM_OpenFolderOfTenThousandIcons)->Unit(benchmark::kMillisecond);

// After an operation with 10,000 files selected the list selects them again
// (what refresh() does once the folder is read). The budget is 50 ms.
void BM_RestoreSelectionOfTenThousandRows(benchmark::State &state)
{
    ManagerOnFolder m(10000);
    IconFileList *list = m.manager->lstFile[0];
    list->setPath(QFile::encodeName(m.dir.path()));
    list->selectAll();
    // A few rows left out, so the selection is several ranges, as Ctrl+clicks leave it.
    for (int r : {10, 2500, 5000, 9999})
        list->selectionModel()->select(list->model()->index(r, 0), QItemSelectionModel::Deselect);
    const QList<QByteArray> selected = list->selectedNames();
    for (auto _ : state) {
        state.PauseTiming();
        list->clearSelection();
        state.ResumeTiming();
        list->selectNames(selected);
        list->repaint();
    }
    state.counters["selected"] = list->selectedNames().size();
}
BENCHMARK(BM_RestoreSelectionOfTenThousandRows)->Unit(benchmark::kMillisecond);

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
