#pragma once
// Writes the editor's picture as an icon (or cursor) file or a PNG, whole or
// not at all. Saving over an existing icon file replaces only the entry Open
// shows, at that entry's size, and keeps every other entry byte for byte, in
// order, so the other sizes of a multi-size icon survive an edit; a cursor
// keeps its hot spot. The sizes the user asks for are added or dropped.

#include "formats/ico_reader.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// The square sizes an icon file can be given beside the picture's own 32 x 32.
inline constexpr std::array<int, 6> kIconSizes = {16, 24, 48, 64, 128, 256};

struct IconSaveOptions
{
    // Pixels of this colour (alpha ignored) are written transparent.
    std::optional<QRgb> transparent;
    // Of kIconSizes, the ones the icon file holds afterwards; nullopt leaves
    // the sizes as the file holds them.
    std::optional<std::vector<int>> sizes;
};

// A readable icon or cursor file as Save finds it.
struct ExistingIcon
{
    QByteArray bytes;
    std::vector<IcoEntry> entries;
    int shown = 0; // the entry Open shows, which Save replaces
};
std::optional<ExistingIcon> readExistingIcon(const QString &path);

// "16 x 16 (8-bit), 32 x 32 (32-bit), 256 x 256 (PNG)": what a file holds, in order.
QString describeIconEntries(const std::vector<IcoEntry> &entries);

// The colour `picture`'s first fully transparent pixel is shown in on
// `shown` (the same picture as the canvas shows it), if it has one.
std::optional<QRgb> transparentShownAs(const QImage &picture, const QImage &shown);

// `picture` as ARGB32 with every pixel of `colour` (alpha ignored) made fully
// transparent; only converted for nullopt.
QImage withTransparent(const QImage &picture, std::optional<QRgb> colour);

// `picture` at size x size: smaller by area averaging (weighted by alpha, so
// transparent pixels lend no colour), larger by repeating pixels (nearest
// neighbour, whole multiples where the sizes allow).
QImage iconSized(const QImage &picture, int size);

// An icon file from `existing` (a readable icon or cursor file; null for a
// new one): its entry `shown` holds `picture` at that entry's own size
// (cropped, or painted over the old entry's top-left corner), keeping its 1-,
// 4- or 8-bit palette when every pixel is in it, else 32-bit (a PNG entry
// stays PNG). `sizes` (nullopt: as held) drops the other entries of the
// kIconSizes it lacks and appends, smallest first, the ones the file lacks;
// 256 is stored as PNG. A new file holds `picture` and `sizes`, smallest
// first. nullopt when the bytes do not hold the entries given or there is no
// entry `shown`.
std::optional<QByteArray> buildIconFile(const ExistingIcon *existing, const QImage &picture,
                                        const std::optional<std::vector<int>> &sizes);

// Saves `image` to `path` as the name asks: ".ico"/".cur" an icon file (over a
// readable icon file at `path`, built from it as above), ".png" a PNG.
// False, with `error` set, when the name asks for neither or the write failed.
bool saveIconOrPng(const QImage &image, const QString &path, const IconSaveOptions &options = {},
                   QString *error = nullptr);
// True when the name's extension is one saveIconOrPng writes.
bool isIconOrPngName(const QString &path);
