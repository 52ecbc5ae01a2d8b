#pragma once
// Writes a picture as a Windows bitmap file, whatever the name's extension,
// whole or not at all: a failed save never leaves a half-written file in place
// of a good one.

#include <QImage>
#include <QString>

// True when the file was written and committed; else `error` says why.
bool saveBitmapFile(const QImage &image, const QString &path, QString *error = nullptr);
