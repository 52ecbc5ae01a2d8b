#pragma once
// The programs running now, one entry per process in process-id order
// (duplicates kept), each by its executable's file name. Kernel threads are
// left out. Read from /proc where there is one; empty elsewhere.

#include <QStringList>

QStringList runningProcessNames(const QString &procRoot = QStringLiteral("/proc"));
