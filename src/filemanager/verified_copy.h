#pragma once
// One file's bytes put whole at a new name or not at all: written under a
// hidden temporary name (locked while it is written, so a cleaner of
// leftovers leaves it alone), read back and compared, given the source's
// mode and time, then renamed into place.

#include "filemanager/byte_paths.h"

#include <QString>

#include <sys/stat.h>

namespace bytepath {

// `in` is the source opened for reading, `s` its status. With `replace` an
// existing target is replaced, else it is kept and the copy fails. False
// with the reason in `error`; no temporary file is left behind.
bool writeVerifiedCopy(int in, const struct stat &s, const Path &source, const Path &target, bool replace,
                       QString &error);

} // namespace bytepath
