#pragma once
// A place in the freedesktop trash for one file or folder: its record,
// Trash/info/<name>.trashinfo, is written first (creating it claims the name
// against other deletes), and Trash/files/<name> is left free for the file.
// The record goes again unless kept, so a file that never arrives leaves no
// record that would put back nothing.

#include "filemanager/byte_paths.h"

#include <QString>

namespace trashcan {

struct Slot
{
    bytepath::Path file;       // Trash/files/<name>, where the file goes
    bytepath::Unlinker record; // its .trashinfo, until kept
    void keep() { record.path.clear(); }
};

// Claims a slot for `source` and writes its record; false with the reason in `error`.
bool claim(const bytepath::Path &source, Slot &slot, QString &error);

} // namespace trashcan
