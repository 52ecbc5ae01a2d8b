#pragma once
// Writes a GIF87a file of one frame for tests. The LZW stream sends a clear
// code before the code table would grow, so every code keeps the initial
// width: simple to write, valid for any decoder.

#include <QByteArray>
#include <QImage>

// The image's colours must fit a 256-entry palette (at most 256 distinct colours).
// Without `trailer` the file ends right after the image data, as some old
// writers left it.
QByteArray writeGif(const QImage &image, bool trailer = true);
