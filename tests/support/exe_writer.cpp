#include "support/exe_writer.h"

#include "support/le_bytes.h"

#include <algorithm>

namespace {

constexpr quint16 kRtIcon = 3;
constexpr quint16 kRtGroupIcon = 14;

void alignTo(QByteArray &out, qsizetype unit)
{
    while (out.size() % unit)
        out.append('\0');
}

QByteArray zeros(qsizetype n) { return QByteArray(n, '\0'); }

QByteArray dosHeader()
{
    QByteArray out = zeros(0x40);
    out[0] = 'M';
    out[1] = 'Z';
    putLe32(out, 0x3C, 0x40);
    return out;
}

// The group's directory (GRPICONDIR) naming its images by RT_ICON id.
QByteArray groupDirectory(const ExeIconGroup &g, const std::vector<QByteArray> &payloads, quint16 firstId)
{
    QByteArray out;
    appendLe16(out, 0);
    appendLe16(out, 1);
    appendLe16(out, quint16(g.images.size()));
    for (size_t i = 0; i < g.images.size(); ++i) {
        const IcoWriterEntry &e = g.images[i];
        const int w = e.image.width(), h = e.image.height();
        out.append(char(w >= 256 ? 0 : w));
        out.append(char(h >= 256 ? 0 : h));
        out.append(char(!e.png && e.bitCount < 8 ? 1 << e.bitCount : 0));
        out.append('\0');
        appendLe16(out, 1);
        appendLe16(out, quint16(e.png ? 32 : e.bitCount));
        appendLe32(out, quint32(payloads[i].size()));
        appendLe16(out, quint16(firstId + i));
    }
    return out;
}

struct Flattened
{
    std::vector<QByteArray> groupDirs;
    std::vector<QByteArray> icons;
};

Flattened flatten(const std::vector<ExeIconGroup> &groups)
{
    Flattened f;
    for (const ExeIconGroup &g : groups) {
        std::vector<QByteArray> payloads;
        for (const IcoWriterEntry &e : g.images)
            payloads.push_back(icoEntryPayload(e));
        f.groupDirs.push_back(groupDirectory(g, payloads, quint16(f.icons.size() + 1)));
        f.icons.insert(f.icons.end(), payloads.begin(), payloads.end());
    }
    return f;
}

} // namespace

