#pragma once
// This process's resident size in KiB from /proc/self/status; -1 when unreadable.
// Header-only, so the memory probes need no test library linked in.

#include <QByteArray>
#include <QFile>

// One "Name:  N kB" field of /proc/self/status, in KiB; -1 when unreadable.
inline long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

inline long residentKiB() { return statusKiB("VmRSS"); }

// How far this process's peak resident size rose while `work` ran, in KiB:
// memory a call touched and gave back shows here, not in residentKiB(). The
// peak is reset first (through /proc/self/clear_refs); -1 when it cannot be.
template <typename Work> long peakResidentGrowthKiB(Work &&work)
{
    const auto peak = [] { return statusKiB("VmHWM"); };
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const long before = peak();
    work();
    const long after = peak();
    return before < 0 || after < 0 ? -1 : after - before;
}
