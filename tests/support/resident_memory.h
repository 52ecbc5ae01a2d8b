#pragma once
// This process's resident size in KiB from /proc/self/status; -1 when unreadable.
// Header-only, so the memory probes need no test library linked in.

#include <QByteArray>
#include <QFile>

inline long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
