#pragma once
// Executable names of the processes running now, one per process (duplicates
// kept). Read from /proc where there is one; empty elsewhere.

#include <QStringList>

QStringList runningProcessNames(const QString &procRoot = QStringLiteral("/proc"));
