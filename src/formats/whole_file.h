#pragma once
// Whole files: written whole or not at all (the old file stays untouched
// unless every byte of the new one reached the disk), and opened for reading
// so that nothing but a plain file is ever read.

#include <QByteArray>
#include <QString>

#include <optional>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Opens a file for reading without waiting on it: a named pipe, a device or a
// socket put where a file was expected would block a plain open() for good, so
// the open does not wait (O_NONBLOCK) and anything but a plain file is then
// refused. The descriptor (close-on-exec, blocking again), or -1 with errno
// set (EINVAL for a file that is not plain).
int openPlainFile(const QByteArray &nativePath);
// The whole of a plain file of at most maxBytes bytes; nothing otherwise.
std::optional<QByteArray> readPlainFile(const QByteArray &nativePath, qint64 maxBytes);
// Its first `bytes` bytes (fewer for a shorter file); nothing when it cannot be read.
std::optional<QByteArray> readPlainFileStart(const QByteArray &nativePath, qint64 bytes);
