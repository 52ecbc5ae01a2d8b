#include "editor/frm_geral.h"
#include "platform/platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Tessarel"));
    frmGeral window(Platform::qt());
    window.show();
    return app.exec();
}
