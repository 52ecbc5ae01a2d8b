// Screen capture: the desktop portal path against a stand-in portal process on
// a private bus of our own, and the direct grab on the offscreen screen.

#include "shell/screen_capture.h"
#include "shell/wayland_session.h"
#include "support/test_platform.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kBusName = QStringLiteral("screen-capture-test");
constexpr int kPatientMs = 20000; // long enough that waiting it out would show

// A bus with no service files, so no real portal on the machine can be started
// on it by activation.
const char kBusConfig[] = "<busconfig>\n"
                          "  <type>session</type>\n"
                          "  <listen>unix:dir=%1</listen>\n"
                          "  <policy context=\"default\">\n"
                          "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                          "    <allow eavesdrop=\"true\"/>\n"
                          "    <allow own=\"*\"/>\n"
                          "  </policy>\n"
                          "</busconfig>\n";

QString lineFrom(QProcess &process)
{
    process.waitForStarted(5000);
    QElapsedTimer clock;
    clock.start();
    while (!process.canReadLine() && clock.elapsed() < 5000 && process.state() == QProcess::Running)
        process.waitForReadyRead(100);
    return QString::fromUtf8(process.readLine()).trimmed();
}

} // namespace

class ScreenCaptureTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QProcess daemon_;
    QProcess portal_;
    QString address_;

    void startPortal(QStringList args)
    {
        args.replaceInStrings(QStringLiteral("%DIR%"), dir_->path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        portal_.setProcessEnvironment(env);
        portal_.start(QStringLiteral(FAKE_PORTAL), args);
        QVERIFY2(lineFrom(portal_) == QLatin1String("ready"), portal_.readAllStandardError().constData());
    }

    // Also run before each start: a test that failed half-way leaves no process behind.
    void stopAll()
    {
        QDBusConnection::disconnectFromBus(kBusName);
        for (QProcess *p : {&portal_, &daemon_}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    QImage snap(int timeoutMs, QString *why)
    {
        return mdlVeCor2::snapThroughPortal(QDBusConnection(kBusName), timeoutMs, why);
    }

private slots:
    void init()
    {
        stopAll();
        if (!QByteArray(QTest::currentTestFunction()).startsWith("portal"))
            return;
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed, and the portal path needs a bus of its own");
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        const QString config = dir_->filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QString::fromLatin1(kBusConfig).arg(dir_->path()).toUtf8());
        file.close();
        daemon_.start(
            daemon,
            {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        address_ = lineFrom(daemon_);
        QVERIFY2(!address_.isEmpty(), daemon_.readAllStandardError().constData());
        QVERIFY(QDBusConnection::connectToBus(address_, kBusName).isConnected());
    }

    void cleanup()
    {
        stopAll();
        dir_.reset();
    }

    void portalDeliversTheScreenAndDropsItsFile_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("on the request path we predicted") << QStringList();
        QTest::newRow("on a request path of the portal's choosing") << QStringList{QStringLiteral("own-handle")};
    }
    void portalDeliversTheScreenAndDropsItsFile()
    {
        QFETCH(QStringList, extra);
        startPortal(QStringList{QStringLiteral("ok"), QStringLiteral("%DIR%"), QStringLiteral("7"), QStringLiteral("5"),
                                QStringLiteral("204080")}
                    + extra);
        QString why;
        const QImage shot = snap(kPatientMs, &why);
        QVERIFY2(!shot.isNull(), qPrintable(why));
        QCOMPARE(shot.size(), QSize(7, 5));
        QCOMPARE(shot.format(), QImage::Format_RGB32);
        QCOMPARE(shot.pixel(0, 0), qRgb(0x20, 0x40, 0x80));
        QCOMPARE(shot.pixel(6, 4), qRgb(0x20, 0x40, 0x80));
        QCOMPARE(shot.pixel(1, 0), qRgb(0xdf, 0xbf, 0x7f)); // the marked pixel where the portal put it
        const QStringList left = QDir(dir_->path()).entryList({QStringLiteral("*.png")}, QDir::Files);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u',')));
    }

    // Every way of not getting a picture comes back at once with its own reason.
    void portalWithoutAPictureSaysWhy_data()
    {
        QTest::addColumn<QStringList>("portal"); // empty: no portal on the bus
        QTest::addColumn<QString>("reason");
        QTest::newRow("no portal") << QStringList() << "No screenshot service answered";
        QTest::newRow("cancelled") << QStringList{"cancel"} << "cancelled";
        QTest::newRow("failed") << QStringList{"answer", "2"} << "could not take a picture";
        QTest::newRow("no uri") << QStringList{"answer", "0"} << "did not say where";
        QTest::newRow("uri not text") << QStringList{"garbled-results"} << "did not say where";
        QTest::newRow("web uri") << QStringList{"answer", "0", "https://example.org/shot.png"}
                                 << "not a file on this computer";
        QTest::newRow("missing file") << QStringList{"answer", "0", "file:///nonexistent/shot.png"}
                                      << "could not be read";
        QTest::newRow("not a picture") << QStringList{"answer", "0", "file://%DIR%/notes.png"} << "could not be read";
        QTest::newRow("odd response") << QStringList{"garbled-signal"} << "does not understand";
        QTest::newRow("odd reply") << QStringList{"garbled-reply"} << "does not understand";
    }
    void portalWithoutAPictureSaysWhy()
    {
        QFETCH(QStringList, portal);
        QFETCH(QString, reason);
        QFile notes(dir_->filePath(QStringLiteral("notes.png")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture at all");
        notes.close();
        if (!portal.isEmpty())
            startPortal(portal);
        QElapsedTimer clock;
        clock.start();
        QString why;
        const QImage shot = snap(kPatientMs, &why);
        QVERIFY(shot.isNull());
        QVERIFY2(why.contains(reason), qPrintable(why));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    void portalThatNeverAnswersTimesOut()
    {
        startPortal({QStringLiteral("silent")});
        QElapsedTimer clock;
        clock.start();
        QString why;
        const QImage shot = snap(300, &why);
        const qint64 took = clock.elapsed();
        QVERIFY(shot.isNull());
        QVERIFY2(why.contains(QLatin1String("did not answer within 0.3 seconds")), qPrintable(why));
        QVERIFY2(took >= 250 && took < 5000, qPrintable(QString::number(took)));
    }

    // A Wayland session freezes the desktop through the portal whatever plugin
    // Qt runs on (here offscreen, as it would be xcb under XWayland); anywhere
    // else the screen is read directly.
    void portalFreezesTheDesktopInEveryWaylandSession()
    {
        startPortal({QStringLiteral("ok"), QStringLiteral("%DIR%"), QStringLiteral("7"), QStringLiteral("5"),
                     QStringLiteral("204080")});
        qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "the session bus was reached before this test");
        const struct
        {
            const char *type, *display;
            bool portal;
        } sessions[] = {{"wayland", "", true}, {"", "wayland-1", true}, {"x11", "", false}, {"", "", false}};
        for (const auto &s : sessions) {
            qputenv("XDG_SESSION_TYPE", s.type);
            qputenv("WAYLAND_DISPLAY", s.display);
            QString why;
            const QImage shot = mdlVeCor2::SnapDesktop(&why);
            qunsetenv("XDG_SESSION_TYPE");
            qunsetenv("WAYLAND_DISPLAY");
            QVERIFY2(!shot.isNull(), qPrintable(why));
            QCOMPARE(shot.size() == QSize(7, 5), s.portal);
            if (s.portal) // shown over the whole screen, as a direct grab is
                QCOMPARE(qRound(shot.deviceIndependentSize().width()),
                         QGuiApplication::primaryScreen()->size().width());
        }
    }

    // The editor asks for XWayland only in a Wayland session that has it, and
    // never over the user's own choice.
    void platformInAWaylandSession_data()
    {
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QByteArray>("plugin");
        QTest::newRow("X11") << QStringList{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"} << QByteArray();
        QTest::newRow("session type") << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0"} << QByteArray("xcb");
        QTest::newRow("Wayland display") << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"} << QByteArray("xcb");
        QTest::newRow("no XWayland") << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"}
                                     << QByteArray();
        QTest::newRow("user's plugin") << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0",
                                                      "QT_QPA_PLATFORM=wayland"}
                                       << QByteArray();
    }
    void platformInAWaylandSession()
    {
        QFETCH(QStringList, env);
        QFETCH(QByteArray, plugin);
        QProcessEnvironment e;
        for (const QString &pair : env)
            e.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        QCOMPARE(session::preferredPlatform(e), plugin);
    }

    // The grab the X11 path uses, through the platform service the picker gets.
    void desktopGrabHoldsTheShownWindow()
    {
        const QColor colour(0x12, 0x9a, 0x56);
        QWidget window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, colour);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        window.setGeometry(60, 40, 120, 90);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        TestPlatform test;
        QString why;
        const QImage shot = test.platform->screenGrab->snapDesktop(&why);
        QVERIFY2(!shot.isNull(), qPrintable(why));
        QScreen *screen = QGuiApplication::primaryScreen();
        const qreal ratio = screen->devicePixelRatio();
        QCOMPARE(shot.size(), screen->size() * ratio);
        QCOMPARE(shot.format(), QImage::Format_RGB32);
        const QRect inside = window.geometry().translated(-screen->geometry().topLeft());
        for (const QPoint p : {inside.topLeft(), inside.center(), inside.bottomRight()})
            QCOMPARE(QColor(shot.pixel(p * ratio)), colour);
        const QPoint beside(inside.right() + 20, inside.center().y()); // the desktop, not the window
        QVERIFY(QColor(shot.pixel(beside * ratio)) != colour);
    }

    // Sizes from a caller's arithmetic gone wrong neither overflow nor ask for gigabytes.
    void sillyAreasAreCutToTheDesktopOrRefused()
    {
        QScreen *screen = QGuiApplication::primaryScreen();
        QString why;
        QVERIFY(mdlVeCor2::SnapWindowArea(screen, 0, 0, 0, 0, 10, &why).isNull());
        QVERIFY(!why.isEmpty());
        why.clear();
        QVERIFY(mdlVeCor2::SnapWindowArea(screen, 0, INT_MAX - 5, 0, INT_MAX, INT_MAX, &why).isNull());
        QVERIFY(!why.isEmpty());
        const QImage whole = mdlVeCor2::SnapWindowArea(screen, 0, -500, -500, INT_MAX, INT_MAX, &why);
        QCOMPARE(whole.size(), screen->virtualSize() * screen->devicePixelRatio());
    }
};

QTEST_MAIN(ScreenCaptureTest)
#include "screen_capture_test.moc"
