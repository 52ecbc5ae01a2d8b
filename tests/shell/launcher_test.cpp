// Launching through the desktop with real files and a private set of desktop
// associations: each way a launch can fail maps to its code and message.

#include "shell/frm_about.h"
#include "shell/launcher.h"
#include "shell/qt_shell_launcher.h"
#include "support/editor_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

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
    int launch(const QString &file) { return shell.ShellExecute(nullptr, {}, file, QStringLiteral("0"), {}); }
    QByteArray marker() const
    {
        QFile f(dir.filePath(QStringLiteral("marker")));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        // A desktop of our own: one program, associated with plain text only.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("DISPLAY", ":0"); // the opener only looks for one to exist
        QDir().mkpath(dir.filePath(QStringLiteral("data/applications")));
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
        const QString viewer =
            put(QStringLiteral("viewer.sh"),
                "#!/bin/sh\necho \"$1\" > '" + QFile::encodeName(dir.filePath(QStringLiteral("marker"))) + "'\n", true);
        put(QStringLiteral("data/applications/tessarel-viewer.desktop"),
            "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + QFile::encodeName(viewer)
                + " %f\nMimeType=text/plain;\n");
        put(QStringLiteral("config/mimeapps.list"), "[Default Applications]\ntext/plain=tessarel-viewer.desktop\n");
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
    }

    void missingSiblingSaysFileNotFound()
    {
        EditorFixture f;
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
        QCOMPARE(about->size(), QSize(348, 373));
        QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
        QTRY_VERIFY_WITH_TIMEOUT(!about->lblHora->text().isEmpty(), 2500);
        const QString first = about->lblHora->text();
        QTRY_VERIFY_WITH_TIMEOUT(about->lblHora->text() != first, 2500);
        // A link gives up always-on-top so the browser can come in front.
        QTest::mouseClick(about->Label4, Qt::LeftButton);
        QVERIFY(!(about->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(f.doubles.messages->shown.empty()); // a failed launch says nothing
        about->close();
        QVERIFY(!about->tmrHora->isActive());
    }
};

QTEST_MAIN(LauncherTest)
#include "launcher_test.moc"
