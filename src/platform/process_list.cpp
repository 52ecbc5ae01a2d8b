#include "platform/process_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The program a process runs, by its file name: the executable link where we
// may read it, else the first word of the command line. Kernel threads have
// neither and yield nothing. The kernel's short command name is never used:
// it is cut to 15 characters.
QString programName(const QDir &proc, const QString &pid)
{
    QString exe = QFileInfo(proc.filePath(pid + QStringLiteral("/exe"))).symLinkTarget();
    const QLatin1String deleted(" (deleted)"); // the program file was replaced while running
    if (exe.endsWith(deleted))
        exe.chop(deleted.size());
    exe = QFileInfo(exe).fileName();
    // A program run from an anonymous memory file has no name of its own there.
    if (!exe.isEmpty() && !exe.startsWith(QLatin1String("memfd:")))
        return exe;
    QFile cmdline(proc.filePath(pid + QStringLiteral("/cmdline")));
    if (!cmdline.open(QIODevice::ReadOnly))
        return {};
    const QByteArray args = cmdline.read(4096);
    // Arguments are NUL-separated; some programs rewrite theirs as one line.
    QByteArray first = args.left(args.indexOf('\0') < 0 ? args.size() : args.indexOf('\0'));
    first = first.left(first.indexOf(' ') < 0 ? first.size() : first.indexOf(' '));
    if (first.isEmpty())
        return {};
    return QFileInfo(QString::fromLocal8Bit(first)).fileName();
}

} // namespace

QStringList runningProcessNames(const QString &procRoot)
{
    const QDir proc(procRoot);
    std::vector<std::pair<qint64, QString>> pids;
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (isPid)
            pids.emplace_back(pid, entry);
    }
    std::sort(pids.begin(), pids.end());
    QStringList names;
    for (const auto &[pid, entry] : pids) {
        const QString name = programName(proc, entry); // empty: a kernel thread, or gone meanwhile
        if (!name.isEmpty())
            names << name;
    }
    return names;
}
