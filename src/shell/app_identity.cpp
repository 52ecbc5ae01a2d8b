#include "shell/app_identity.h"

#include "shell/project_info.h"

#include <QGuiApplication>
#include <QIcon>

static void initAppIconResource() { Q_INIT_RESOURCE(app_icon); }

QIcon applicationIcon()
{
    initAppIconResource();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/app-icon/%1.png").arg(size), QSize(size, size));
    return icon;
}

void applyApplicationIdentity(QGuiApplication &app)
{
    // The name is also the class part of WM_CLASS, which the desktop entry's
    // StartupWMClass repeats; the per-user files are kept under it too.
    app.setApplicationName(QStringLiteral("Tessarel"));
    app.setApplicationVersion(QString::fromLatin1(projectinfo::kVersion));
    // On Wayland this is the window's app id; on X11 desktops read it as well.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(projectinfo::kAppId));
    QGuiApplication::setWindowIcon(applicationIcon());
}
