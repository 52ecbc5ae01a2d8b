// The icon file manager through its own controls: folders opened with a
// double-click, icons selected with clicks, the three buttons, and a click
// that puts an icon in the editor.

#include "filemanager/folder_views.h"
#include "filemanager/frm_copy.h"
#include "platform/label.h"
#include "support/editor_fixture.h"
#include "support/ico_writer.h"
#include "toolwindow/fra_diminui.h"
#include "toolwindow/frm_tool_bar.h"
#include "viewers/frm_info.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Watches a named pipe while the program works: a reader that still waits on
// it after a few seconds is blocked for good, so the watchdog opens the other
// end to set it free, and says it had to.
class PipeWatchdog
{
public:
    explicit PipeWatchdog(const QByteArray &pipe)
        : thread_([this, pipe] {
            using namespace std::chrono;
            auto since = steady_clock::now();
            while (!done_) {
                std::this_thread::sleep_for(milliseconds(20));
                if (steady_clock::now() - since < seconds(3))
                    continue;
                // Succeeds only while someone holds the pipe open for reading.
                const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    freed_ = true;
                    ::close(fd);
                }
                since = steady_clock::now();
            }
        })
    {
    }
    ~PipeWatchdog()
    {
        done_ = true;
        thread_.join();
    }
    bool hadToFreeAReader() const { return freed_; }

private:
    std::atomic<bool> done_{false};
    std::atomic<bool> freed_{false};
    std::thread thread_;
};

} // namespace

class FrmCopyTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<QTemporaryDir> tree;
    frmCopy *w = nullptr;

    QByteArray path(const QString &rel) const { return QFile::encodeName(tree->filePath(rel)); }
    static QByteArray icon(QRgb colour, bool holeAt00 = false)
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(colour);
        if (holeAt00)
            image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        IcoWriterEntry e;
        e.image = image;
        return writeIco({e});
    }
    void put(const QString &rel, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(tree->filePath(rel)).path());
        QFile file(tree->filePath(rel));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray read(const QString &rel) const
    {
        QFile file(tree->filePath(rel));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // Opens a folder in folder list k the way the user does: a double-click on its entry.
    void openFolder(int k, const QByteArray &folder)
    {
        FolderList *list = w->lstDir[size_t(k)];
        list->setPath(folders::parent(folder));
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toByteArray() == folder) {
                const QPoint at = list->visualItemRect(list->item(i)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
                return;
            }
        QFAIL("folder not listed");
    }
    void putBytes(const QByteArray &path, const QByteArray &bytes)
    {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
    }
    // Clicks file entries of list k by name; the first plainly, the rest with Ctrl.
    void clickFiles(int k, const QStringList &names)
    {
        IconFileList *list = w->lstFile[size_t(k)];
        bool first = true;
        for (const QString &name : names) {
            QModelIndex found;
            for (int r = 0; r < list->model()->rowCount(); ++r)
                if (list->model()->index(r, 0).data().toString() == name)
                    found = list->model()->index(r, 0);
            QVERIFY2(found.isValid(), qPrintable(name));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, first ? Qt::NoModifier : Qt::ControlModifier,
                              list->visualRect(found).center());
            first = false;
        }
    }

