#pragma once
// Our own Windows Metafile (.wmf) renderer, used to import clip art as icons.

#include <QByteArray>
#include <QImage>
#include <optional>

// Renders a .wmf (placeable or plain) at its natural size at 96 dpi onto a transparent ARGB32 image
// (pixels the metafile does not draw keep alpha 0). std::nullopt when the data is not a metafile
// (bad header) or its natural size is empty or absurd (cap each side at 4096 px).
//
// Natural size: a placeable file's bounding box scaled by 96 / its units per inch, with the box
// mapped onto the image; a plain file's first SETWINDOWEXT, one logical unit per pixel.
// Playback ends at the EOF record, or at a record whose length is under three words or runs past
// the data (later records cannot be located); what was drawn until then is returned. A record too
// short for its own parameters, or naming a missing object, is skipped. A file that reaches a work
// cap (records played, polygon points, painted pixels) or holds more than 64 MiB of pattern-brush
// bitmaps in its object table at once is refused with std::nullopt rather than shown half drawn.
// Text is drawn only while a QGuiApplication exists (fonts need one).
std::optional<QImage> renderWmf(const QByteArray &data);
