// Launching through the desktop with real files and a private desktop of the
// test's own: each way a launch can fail maps to its code and message, and
// nothing outside that desktop is ever started.

#include "shell/frm_about.h"
#include "shell/launcher.h"
#include "shell/project_info.h"
#include "shell/qt_shell_launcher.h"
#include "support/editor_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <signal.h>

class LauncherTest : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QtShellLauncher shell;

    QString put(const QString &name, const QByteArray &bytes, bool executable = false)
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return {};
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
        return f.fileName();
    }
    // The launch's result once the desktop has answered, -1 for none.
    int launch(const QString &file)
    {
        auto result = std::make_shared<int>(-1);
        shell.ShellExecute(nullptr, {}, file, QStringLiteral("0"), {}, [result](int r) { *result = r; });
        if (!QTest::qWaitFor([&] { return *result != -1; }, 10000))
            return -1;
        return *result;
    }
    QByteArray marker() const
    {
        QFile f(dir.filePath(QStringLiteral("marker")));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        // A desktop of our own: one program, for plain text and web addresses.
        // The system's folders are out of sight (but for the type database), and
        // nothing names a desktop, so the openers take the plain freedesktop way.
        for (const char *var :
             {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
              "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "BROWSER", "DBUS_SESSION_BUS_ADDRESS"})
            qunsetenv(var);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("system"))));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("system-config"))));
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("DISPLAY", ":0"); // the opener only looks for one to exist
        for (const char *folder : {"data/applications", "config", "system", "system-config"})
            QDir().mkpath(dir.filePath(QString::fromLatin1(folder)));
        QFile::link(QStringLiteral("/usr/share/mime"), dir.filePath(QStringLiteral("system/mime")));
        const QString viewer =
            put(QStringLiteral("viewer.sh"),
                "#!/bin/sh\necho \"$1\" > '" + QFile::encodeName(dir.filePath(QStringLiteral("marker"))) + "'\n", true);
        put(QStringLiteral("data/applications/tessarel-viewer.desktop"),
            "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + QFile::encodeName(viewer)
                + " %u\nMimeType=text/plain;x-scheme-handler/https;\n");
        put(QStringLiteral("config/mimeapps.list"),
            "[Default Applications]\ntext/plain=tessarel-viewer.desktop\n"
            "x-scheme-handler/https=tessarel-viewer.desktop\n");
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-utils is not installed");
    }

    void outcomesMapToTheShellCodes()
    {
        QCOMPARE(launch(dir.filePath(QStringLiteral("absent.exe"))), 2);
        QCOMPARE(launch(dir.filePath(QStringLiteral("no/such/folder/x.exe"))), 3);
        QCOMPARE(launch(put(QStringLiteral("script.sh"), "#!/bin/sh\nexit 0\n")), 5); // not executable
        QCOMPARE(launch(put(QStringLiteral("junk.bin"), QByteArray(64, '\x7f'), true)), 11);
        QCOMPARE(launch(put(QStringLiteral("data.zzz"), QByteArray::fromHex("00ff10e3a5c7000102"))), 31);
        QCOMPARE(launch(QStringLiteral("tessarel-nothing:hello")), 31);
        // A program runs in its own folder and gets the parameter.
        QDir().mkpath(dir.filePath(QStringLiteral("sub")));
        const QString run = put(QStringLiteral("sub/run.sh"), "#!/bin/sh\necho \"$(pwd) $1\" > ../marker\n", true);
        QCOMPARE(launch(run), ShellLauncher::kStarted);
        QTRY_COMPARE(marker(), QFile::encodeName(dir.filePath(QStringLiteral("sub"))) + " 0");
        // A document goes to the program associated with its type.
        const QString text = put(QStringLiteral("notes.txt"), "hello\n");
        QCOMPARE(launch(text), ShellLauncher::kStarted);
        QTRY_COMPARE(marker(), QFile::encodeName(text));
        QFile::remove(dir.filePath(QStringLiteral("marker")));
    }

    void missingSiblingSaysFileNotFound()
    {
        EditorFixture f(std::make_unique<QtShellLauncher>());
        QVERIFY(f.showPastStartup());
        f.window->mnuPellory->trigger();
        QCOMPARE(f.doubles.messages->shown.size(), size_t(1));
        QCOMPARE(f.doubles.messages->shown[0].text, QStringLiteral("File not found"));
        QCOMPARE(f.doubles.messages->shown[0].icon, MessageBox::Critical);
        QCOMPARE(f.doubles.messages->shown[0].title, QStringLiteral("Vorn Tessarel"));
        QCOMPARE(mdlExecuta::launchErrorText(28), QStringLiteral("DEE time out"));
        for (int code : {1, 4, 6, 7, 9, 10, 12, 25, 32})
            QCOMPARE(mdlExecuta::launchErrorText(code), QStringLiteral("Unknown Error!, Please try again..."));
    }

    // The About menu shows each of its three separators (Qt would fold them into one).
    void aboutMenuKeepsItsThreeSeparators()
    {
        EditorFixture f;
        QVERIFY(f.showPastStartup());
        QMenu *about = f.window->mnuAbout;
        about->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QList<QRect> lines;
        for (QAction *a : about->actions())
            if (a->isSeparator())
                lines << about->actionGeometry(a);
        QCOMPARE(lines.size(), 3);
        for (const QRect &line : lines)
            QVERIFY(line.height() > 0);
        QVERIFY(about->actionGeometry(f.window->mnuVersao).top() >= lines.last().bottom());
        about->close();
    }

    void aboutClockTicksAndStopsOnClose()
    {
        EditorFixture f;
        QVERIFY(f.showPastStartup());
        f.window->mnuVersao->trigger();
        auto *about = qobject_cast<frmAbout *>(f.window->sideWindows().existing(QStringLiteral("frmAbout")));
        QVERIFY(about && about->isVisible());
        QVERIFY(about->AniGIF1->movie()->isValid());
        QCOMPARE(about->size(), QSize(348, 373));
        QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
        QTRY_VERIFY_WITH_TIMEOUT(!about->lblHora->text().isEmpty(), 2500);
        const QString first = about->lblHora->text();
        QTRY_VERIFY_WITH_TIMEOUT(about->lblHora->text() != first, 2500);
        // A link gives up always-on-top so the browser can come in front.
        QTest::mouseClick(about->Label4, Qt::LeftButton);
        QVERIFY(!(about->windowFlags() & Qt::WindowStaysOnTopHint));
        QTest::mouseClick(about->Label5, Qt::LeftButton);
        const QString addresses[] = {QString::fromLatin1(projectinfo::kHomepage),
                                     QStringLiteral("mailto:") + QString::fromLatin1(projectinfo::kMail)};
        QCOMPARE(f.doubles.shell->requests.size(), size_t(2));
        for (size_t i = 0; i < 2; ++i) {
            QCOMPARE(f.doubles.shell->requests[i].operation, QStringLiteral("Open"));
            QCOMPARE(f.doubles.shell->requests[i].file, addresses[i]);
        }
        QVERIFY(f.doubles.messages->shown.empty()); // a failed launch says nothing
        about->close();
        QVERIFY(!about->tmrHora->isActive());
    }

    // Asking the desktop for a handler takes xdg-mime most of a second: the
    // window goes on while it is asked. Here the question is held open until
    // the test lets it through.
    void aLinkLeavesTheWindowRunningWhileTheDesktopIsAsked()
    {
        const QString gate = dir.filePath(QStringLiteral("gate")), asked = dir.filePath(QStringLiteral("asked"));
        QDir().mkpath(dir.filePath(QStringLiteral("held")));
        put(QStringLiteral("held/xdg-mime"),
            "#!/bin/sh\necho $$ > '" + QFile::encodeName(asked) + "'\nwhile [ ! -e '" + QFile::encodeName(gate)
                + "' ] && [ -d '" + QFile::encodeName(dir.path()) + "' ]; do sleep 0.05; done\nexec '"
                + QFile::encodeName(QStandardPaths::findExecutable(QStringLiteral("xdg-mime"))) + "' \"$@\"\n",
            true);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("held"))) + ':' + path);
        EditorFixture f(std::make_unique<QtShellLauncher>());
        QVERIFY(f.showPastStartup());
        f.window->mnuVersao->trigger();
        auto *about = qobject_cast<frmAbout *>(f.window->sideWindows().existing(QStringLiteral("frmAbout")));
        QVERIFY(about);
        QTest::mouseClick(about->Label4, Qt::LeftButton);
        qputenv("PATH", path);
        // Back from the click with the question still open.
        const auto askedBy = [&] {
            QFile f(asked);
            return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
        };
        QTRY_VERIFY(askedBy() > 0);
        QVERIFY(::kill(askedBy(), 0) == 0);
        QVERIFY(marker().isEmpty());
        put(QStringLiteral("gate"), "");
        QTRY_COMPARE_WITH_TIMEOUT(marker(), QByteArray(projectinfo::kHomepage), 10000);
        about->close();
    }
};

QTEST_MAIN(LauncherTest)
#include "launcher_test.moc"
