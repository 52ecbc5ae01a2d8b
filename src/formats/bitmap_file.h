#pragma once
// Writes a picture as a Windows bitmap file, whatever the name's extension,
// whole or not at all: a failed save never leaves a half-written file in place
// of a good one.

#include <QImage>
#include <QString>

// True when the file was written and committed; else `error` says why.
bool saveBitmapFile(const QImage &image, const QString &path, QString *error = nullptr);

// The same for any format Qt writes ("BMP", "PNG"): encoded first, so a picture
// that cannot be encoded never touches the disk, then written whole.
bool saveEncodedFile(const QImage &image, const char *format, const QString &path, QString *error = nullptr);
