#pragma once
// The seed files for fuzz/ico_reader_fuzz.cpp: one small valid file per kind
// of entry the reader decodes. ico_reader_test checks that they all read, and
// writes them to disk when TESSAREL_WRITE_ICO_SEEDS names a directory.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

std::vector<std::pair<QString, QByteArray>> icoFuzzSeeds();
