#include "shell/launcher.h"

#include "platform/message_box.h"
#include "platform/shell_launcher.h"

#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace mdlExecuta {

QString launchErrorText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("Memory Error");
    case 2: return QStringLiteral("File not found");
    case 3: return QStringLiteral("Path not found");
    case 5: return QStringLiteral("Access Denied");
    case 8: return QStringLiteral("Out of Memory");
    case 11: return QStringLiteral("Bad Executeable Format");
    case 26: return QStringLiteral("Sharing violation");
    case 27: return QStringLiteral("Association incomplete");
    case 28: return QStringLiteral("DEE time out");
    case 29: return QStringLiteral("DDE failed");
    case 30: return QStringLiteral("DDE Busy error");
    case 31: return QStringLiteral("No association for this file");
    default: return QStringLiteral("Unknown Error!, Please try again...");
    }
}

void OpenDocument(ShellLauncher &shell, MessageBox &messages, QWidget *owner, const QString &path,
                  const QString &operation)
{
    // The document's folder is the working folder, not the document itself.
    // The answer may come after the owner has gone; the message then has none.
    const QPointer<QWidget> guard(owner);
    shell.ShellExecute(owner, operation, path, QStringLiteral("0"), QFileInfo(path).absolutePath(),
                       [&messages, guard](int result) {
                           if (result <= 32)
                               ReportLaunchError(messages, guard.data(), result);
                       });
}

void ReportLaunchError(MessageBox &messages, QWidget *owner, int code)
{
    messages.show(owner, kApplicationTitle, launchErrorText(code), MessageBox::OkOnly, MessageBox::Critical);
}

} // namespace mdlExecuta
