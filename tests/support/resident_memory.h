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

// How far this process's peak resident size rose while `work` ran, in KiB:
// memory a call touched and gave back shows here, not in residentKiB(). The
// peak is reset first (through /proc/self/clear_refs); -1 when it cannot be.
template <typename Work> long peakResidentGrowthKiB(Work &&work)
{
    auto peak = []() -> long {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        return -1;
    };
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const long before = peak();
    work();
    const long after = peak();
    return before < 0 || after < 0 ? -1 : after - before;
}
