#include "platform/process_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList runningProcessNames(const QString &procRoot)
{
    QStringList names;
    const QDir proc(procRoot);
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        bool isPid = false;
        entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        // The program file's name when it can be seen, else the kernel's
        // (possibly shortened) command name; a process gone meanwhile is skipped.
        const QString exe = QFileInfo(proc.filePath(entry + QStringLiteral("/exe"))).symLinkTarget();
        if (!exe.isEmpty()) {
            names << QFileInfo(exe).fileName();
            continue;
        }
        QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly)) {
            const QString name = QString::fromLocal8Bit(comm.read(256)).trimmed();
            if (!name.isEmpty())
                names << name;
        }
    }
    return names;
}
