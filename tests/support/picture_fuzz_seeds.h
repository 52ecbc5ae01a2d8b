#pragma once
// The seed files for fuzz/picture_loader_fuzz.cpp: small bitmaps of every
// depth and compression Open decodes, and a GIF, made by the test writers.
// picture_loader_test checks that they open and that the corpus matches.

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

QList<std::pair<QString, QByteArray>> pictureFuzzSeeds();
