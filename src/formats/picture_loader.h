#pragma once
// Loads a picture file the way Open does, by what its bytes are, whatever its
// name: icons and cursors through our own reader (it honours the AND mask),
// metafiles through our own renderer, bitmaps (BMP, DIB, RLE) through our DIB
// decoder, GIF (first frame) and PNG through Qt. Anything else, or a broken
// file, is not a picture.

#include <QImage>
#include <QString>
#include <optional>

// ARGB32 at the picture's natural size; alpha 0 where the picture is
// transparent. std::nullopt when the file cannot be read as a picture.
std::optional<QImage> loadPicture(const QString &path);
// The same for a path given as the file system's own bytes, which need not be
// valid text (a name listed from a folder is passed on unchanged).
std::optional<QImage> loadPictureAt(const QByteArray &nativePath);
std::optional<QImage> decodePicture(const QByteArray &data);
