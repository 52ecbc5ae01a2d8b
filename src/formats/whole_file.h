#pragma once
// Writes a file whole or not at all: the old file stays untouched unless every
// byte of the new one reached the disk.

#include <QByteArray>
#include <QString>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
