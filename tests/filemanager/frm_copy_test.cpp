// The icon file manager through its own controls: folders opened with a
// double-click, icons selected with clicks, the three buttons, and a click
// that puts an icon in the editor.

#include "filemanager/folder_views.h"
#include "filemanager/frm_copy.h"
#include "platform/label.h"
#include "support/editor_fixture.h"
#include "support/ico_writer.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class FrmCopyTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<QTemporaryDir> tree;
    frmCopy *w = nullptr;

    QByteArray path(const QString &rel) const { return QFile::encodeName(tree->filePath(rel)); }
    static QByteArray icon(QRgb colour)
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(colour);
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
        QCOMPARE(w->BuildSelectedFileList(0), folder + "a.ico" + '\0' + folder + "c.ico" + '\0' + folder + "d.ICO" + '\0');
        QCOMPARE(w->operationFlags(), 576);
        QTest::mouseClick(w->cmdExecute[0], Qt::LeftButton);
        for (const char *name : {"a.ico", "c.ico", "d.ICO"})
            QCOMPARE(read(QStringLiteral("dst/") + QLatin1String(name)), read(QStringLiteral("src/") + QLatin1String(name)));
        QCOMPARE(read(QStringLiteral("dst/b.ico")), QByteArray("<missing>"));
        QCOMPARE(w->lstFile[1]->count(), 3);
        QVERIFY(f->doubles.messages->shown.empty());

        // Move with nothing selected: the message, and nothing moves.
        w->lstFile[0]->clearSelection();
        QTest::mouseClick(w->cmdExecute[1], Qt::LeftButton);
        QCOMPARE(f->doubles.messages->shown.back().text, QStringLiteral("  No  files  selected  for  this  operation  "));
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
        put(QStringLiteral("dst/other.ico"), icon(qRgb(0, 0, 255)));
        w->lstFile[1]->refresh();
        clickFiles(1, {QStringLiteral("c.ico")});
        QCOMPARE(f->window->lblMsg->text(), tree->filePath(QStringLiteral("src/c.ico")));
        QCOMPARE(f->pixel(5, 5), colour::rgb(200, 'c', 10));
        clickFiles(1, {QStringLiteral("other.ico")});
        QCOMPARE(f->pixel(5, 5), colour::rgb(0, 0, 255));
        // Not an icon: the message; the status already names it; the canvas stays.
        clickFiles(0, {QStringLiteral("broken.ico")});
        QCOMPARE(f->doubles.messages->shown.back().text, QStringLiteral("  No  files  selected  for  this  operation  "));
        QCOMPARE(f->window->lblMsg->text(), tree->filePath(QStringLiteral("src/broken.ico")));
        QCOMPARE(f->pixel(5, 5), colour::rgb(0, 0, 255));
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
