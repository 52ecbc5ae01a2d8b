#include "editor/frm_geral.h"
#include "shell/qt_platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Tessarel"));
    frmGeral window(makeQtPlatform());
    window.show();
    return app.exec();
}
