#pragma once
// Text stored in the Windows ANSI code page (1252), as metafile strings and
// font names are.

#include <QByteArray>
#include <QString>

namespace ansi {

// Bytes 0x80..0x9F use the code page's own characters; the rest match Latin-1.
// Other code pages a font may name are read the same way.
QString decode(const QByteArray &bytes);

} // namespace ansi
