// The running program names itself as its packaged desktop entry does, so a
// dock finds the launcher for the window: desktop file name (the Wayland app
// id), window class and icon.

#include "shell/app_identity.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QSettings>
#include <QtTest>

class AppIdentityTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesThePackagedDesktopEntry()
    {
        applyApplicationIdentity(*qApp);
        const QDir packaging(qEnvironmentVariable("TESSAREL_SOURCE_DIR") + QStringLiteral("/packaging"));
        const QStringList entries = packaging.entryList({QStringLiteral("*.desktop")});
        QCOMPARE(entries, QStringList{QGuiApplication::desktopFileName() + QStringLiteral(".desktop")});
        QSettings entry(packaging.filePath(entries.first()), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        // Qt's window class on X11 is the application name.
        QCOMPARE(entry.value(QStringLiteral("StartupWMClass")).toString(), QCoreApplication::applicationName());
        QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), QGuiApplication::desktopFileName());
        // Every packaged size is in the window icon, none blank.
        const QIcon icon = QGuiApplication::windowIcon();
        for (int size : {16, 32, 48, 64, 128, 256}) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
            const QImage image = icon.pixmap(size).toImage();
            QVERIFY(image.pixelColor(size / 2, size / 2).alpha() > 0);
        }
    }
};

QTEST_MAIN(AppIdentityTest)
#include "app_identity_test.moc"