ExeFile writePe(std::vector<ExeIconGroup> groups, bool pe32plus)
{
    // Linkers sort each directory: named entries first by name, then ids.
    std::stable_sort(groups.begin(), groups.end(), [](const ExeIconGroup &a, const ExeIconGroup &b) {
        if (a.name.isEmpty() != b.name.isEmpty())
            return !a.name.isEmpty();
        return a.name.isEmpty() ? a.id < b.id : a.name < b.name;
    });
    const Flattened flat = flatten(groups);
    const qsizetype nGroups = qsizetype(groups.size());
    const qsizetype nIcons = qsizetype(flat.icons.size());

    constexpr quint32 kSectionVa = 0x1000;
    constexpr qsizetype kSectionRaw = 0x200;
    ExeFile file;

    // The .rsrc section, offsets from its start (the root directory).
    const qsizetype iconNames = 16 + 2 * 8;
    const qsizetype groupNames = iconNames + 16 + nIcons * 8;
    const qsizetype languages = groupNames + 16 + nGroups * 8;
    const qsizetype dataEntries = languages + (nIcons + nGroups) * 24;
    const qsizetype strings = dataEntries + (nIcons + nGroups) * 16;

    QByteArray rsrc = zeros(strings);
    auto directory = [&](qsizetype at, int named, int ids) {
        putLe16(rsrc, at + 12, quint16(named));
        putLe16(rsrc, at + 14, quint16(ids));
    };
    directory(0, 0, 2);
    putLe32(rsrc, 16, kRtIcon);
    putLe32(rsrc, 20, 0x80000000u | quint32(iconNames));
    putLe32(rsrc, 24, kRtGroupIcon);
    putLe32(rsrc, 28, 0x80000000u | quint32(groupNames));

    qsizetype named = 0;
    for (const ExeIconGroup &g : groups)
        named += g.name.isEmpty() ? 0 : 1;
    directory(iconNames, 0, int(nIcons));
    directory(groupNames, int(named), int(nGroups - named));

    // Resource k (icons first, then groups) has language directory k and
    // data entry k; its name entry sits in its type's name directory.
    std::vector<qsizetype> nameStrings(size_t(nGroups), -1);
    for (qsizetype k = 0; k < nIcons + nGroups; ++k) {
        const bool isIcon = k < nIcons;
        const qsizetype nameEntry = isIcon ? iconNames + 16 + k * 8 : groupNames + 16 + (k - nIcons) * 8;
        const qsizetype lang = languages + k * 24;
        const qsizetype data = dataEntries + k * 16;
        if (isIcon) {
            putLe32(rsrc, nameEntry, quint32(k + 1));
        } else {
            const ExeIconGroup &g = groups[size_t(k - nIcons)];
            if (g.name.isEmpty()) {
                putLe32(rsrc, nameEntry, g.id);
            } else {
                putLe32(rsrc, nameEntry, 0x80000000u | quint32(rsrc.size()));
                appendLe16(rsrc, quint16(g.name.size()));
                for (QChar c : g.name)
                    appendLe16(rsrc, c.unicode());
            }
        }
        putLe32(rsrc, nameEntry + 4, 0x80000000u | quint32(lang));
        directory(lang, 0, 1);
        putLe32(rsrc, lang + 16, 1033);
        putLe32(rsrc, lang + 20, quint32(data));
        (isIcon ? file.iconEntries : file.groupEntries).push_back(kSectionRaw + nameEntry);
    }
    // Group directories, then images, each 4-aligned.
    std::vector<QByteArray> blobs = flat.groupDirs;
    blobs.insert(blobs.end(), flat.icons.begin(), flat.icons.end());
    for (qsizetype b = 0; b < qsizetype(blobs.size()); ++b) {
        alignTo(rsrc, 4);
        const bool isGroup = b < nGroups;
        const qsizetype k = isGroup ? nIcons + b : b - nGroups; // its data entry
        putLe32(rsrc, dataEntries + k * 16, kSectionVa + quint32(rsrc.size()));
        putLe32(rsrc, dataEntries + k * 16 + 4, quint32(blobs[size_t(b)].size()));
        (isGroup ? file.groupData : file.iconData).push_back(kSectionRaw + rsrc.size());
        rsrc.append(blobs[size_t(b)]);
    }
    const qsizetype rsrcSize = rsrc.size();
    alignTo(rsrc, 0x200);

    QByteArray &out = file.bytes;
    out = dosHeader();
    out.append("PE\0\0", 4);
    const quint16 optionalSize = pe32plus ? 240 : 224;
    appendLe16(out, pe32plus ? 0x8664 : 0x14C);
    appendLe16(out, 1); // sections
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe16(out, optionalSize);
    appendLe16(out, pe32plus ? 0x2022 : 0x2102); // DLL, executable image, 32-bit / large addresses

    file.optionalHeader = out.size();
    QByteArray opt = zeros(optionalSize);
    putLe16(opt, 0, pe32plus ? 0x20B : 0x10B);
    opt[2] = 8;                            // linker version
    putLe32(opt, 8, quint32(rsrc.size())); // initialised data
    if (pe32plus)
        putLe32(opt, 28, 0x1); // image base 0x1'0000'0000
    else
        putLe32(opt, 28, 0x10000000);
    putLe32(opt, 32, 0x1000);                                            // section alignment
    putLe32(opt, 36, 0x200);                                             // file alignment
    putLe16(opt, 40, 4);                                                 // OS version
    putLe16(opt, 48, 4);                                                 // subsystem version
    putLe32(opt, 56, kSectionVa + quint32((rsrcSize + 0xFFF) & ~0xFFF)); // image size
    putLe32(opt, 60, quint32(kSectionRaw));                              // headers size
    putLe16(opt, 68, 2);                                                 // GUI subsystem
    const qsizetype dirs = pe32plus ? 112 : 96;
    putLe32(opt, dirs - 4, 16);             // data directories
    putLe32(opt, dirs + 2 * 8, kSectionVa); // resource table
    putLe32(opt, dirs + 2 * 8 + 4, quint32(rsrcSize));
    out.append(opt);

    file.sectionTable = out.size();
    out.append(".rsrc\0\0\0", 8);
    appendLe32(out, quint32(rsrcSize));
    appendLe32(out, kSectionVa);
    appendLe32(out, quint32(rsrc.size()));
    appendLe32(out, quint32(kSectionRaw));
    out.append(zeros(12));
    appendLe32(out, 0x40000040); // initialised data, readable
    out.append(zeros(kSectionRaw - out.size()));
    out.append(rsrc);

    file.resources = kSectionRaw;
    file.groupType = kSectionRaw + groupNames;
    file.iconType = kSectionRaw + iconNames;
    file.dataEnd = kSectionRaw + rsrcSize;
    return file;
}

