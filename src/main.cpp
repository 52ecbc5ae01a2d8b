#include "editor/frm_geral.h"
#include "shell/app_identity.h"
#include "shell/command_line.h"
#include "shell/qt_platform.h"
#include "shell/wayland_session.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const auto code = answerWithoutDisplay(argc, argv))
        return *code;
    session::PlatformChoice platform;
    QApplication app(argc, argv);
    platform.release();
    applyApplicationIdentity(app);
    const StartArguments start = readStartArguments(app.arguments());
    if (start.exitCode)
        return *start.exitCode;
    frmGeral window(makeQtPlatform());
    window.show();
    if (!start.file.isEmpty())
        window.openFile(start.file);
    return app.exec();
}