private slots:
    void init()
    {
        tree = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(tree->filePath(QStringLiteral("data"))));
        f = std::make_unique<EditorFixture>();
        QVERIFY(f->showPastStartup());
        for (const char *name : {"a.ico", "b.ico", "c.ico", "d.ICO"})
            put(QStringLiteral("src/") + QLatin1String(name), icon(qRgb(200, name[0], 10)));
        put(QStringLiteral("src/notes.txt"), "not an icon");
        put(QStringLiteral("src/.hidden.ico"), icon(qRgb(1, 2, 3)));
        put(QStringLiteral("src/broken.ico"), "no icon at all");
        QDir().mkpath(tree->filePath(QStringLiteral("dst")));
        f->window->mnuOpenAs->trigger();
        w = qobject_cast<frmCopy *>(f->window->sideWindows().existing(QStringLiteral("frmCopy")));
        QVERIFY(w && w->isVisible());
        openFolder(0, path(QStringLiteral("src")));
        openFolder(1, path(QStringLiteral("dst")));
    }
    void cleanup()
    {
        f.reset();
        tree.reset();
    }

    void copiesTheSelectedIconsAndShowsBothSides()
    {
        QCOMPARE(w->lstFile[0]->path(), path(QStringLiteral("src")));
        QCOMPARE(w->lstFile[0]->count(), 5); // the icons in any case, no text or hidden file
        QCOMPARE(w->lstDir[0]->item(0)->text(), QStringLiteral("/"));
        clickFiles(0, {QStringLiteral("c.ico"), QStringLiteral("a.ico"), QStringLiteral("d.ICO")});
        const QByteArray folder = path(QStringLiteral("src")) + '/';
        QCOMPARE(w->BuildSelectedFileList(0),
                 folder + "a.ico" + '\0' + folder + "c.ico" + '\0' + folder + "d.ICO" + '\0');
        QCOMPARE(w->operationFlags(), 576);
        QTest::mouseClick(w->cmdExecute[0], Qt::LeftButton);
        for (const char *name : {"a.ico", "c.ico", "d.ICO"})
            QCOMPARE(read(QStringLiteral("dst/") + QLatin1String(name)),
                     read(QStringLiteral("src/") + QLatin1String(name)));
        QCOMPARE(read(QStringLiteral("dst/b.ico")), QByteArray("<missing>"));
        QCOMPARE(w->lstFile[1]->count(), 3);
        QVERIFY(f->doubles.messages->shown.empty());

        // Move with nothing selected: the message, and nothing moves.
        w->lstFile[0]->clearSelection();
        QTest::mouseClick(w->cmdExecute[1], Qt::LeftButton);
        QCOMPARE(f->doubles.messages->shown.back().text,
                 QStringLiteral("  No  files  selected  for  this  operation  "));
        QCOMPARE(QDir(tree->filePath(QStringLiteral("src"))).entryList(QDir::Files | QDir::Hidden).size(), 7);

        // Delete goes to the trash by default.
        clickFiles(0, {QStringLiteral("b.ico")});
        const QByteArray b = read(QStringLiteral("src/b.ico"));
        QTest::mouseClick(w->cmdExecute[2], Qt::LeftButton);
        QCOMPARE(read(QStringLiteral("src/b.ico")), QByteArray("<missing>"));
        QCOMPARE(read(QStringLiteral("data/Trash/files/b.ico")), b);
        QCOMPARE(w->lstFile[0]->count(), 4);
    }

    void clickedIconGoesToTheEditor()
    {
        clickFiles(0, {QStringLiteral("c.ico")});
        QCOMPARE(f->window->lblMsg->text(), tree->filePath(QStringLiteral("src/c.ico")));
        QCOMPARE(f->pixel(5, 5), colour::rgb(200, 'c', 10));
        QCOMPARE(f->gridCell(31, 31), colour::rgb(200, 'c', 10));
        // A destination file named as the selected source file shows the source file.
        put(QStringLiteral("dst/c.ico"), icon(qRgb(0, 0, 0)));
        put(QStringLiteral("dst/other.ico"), icon(qRgb(0, 0, 255), true));
        w->lstFile[1]->refresh();
        clickFiles(1, {QStringLiteral("c.ico")});
        QCOMPARE(f->window->lblMsg->text(), tree->filePath(QStringLiteral("src/c.ico")));
        QCOMPARE(f->pixel(5, 5), colour::rgb(200, 'c', 10));
        const QString saveAs = tree->filePath(QStringLiteral("saved.ico"));
        QCOMPARE(f->offeredTransparentColour(saveAs), std::nullopt);
        clickFiles(1, {QStringLiteral("other.ico")});
        QCOMPARE(f->pixel(5, 5), colour::rgb(0, 0, 255));
        // Its transparent pixel is shown in Ikon's background, which Save then writes transparent.
        QCOMPARE(f->offeredTransparentColour(saveAs), std::optional(colour::toRgb(f->pixel(0, 0)) | 0xFF000000u));
        // Not an icon: the message; the status already names it; the canvas stays.
        clickFiles(0, {QStringLiteral("broken.ico")});
        QCOMPARE(f->doubles.messages->shown.back().text,
                 QStringLiteral("  No  files  selected  for  this  operation  "));
        QCOMPARE(f->window->lblMsg->text(), tree->filePath(QStringLiteral("src/broken.ico")));
        QCOMPARE(f->pixel(5, 5), colour::rgb(0, 0, 255));
    }

    // After an operation the list gets its selection back in one
    // step, not one row at a time (seconds for thousands of rows).
    void selectionOfThousandsComesBackInOneStep()
    {
        for (int i = 0; i < 3000; ++i)
            putBytes(path(QStringLiteral("src")) + "/many " + QByteArray::number(10000 + i) + ".ico", "x");
        IconFileList *list = w->lstFile[0];
        list->refresh();
        QCOMPARE(list->count(), 3005);
        // All but a few scattered rows selected, as a user's Ctrl+A and Ctrl+clicks leave them.
        list->selectAll();
        for (int r : {7, 100, 2999})
            list->selectionModel()->select(list->model()->index(r, 0), QItemSelectionModel::Deselect);
        const QList<QByteArray> selected = list->selectedNames();
        QCOMPARE(selected.size(), 3002);
        QSignalSpy changes(list->selectionModel(), &QItemSelectionModel::selectionChanged);
        list->refresh();
        QCOMPARE(list->selectedNames(), selected);
        QCOMPARE(changes.size(), 1);                  // one step; its speed is a benchmark's business
        QCOMPARE(list->fileName(), selected.first()); // the cursor on the first
    }

    // The folder list and the file list show one reading of the
    // folder: links to icons are icons, links to folders are folders, and what
    // points nowhere or is hidden is not shown.
    void oneReadingFillsBothLists()
    {
        const QByteArray src = path(QStringLiteral("src"));
        QCOMPARE(::symlink("a.ico", (src + "/link.ico").constData()), 0);
        QCOMPARE(::symlink("nowhere.ico", (src + "/dangling.ico").constData()), 0);
        QCOMPARE(::mkdir((src + "/sub.ico").constData(), 0755), 0);
        QCOMPARE(::symlink("sub.ico", (src + "/to-folder").constData()), 0);
        const auto listing = folders::read(src);
        QVERIFY(listing);
        QStringList files, subfolders;
        for (const folders::Entry &e : listing->files)
            files << e.display;
        for (const folders::Entry &e : listing->folders)
            subfolders << e.display;
        QCOMPARE(files, (QStringList{"a.ico", "b.ico", "broken.ico", "c.ico", "d.ICO", "link.ico"}));
        QCOMPARE(subfolders, (QStringList{"sub.ico", "to-folder"}));
        // Opening the folder reads it once for both lists and opens nothing in it.
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        // Closes are watched too: the kernel folds an event into an unread one just like it.
        QVERIFY(watch >= 0 && ::inotify_add_watch(watch, src.constData(), IN_OPEN | IN_CLOSE) >= 0);
        w->lstDir[0]->setPath(src);
        w->lstDir_Change(0);
        QByteArrayList opened;
        alignas(inotify_event) char events[4096];
        for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;)
            for (char *at = events; at < events + n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(at);
                if (e->mask & IN_OPEN)
                    opened << (e->len ? e->name : ".");
                at += sizeof(inotify_event) + e->len;
            }
        ::close(watch);
        QCOMPARE(opened, QByteArrayList{"."});
        QCOMPARE(w->lstFile[0]->count(), 6);
        QCOMPARE(w->lstDir[0]->item(w->lstDir[0]->count() - 1)->data(Qt::UserRole).toByteArray(), src + "/to-folder");
    }

    // A listed icon replaced by a named pipe before it is clicked
    // is refused at once, not waited on; so is the pipe given to Open,
    // Properties and Resize.
    void aPipeInAnIconsPlaceBlocksNothing()
    {
        clickFiles(0, {QStringLiteral("a.ico")});
        const ColourValue before = f->pixel(5, 5);
        const QByteArray pipe = path(QStringLiteral("src/c.ico"));
        QCOMPARE(::unlink(pipe.constData()), 0);
        QCOMPARE(::mkfifo(pipe.constData(), 0644), 0);
        PipeWatchdog watchdog(pipe);

        clickFiles(0, {QStringLiteral("c.ico")});
        QCOMPARE(f->doubles.messages->shown.back().text,
                 QStringLiteral("  No  files  selected  for  this  operation  "));
        QCOMPARE(f->pixel(5, 5), before);
        // Properties of the file the status names.
        QCOMPARE(f->window->currentFile(), pipe);
        f->window->mnuPropriedade->trigger();
        auto *info = qobject_cast<frmInfo *>(f->window->sideWindows().existing(QStringLiteral("frmInfo")));
        QVERIFY(info);
        QApplication::setActiveWindow(f->window.get());
        QApplication::setActiveWindow(info);
        QCOMPARE(info->lblFileName->title(), QStringLiteral("Select a bitmap or RLE file to detail..."));
        // Resize reads the dialog's file, not the file manager's, and goes on as usual.
        f->window->mnuReduzir->trigger();
        fraDiminui *panel = f->window->toolBar()->reduceFrame();
        QTest::mouseClick(panel->cmdDiminuir, Qt::LeftButton);
        QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Transfer"));
        // Open, with the dialog naming the pipe.
        f->doubles.dialog->queueFile(QFile::decodeName(pipe));
        f->window->mnuOpenSimples_Click();
        QCOMPARE(f->pixel(5, 5), before);
        QVERIFY(!watchdog.hadToFreeAReader());
    }

    // A name that is not UTF-8 is shown as text, but the editor
    // keeps its bytes, so Properties reads the very file.
    void propertiesReadAFileWhoseNameIsNotText()
    {
        const QByteArray odd = path(QStringLiteral("src")) + "/caf\xe9.ico";
        QImage art(16, 16, QImage::Format_ARGB32);
        art.fill(qRgb(0, 150, 0));
        IcoWriterEntry entry;
        entry.image = art;
        putBytes(odd, writeIco({entry}));
        w->lstFile[0]->refresh();
        clickFiles(0, {QStringLiteral("caf\uFFFD.ico")});
        QCOMPARE(f->window->lblMsg->text(), QFile::decodeName(odd));
        QCOMPARE(f->window->currentFile(), odd);
        QCOMPARE(f->pixel(1, 1), colour::rgb(0, 150, 0));

        f->window->mnuPropriedade->trigger();
        auto *info = qobject_cast<frmInfo *>(f->window->sideWindows().existing(QStringLiteral("frmInfo")));
        QVERIFY(info);
        QApplication::setActiveWindow(f->window.get());
        QApplication::setActiveWindow(info);
        QCOMPARE(info->lblFileName->title(), QFile::decodeName(odd));
        QVERIFY(!info->Image1->pixmap().isNull());

        // Resize takes the file the Open/Save dialog last named, whatever the
        // file manager chose since.
        QCOMPARE(f->window->resizeFile(), QByteArray());
        // A file named as text afterwards (Open's name) is the current file.
        f->window->lblMsg->setCaption(tree->filePath(QStringLiteral("src/a.ico")));
        QCOMPARE(f->window->currentFile(), path(QStringLiteral("src/a.ico")));
        f->window->platform().commonDialog->FileName = tree->filePath(QStringLiteral("src/b.ico"));
        QCOMPARE(f->window->resizeFile(), path(QStringLiteral("src/b.ico")));
    }

    // Only a click or key that leaves a file selected loads it;
    // a Ctrl+click that deselects, or a key in an empty list, says nothing.
    void onlyAChosenFileLoads()
    {
        clickFiles(0, {QStringLiteral("a.ico"), QStringLiteral("c.ico")});
        QCOMPARE(f->pixel(5, 5), colour::rgb(200, 'c', 10));
        clickFiles(0, {QStringLiteral("b.ico"), QStringLiteral("b.ico")}); // the second Ctrl+click deselects it
        QVERIFY(w->lstFile[0]->selectedNames().isEmpty());
        QCOMPARE(f->pixel(5, 5), colour::rgb(200, 'b', 10));
        QVERIFY(f->doubles.messages->shown.empty());
        // The destination list is empty: the keys choose nothing.
        IconFileList *empty = w->lstFile[1];
        QCOMPARE(empty->count(), 0);
        empty->setFocus();
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_PageDown})
            QTest::keyClick(empty, key);
        QVERIFY(f->doubles.messages->shown.empty());
        // In the source list a key still loads the file it moves to.
        w->lstFile[0]->setFocus();
        QTest::keyClick(w->lstFile[0], Qt::Key_Home);
        QCOMPARE(f->pixel(5, 5), colour::rgb(200, 'a', 10));
        QVERIFY(f->doubles.messages->shown.empty());
    }

    void vanishedFolderTakesTheFailurePath()
    {
        QDir().mkpath(tree->filePath(QStringLiteral("src/gone")));
        w->lstDir[0]->refresh();
        FolderList *list = w->lstDir[0];
        QDir(tree->filePath(QStringLiteral("src/gone"))).removeRecursively();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toByteArray() == path(QStringLiteral("src/gone"))) {
                const QPoint at = list->visualItemRect(list->item(i)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            }
        QCOMPARE(f->doubles.messages->shown.size(), size_t(1));
        QCOMPARE(w->lstFile[0]->path(), path(QStringLiteral("src"))); // the file list stays where it was
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    }
};

QTEST_MAIN(FrmCopyTest)
#include "frm_copy_test.moc"
