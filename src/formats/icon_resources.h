#pragma once
// Icons inside executables, libraries and icon libraries: our stand-in for
// extracting an icon by index and drawing it at its natural 32 x 32 size.
//
// Reads PE32 and PE32+ resource directories, 16-bit NE resource tables (.icl
// icon libraries, old .exe/.dll) and plain .ico/.cur files, which hold one
// icon. Works on the whole file in memory; every offset, size and count is
// checked against its length.

#include <QByteArray>
#include <QImage>
#include <optional>
#include <vector>

// Each icon group's image as drawn at 32 x 32, in the order icons are
// numbered by index: PE in resource directory order (named groups, then
// numbered ones), NE in resource table order, an icon file as one icon.
// Every image is 32 x 32 Format_ARGB32; pixels the AND mask makes
// transparent have alpha 0. std::nullopt when the file is none of these
// formats or its first group cannot be read; a later unreadable group ends
// the list there.
std::optional<std::vector<QImage>> readIconLibrary(const QByteArray &file);

// The image over an opaque silver (C0C0C0) box, as the library browser
// shows each icon: transparent pixels become silver, partly transparent ones
// are blended with it. Format_RGB32, same size.
QImage onSilver(const QImage &argb);

// The file's own small icon: the first group's 16 x 16 image (the deepest if
// there are several), else (none, or it cannot be read) its 32 x 32 choice
// scaled down. 16 x 16
// Format_ARGB32; std::nullopt when the file is none of the formats above or
// its first group has neither image readable.
std::optional<QImage> smallIconOf(const QByteArray &file);
