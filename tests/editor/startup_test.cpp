// Start-up: the screen arithmetic, the start-up panel and its dismissal.

#include "editor/animated_strip.h"
#include "editor/startup_layout.h"
#include "platform/bevel_panel.h"
#include "platform/label.h"
#include "platform/process_list.h"
#include "platform/twips.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class StartupTest : public QObject
{
    Q_OBJECT

    static bool menusEnabled(frmGeral &w)
    {
        for (QMenu *m : {w.mnuOpen, w.mnuEdit, w.mnuGradeOption, w.mnuColors, w.mnuFerramentas, w.mnuOptions})
            if (!m->menuAction()->isEnabled())
                return false;
        return true;
    }

private slots:
    void windowFitsAScreenOf1024By768()
    {
        const auto l = startup::layout(1024 * 15, 768 * 15, 300);
        QCOMPARE(l.windowWidth, 15260.0);
        QCOMPARE(l.windowHeight, 11420.0);
        QCOMPARE(l.windowLeft, 50.0);
        QCOMPARE(l.windowTop, 400.0);
        // The bar takes 98 % of the client area, centred.
        QCOMPARE(l.pnlBarra.width(), 14954.8);
        QCOMPARE(l.pnlBarra.height(), 10897.6);
        QCOMPARE(l.pnlBarra.left(), 152.6);
        // The start-up panel: 90 % by 88 % of the client area, centred in the bar.
        QCOMPARE(l.pnlMaster2.width(), 13734.0);
        QCOMPARE(l.pnlMaster2.top(), 556.0);
        QCOMPARE(l.logoTop, 556.0);
        QCOMPARE(l.logoLeft, 4234.5);
        QCOMPARE(l.stripLeft, 2817.0);
    }

    void windowStartsOnTheStartUpPanel()
    {
        EditorFixture f;
        frmGeral &w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Vorn Tessarel 2.1.0"));
        QVERIFY(!menusEnabled(w));
        QVERIFY(w.mnuAbout->menuAction()->isEnabled());
        QCOMPARE(w.DrawMode, 0);
        QCOMPARE(w.mnuGrade->text(), QStringLiteral("Without Bars"));
        QCOMPARE(w.Label1->text(), QStringLiteral("Applications in Use:"));
        QCOMPARE(w.tmrLogo->interval(), 1);
        QVERIFY(!w.tmrLogo->isActive());
        // The window was sized from the offscreen platform's 800 x 800 screen:
        // 11,900 twips wide, the start-up panel 90 % of it.
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(800, 800));
        QCOMPARE(w.width(), 793);
        QCOMPARE(w.pnlMaster2->width(), 714);
    }

    void processListNamesRunningPrograms()
    {
        EditorFixture f;
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QStringList shown;
        for (int i = 0; i < f.window->List1->count(); ++i)
            shown << f.window->List1->item(i)->text();
        QVERIFY2(shown.contains(self), qPrintable(shown.join(QLatin1Char(','))));
        QVERIFY(runningProcessNames(QStringLiteral("/no/such/proc")).isEmpty());
        // The caption fits its designed box in the stand-in font.
        QVERIFY(QFontMetricsF(f.window->Label1->font()).horizontalAdvance(f.window->Label1->text())
                <= f.window->Label1->contentsRect().width());
    }

    // A process table as /proc lays it out: listed in process-id order, by the
    // program's file name, kernel threads left out.
    void processListReadsLikeAUserWouldExpect()
    {
        QTemporaryDir proc;
        auto entry = [&](const char *pid, const QString &exe, const QByteArray &cmdline) {
            QDir(proc.path()).mkpath(QString::fromLatin1(pid));
            const QString dir = proc.filePath(QString::fromLatin1(pid));
            if (!exe.isEmpty())
                QFile::link(exe, dir + QStringLiteral("/exe"));
            QFile f(dir + QStringLiteral("/cmdline"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(cmdline);
            QFile comm(dir + QStringLiteral("/comm"));
            QVERIFY(comm.open(QIODevice::WriteOnly));
            comm.write("cut-to-15-chars\n");
        };
        entry("100", QStringLiteral("/usr/bin/a-program-with-a-long-name"), QByteArray("x\0", 2));
        entry("2", QString(), QByteArray()); // a kernel thread: no program, no arguments
        entry("10", QString(), QByteArray("/opt/tool/bin/unreadable-exe-helper") + '\0' + "--flag" + '\0');
        entry("1", QStringLiteral("/sbin/init"), QByteArray("init\0", 5));
        entry("7", QStringLiteral("/usr/bin/editor (deleted)"), QByteArray());
        entry("8", QStringLiteral("/memfd:sealed-1a2b (deleted)"), QByteArray("/usr/sbin/runner\0", 17));
        QDir(proc.path()).mkpath(QStringLiteral("self"));
        QCOMPARE(runningProcessNames(proc.path()),
                 QStringList({QStringLiteral("init"), QStringLiteral("editor"), QStringLiteral("runner"),
                              QStringLiteral("unreadable-exe-helper"), QStringLiteral("a-program-with-a-long-name")}));
    }

    // Until the panel goes, no menu command answers its key (Qt keeps the
    // items of a disabled menu from taking their shortcuts).
    void shortcutsWaitForTheDismissal()
    {
        EditorFixture f;
        frmGeral &w = *f.window;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const ColourValue red = colour::rgb(255, 0, 0);
        w.ikonSurface().pset(4, 4, red);
        w.RightColor->setBackColor(colour::rgb(0, 0, 255));
        auto key = [&w](QKeySequence k) {
            QWidget *focus = QApplication::focusWidget();
            QTest::keySequence(focus ? focus : &w, k);
        };
        for (const QKeySequence &k :
             {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::CTRL | Qt::Key_O),
              QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_P),
              QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_F12)})
            key(k);
        QVERIFY(f.doubles.dialog->shown.empty());
        QCOMPARE(w.ikonSurface().point(4, 4), red);
        QVERIFY(w.sideWindows().existing(QStringLiteral("frmToolBar"))); // Exit would have unloaded it
        QTest::mouseClick(w.lblEnter, Qt::LeftButton);
        QTRY_VERIFY(!w.pnlMaster2->isVisible());
        key(QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(w.ikonSurface().point(4, 4), colour::rgb(0, 0, 255));
    }

    void onlyEnterDismissesThePanel()
    {
        QGuiApplication::clipboard()->clear();
        EditorFixture f;
        frmGeral &w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.pnlMaster2->isVisible());
        QVERIFY(!w.LeftColor->isVisible());
        // A click elsewhere on the logo does nothing.
        QTest::mouseClick(w.picLogo, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::qWait(30);
        QVERIFY(w.pnlMaster2->isVisible());
        QVERIFY(!menusEnabled(w));
        // A bitmap copied before the dismissal makes Paste available right after it.
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(img);
        QTest::mouseClick(w.lblEnter, Qt::LeftButton);
        QTRY_VERIFY(!w.pnlMaster2->isVisible());
        QVERIFY(menusEnabled(w));
        QVERIFY(w.LeftColor->isVisible());
        QVERIFY(w.RightColor->isVisible());
        QVERIFY(!w.picLogo->isVisible());
        QVERIFY(w.mnuColar->isEnabled());
        QVERIFY(w.mnuClear->isVisible());
        QVERIFY(!w.tmrLogo->isActive());
        for (AnimatedStrip *strip : w.gif) {
            QVERIFY(!strip->isRunning());
            QVERIFY(!strip->isVisible());
        }
        // The strip is drawn: its line 51 is pure red.
        QCOMPARE(colour::fromRgb(w.stripSurface().image().pixel(51, 5)), colour::rgb(255, 0, 0));
        QGuiApplication::clipboard()->clear();
    }

    void handCursorOverThePanel()
    {
        EditorFixture f;
        QCOMPARE(f.window->pnlMaster2->cursor().hotSpot(), QPoint(5, 0));
        QCOMPARE(f.window->lblEnter->cursor().hotSpot(), QPoint(5, 0));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
