#pragma once
// Opening a document or program through the desktop and saying why it did
// not open: one message box per failure, nothing retried.

#include <QString>

class MessageBox;
class ShellLauncher;
class QWidget;

namespace mdlExecuta {

// The message for a failed launch's code.
QString launchErrorText(int code);
// Opens `path` (its default action when `operation` is empty), started in the
// document's own folder; a failure is reported once it is known.
void OpenDocument(ShellLauncher &shell, MessageBox &messages, QWidget *owner, const QString &path,
                  const QString &operation = QString());
void ReportLaunchError(MessageBox &messages, QWidget *owner, int code);

} // namespace mdlExecuta
