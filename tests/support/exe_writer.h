#pragma once
// Builds small executables that carry icon groups: a PE32/PE32+ DLL with one
// .rsrc section, and a 16-bit NE library laid out like an .icl. Valid by
// default; the recorded positions let tests patch single fields to break them.

#include "support/ico_writer.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct ExeIconGroup
{
    QString name;   // a named group (upper case, as resource compilers keep it)
    quint16 id = 0; // the group's number when it has no name
    std::vector<IcoWriterEntry> images;
};

struct ExeFile
{
    QByteArray bytes;
    // PE: the root resource directory. NE: the resource table (its shift).
    qsizetype resources = 0;
    // PE: the name directories of RT_GROUP_ICON and RT_ICON.
    // NE: their type blocks.
    qsizetype groupType = 0, iconType = 0;
    // Per group in file order (PE: sorted as a linker sorts; NE: as given):
    // PE: the name-directory entry; NE: the resource entry.
    std::vector<qsizetype> groupEntries;
    std::vector<qsizetype> groupData; // each group's directory bytes
    // Per image, numbered from RT_ICON id 1 through the groups in file order:
    // PE name-directory entry / NE resource entry, and the image bytes.
    std::vector<qsizetype> iconEntries, iconData;
    qsizetype optionalHeader = 0, sectionTable = 0; // PE only
    qsizetype dataEnd = 0;                          // end of the last resource; padding may follow
};

ExeFile writePe(std::vector<ExeIconGroup> groups, bool pe32plus = false);
ExeFile writeNe(const std::vector<ExeIconGroup> &groups, int alignShift = 4);
