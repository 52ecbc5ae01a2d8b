#include "shell/qt_shell_launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace {

// "https://…", "mailto:…": a scheme of two or more letters (one letter would be a drive).
bool isAddress(const QString &file)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return !file.startsWith(QLatin1Char('/')) && scheme.match(file).hasMatch();
}

// Whether the desktop names a program for this type; an unknown answer counts
// as yes, and the opener decides.
bool hasHandler(const QStringList &types)
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true;
    for (const QString &type : types) {
        QProcess p;
        p.start(query, {QStringLiteral("query"), QStringLiteral("default"), type});
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished();
            return true;
        }
        if (!p.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
}

bool isProgramType(const QMimeType &type)
{
    for (const char *program : {"application/x-executable", "application/x-sharedlib", "application/x-pie-executable",
                                "application/x-shellscript", "text/x-shellscript", "application/x-ms-dos-executable",
                                "application/x-msdownload", "application/x-msi"})
        if (type.inherits(QString::fromLatin1(program)))
            return true;
    return false;
}

int openWithDesktop(const QUrl &url, const QStringList &types)
{
    if (!hasHandler(types))
        return ShellLauncher::kNoAssociation;
    // xdg-open finds the desktop's own opener; Qt's route is the fallback
    // where it is missing.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    const bool started = opener.isEmpty()
        ? QDesktopServices::openUrl(url)
        : QProcess::startDetached(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    return started ? ShellLauncher::kStarted : ShellLauncher::kUnknown;
}

} // namespace

int QtShellLauncher::ShellExecute(QWidget *, const QString &, const QString &file, const QString &parameters,
                                  const QString &folder)
{
    if (file.isEmpty())
        return kFileNotFound;
    if (isAddress(file)) {
        const QUrl url(file);
        if (!url.isValid())
            return kFileNotFound;
        return openWithDesktop(url, {QStringLiteral("x-scheme-handler/") + url.scheme().toLower()});
    }
    const QFileInfo info(file);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? kFileNotFound : kPathNotFound;
    if (!info.isReadable())
        return kAccessDenied;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    if (info.isFile() && (info.isExecutable() || isProgramType(type))) {
        // A program: started on its own, or refused when it may not be run.
        if (!info.isExecutable())
            return kAccessDenied;
        const QString workIn = folder.isEmpty() ? info.absolutePath() : folder;
        const QStringList args = parameters.isEmpty() ? QStringList() : QProcess::splitCommand(parameters);
        return QProcess::startDetached(info.absoluteFilePath(), args, workIn) ? kStarted : kBadFormat;
    }
    QStringList types{type.name()};
    types += type.allAncestors();
    return openWithDesktop(QUrl::fromLocalFile(info.absoluteFilePath()), types);
}
