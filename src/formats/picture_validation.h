#pragma once
// Structural checks for the pictures read by outside decoders or rendered
// record by record, so that a damaged file is refused as a whole instead of
// being shown half-read: Qt's GIF reader shows a picture for screens or
// images of no size and for code sizes the format does not have, and a
// metafile cut short would otherwise show whatever came before the cut.
// Bitmaps need none: our DIB decoder checks their structure itself.

#include <QByteArray>

// A GIF whose logical screen and every image in it have a size (images lying
// inside the screen, at most maxSide a side), whose colour tables fit, whose
// LZW code size is one the format allows, whose blocks and data streams all
// end inside the data, each image's stream long enough to hold its pixels,
// and which reaches its trailer or ends right after a whole block (some old
// writers leave the trailer out).
bool isWholeGif(const QByteArray &data, int maxSide);
// A metafile whose record chain stays inside the data and reaches its end record.
bool isWholeMetafile(const QByteArray &data);