ExeFile writeNe(const std::vector<ExeIconGroup> &groups, int alignShift)
{
    const Flattened flat = flatten(groups);
    const qsizetype nGroups = qsizetype(groups.size());
    const qsizetype nIcons = qsizetype(flat.icons.size());
    const qsizetype unit = qsizetype(1) << alignShift;
    constexpr qsizetype kNe = 0x40;
    constexpr qsizetype kTable = kNe + 0x40;

    ExeFile file;
    QByteArray &out = file.bytes;
    out = dosHeader();
    out.append(zeros(0x40));
    out[kNe] = 'N';
    out[kNe + 1] = 'E';
    out[kNe + 2] = 5;                 // linker version
    putLe16(out, kNe + 0x0C, 0x8000); // a library
    putLe16(out, kNe + 0x22, 0x40);   // segment table (empty)
    putLe16(out, kNe + 0x24, 0x40);   // resource table
    out[kNe + 0x36] = 2;              // Windows
    putLe16(out, kNe + 0x3E, 0x030A); // expected Windows 3.10

    // The resource table: shift, RT_ICON block, RT_GROUP_ICON block, end,
    // then the group names.
    appendLe16(out, quint16(alignShift));
    std::vector<qsizetype> entries; // icons first, then groups, as resources
    file.iconType = out.size();
    appendLe16(out, 0x8000 | kRtIcon);
    appendLe16(out, quint16(nIcons));
    appendLe32(out, 0);
    for (qsizetype i = 0; i < nIcons; ++i) {
        entries.push_back(out.size());
        out.append(zeros(4));
        appendLe16(out, 0x1C10); // movable, pure, discardable
        appendLe16(out, quint16(0x8000 | (i + 1)));
        out.append(zeros(4));
    }
    file.groupType = out.size();
    appendLe16(out, 0x8000 | kRtGroupIcon);
    appendLe16(out, quint16(nGroups));
    appendLe32(out, 0);
    for (const ExeIconGroup &g : groups) {
        entries.push_back(out.size());
        out.append(zeros(4));
        appendLe16(out, 0x1C10);
        appendLe16(out, g.name.isEmpty() ? quint16(0x8000 | g.id) : 0); // names patched below
        out.append(zeros(4));
    }
    appendLe16(out, 0);
    for (qsizetype i = 0; i < nGroups; ++i) {
        const QByteArray name = groups[size_t(i)].name.toLatin1();
        if (name.isEmpty())
            continue;
        putLe16(out, entries[size_t(nIcons + i)] + 6, quint16(out.size() - kTable));
        out.append(char(name.size()));
        out.append(name);
    }
    out.append('\0');

    // Resident names (module name, ordinal 0); the other tables are empty.
    putLe16(out, kNe + 0x26, quint16(out.size() - kNe));
    out.append(char(5));
    out.append("ICONS");
    appendLe16(out, 0);
    out.append('\0');
    const qsizetype tail = out.size();
    putLe16(out, kNe + 0x28, quint16(tail - kNe)); // module references
    putLe16(out, kNe + 0x2A, quint16(tail - kNe)); // imported names
    putLe16(out, kNe + 0x04, quint16(tail - kNe)); // entry table
    putLe32(out, kNe + 0x2C, quint32(tail));       // non-resident names
    out.append(zeros(2));

    // The resources, each at a multiple of the alignment unit.
    for (qsizetype k = 0; k < nIcons + nGroups; ++k) {
        const QByteArray &blob = k < nIcons ? flat.icons[size_t(k)] : flat.groupDirs[size_t(k - nIcons)];
        alignTo(out, unit);
        putLe16(out, entries[size_t(k)], quint16(out.size() >> alignShift));
        putLe16(out, entries[size_t(k)] + 2, quint16((blob.size() + unit - 1) >> alignShift));
        (k < nIcons ? file.iconData : file.groupData).push_back(out.size());
        out.append(blob);
        file.dataEnd = out.size();
    }
    alignTo(out, unit);

    file.resources = kTable;
    file.iconEntries.assign(entries.begin(), entries.begin() + nIcons);
    file.groupEntries.assign(entries.begin() + nIcons, entries.end());
    return file;
}
