#pragma once
// Writes the editor's picture as an icon (or cursor) file or a PNG, whole or
// not at all. Saving over an existing icon file replaces only the entry Open
// shows and keeps every other entry byte for byte, in order, so the other
// sizes of a multi-size icon survive an edit; a cursor keeps its hot spot.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

// One ICO entry's image bytes for `image`: a 32-bit BGRA DIB (doubled height)
// followed by its AND mask, whose bit is set where the pixel's alpha is 0.
QByteArray icoEntryImage(const QImage &image);

// `file` (an icon or cursor file) with entry `index` replaced by `image`
// (32-bit); nullopt when `file` is not a readable icon file or has no such entry.
std::optional<QByteArray> replaceIcoEntry(const QByteArray &file, int index, const QImage &image);

// A new icon file holding `image` as its one 32-bit entry.
QByteArray newIcoFile(const QImage &image);

// Saves `image` to `path` as the name asks: ".ico"/".cur" an icon file (over a
// readable icon file at `path`, only the entry Open shows is replaced), ".png"
// a PNG. Pixels of `transparent` (alpha ignored) are written transparent.
// False, with `error` set, when the name asks for neither or the write failed.
bool saveIconOrPng(const QImage &image, const QString &path, std::optional<QRgb> transparent = std::nullopt,
                   QString *error = nullptr);
// True when the name's extension is one saveIconOrPng writes.
bool isIconOrPngName(const QString &path);
