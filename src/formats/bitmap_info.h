#pragma once
// The main fields of a Windows bitmap's headers, read from the first 54 bytes
// of any file: the 14-byte file header and the 40-byte info header at their
// fixed offsets. Nothing is checked, so an icon or any other file decodes with
// the same layout; bytes a short file does not have read as zero.

#include "formats/dib_decoder.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QLocale;

using BitmapInfoFields = dib::InfoFields;

// Decodes the fields from the file's first bytes (only the first 54 are used).
BitmapInfoFields decodeBitmapInfo(const QByteArray &head);
// Reads at most 54 bytes of the file; nothing when it cannot be opened.
bool readBitmapInfo(const QString &path, BitmapInfoFields *out);
// The same for a path as the file system's own bytes; only a plain file is read.
bool readBitmapInfoAt(const QByteArray &nativePath, BitmapInfoFields *out);

// The six texts the properties window shows, in the order width, height,
// image size, planes, bits per pixel, compression.
struct BitmapInfoTexts
{
    QString values[6];
};
BitmapInfoTexts describeBitmapInfo(const BitmapInfoFields &f, const QLocale &locale);
