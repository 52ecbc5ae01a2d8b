#include "formats/executable_resources.h"

namespace iconres {

namespace {

constexpr quint16 kRtIcon = 3;
constexpr quint16 kRtGroupIcon = 14;
constexpr quint16 kNeTypeIsId = 0x8000;
// The 96-section limit of the platform's loader; also keeps RVA lookups cheap.
constexpr int kMaxSections = 96;
// Beyond this a 16-bit offset shifted into a file position is nonsense.
constexpr int kMaxNeShift = 24;

// ---- PE ------------------------------------------------------------------

struct Section
{
    quint32 va = 0, rawSize = 0, rawOffset = 0;
};

class PeResources
{
public:
    PeResources(ByteView file, std::vector<Section> sections, quint32 root)
        : m_file(file)
        , m_sections(std::move(sections))
        , m_root(root)
    {
    }

    // The file range behind an RVA range, if one section's raw data holds it
    // whole. Data past a section's raw size exists only in memory.
    std::optional<qint64> map(qint64 rva, qint64 length) const
    {
        for (const Section &s : m_sections) {
            const qint64 into = rva - s.va;
            if (into < 0 || into >= s.rawSize || length > s.rawSize - into)
                continue;
            const qint64 offset = qint64(s.rawOffset) + into;
            if (m_file.has(offset, length))
                return offset;
            return std::nullopt;
        }
        return std::nullopt;
    }

    struct Directory
    {
        qint64 entries = 0; // file offset of the first entry
        int named = 0, count = 0;
    };

    // A directory at an offset from the resource root, with all its entries.
    std::optional<Directory> directory(quint32 offset) const
    {
        const auto header = map(qint64(m_root) + offset, 16);
        if (!header)
            return std::nullopt;
        Directory d;
        d.named = m_file.u16(*header + 12);
        d.count = d.named + m_file.u16(*header + 14);
        const auto entries = map(qint64(m_root) + offset + 16, qint64(d.count) * 8);
        if (!entries)
            return std::nullopt;
        d.entries = *entries;
        return d;
    }

    quint32 entryName(const Directory &d, int i) const { return m_file.u32(d.entries + i * 8); }
    quint32 entryTarget(const Directory &d, int i) const { return m_file.u32(d.entries + i * 8 + 4); }

    // Below a name, the language level: its first entry must be data.
    // Resources come in one language in practice; the first is the one the
    // platform falls back to.
    std::optional<Span> firstLanguage(quint32 target) const
    {
        if (!(target & 0x80000000u))
            return std::nullopt;
        const auto languages = directory(target & 0x7FFFFFFFu);
        if (!languages || languages->count == 0)
            return std::nullopt;
        const quint32 leaf = entryTarget(*languages, 0);
        if (leaf & 0x80000000u)
            return std::nullopt;
        const auto entry = map(qint64(m_root) + leaf, 16);
        if (!entry)
            return std::nullopt;
        const quint32 rva = m_file.u32(*entry);
        const quint32 size = m_file.u32(*entry + 4);
        const auto data = map(rva, size);
        if (!data)
            return std::nullopt;
        return Span{*data, size};
    }

private:
    ByteView m_file;
    std::vector<Section> m_sections;
    quint32 m_root;
};

std::optional<Library> indexPe(ByteView f, qint64 pe)
{
    const qint64 coff = pe + 4;
    if (!f.has(coff, 20))
        return std::nullopt;
    const int sectionCount = f.u16(coff + 2);
    const int optionalSize = f.u16(coff + 16);
    const qint64 opt = coff + 20;
    if (sectionCount > kMaxSections || optionalSize < 2 || !f.has(opt, optionalSize))
        return std::nullopt;

    qint64 countAt = 0;
    switch (f.u16(opt)) {
    case 0x10B: countAt = 92; break;  // PE32
    case 0x20B: countAt = 108; break; // PE32+
    default: return std::nullopt;
    }
    // The resource table is the third data directory.
    const qint64 resourceEntry = countAt + 4 + 2 * 8;
    if (optionalSize < resourceEntry + 8 || f.u32(opt + countAt) < 3)
        return std::nullopt;
    const quint32 root = f.u32(opt + resourceEntry);
    if (root == 0)
        return std::nullopt;

    const qint64 table = opt + optionalSize;
    if (!f.has(table, qint64(sectionCount) * 40))
        return std::nullopt;
    std::vector<Section> sections(static_cast<size_t>(sectionCount), Section{});
    for (int i = 0; i < sectionCount; ++i) {
        const qint64 s = table + qint64(i) * 40;
        sections[size_t(i)] = {f.u32(s + 12), f.u32(s + 16), f.u32(s + 20)};
    }
    const PeResources res(f, std::move(sections), root);

    const auto types = res.directory(0);
    if (!types)
        return std::nullopt;
    Library lib;
    bool groupsSeen = false;
    for (int t = 0; t < types->count; ++t) {
        const quint32 type = res.entryName(*types, t);
        const quint32 target = res.entryTarget(*types, t);
        if ((type != kRtIcon && type != kRtGroupIcon) || !(target & 0x80000000u))
            continue;
        const auto names = res.directory(target & 0x7FFFFFFFu);
        if (!names)
            continue;
        if (type == kRtGroupIcon) {
            // Only the first group table counts; a second one is a corrupt
            // duplicate, not more icons.
            if (groupsSeen)
                continue;
            groupsSeen = true;
            for (int i = 0; i < names->count && int(lib.groups.size()) < kMaxIcons; ++i) {
                const auto data = res.firstLanguage(res.entryTarget(*names, i));
                if (!data)
                    break; // the list ends at the first group that cannot be read
                lib.groups.push_back(*data);
            }
        } else {
            // Icons are named by number; a named one cannot be referred to.
            for (int i = names->named; i < names->count; ++i) {
                const quint32 id = res.entryName(*names, i);
                if (id > 0xFFFF)
                    continue;
                if (const auto data = res.firstLanguage(res.entryTarget(*names, i)))
                    lib.icons.emplace_back(quint16(id), *data);
            }
        }
    }
    lib.sortIcons();
    return lib;
}

// ---- NE ------------------------------------------------------------------

std::optional<Library> indexNe(ByteView f, qint64 ne)
{
    if (!f.has(ne, 0x28))
        return std::nullopt;
    const qint64 table = ne + f.u16(ne + 0x24);
    // The resident-name table follows the resource table; equal offsets mean
    // the module has no resources.
    if (f.u16(ne + 0x24) == f.u16(ne + 0x26) || !f.has(table, 2))
        return std::nullopt;
    const int shift = f.u16(table);
    if (shift > kMaxNeShift)
        return std::nullopt;
    const qint64 unit = qint64(1) << shift;

    // Offsets and lengths count alignment units, so the last resource may
    // run up to one unit past the end of the file without losing data.
    auto span = [&](qint64 entry) -> std::optional<Span> {
        const qint64 offset = qint64(f.u16(entry)) << shift;
        qint64 size = qint64(f.u16(entry + 2)) << shift;
        if (!f.has(offset, 0) || size == 0)
            return std::nullopt;
        const qint64 over = offset + size - f.size();
        if (over >= unit)
            return std::nullopt;
        if (over > 0)
            size -= over;
        return Span{offset, size};
    };

    Library lib;
    bool groupsSeen = false;
    bool groupsEnded = false;
    qint64 at = table + 2;
    // Each type block moves on by at least 8 bytes, so the walk ends at the
    // terminator or at the end of the file.
    while (f.has(at, 2) && f.u16(at) != 0) {
        if (!f.has(at, 8))
            break;
        const quint16 type = f.u16(at);
        const int count = f.u16(at + 2);
        const qint64 entries = at + 8;
        if (!f.has(entries, qint64(count) * 12))
            break;
        if (type == (kNeTypeIsId | kRtGroupIcon) && !groupsSeen) {
            groupsSeen = true;
            for (int i = 0; i < count && !groupsEnded && int(lib.groups.size()) < kMaxIcons; ++i) {
                const auto s = span(entries + qint64(i) * 12);
                if (s)
                    lib.groups.push_back(*s);
                else
                    groupsEnded = true;
            }
        } else if (type == (kNeTypeIsId | kRtIcon)) {
            for (int i = 0; i < count; ++i) {
                const qint64 e = entries + qint64(i) * 12;
                const quint16 id = f.u16(e + 6);
                if (!(id & kNeTypeIsId))
                    continue;
                if (const auto s = span(e))
                    lib.icons.emplace_back(quint16(id & 0x7FFF), *s);
            }
        }
        at = entries + qint64(count) * 12;
    }
    lib.sortIcons();
    return lib;
}

} // namespace

std::optional<Library> indexExecutable(ByteView f)
{
    if (!f.has(0, 0x40) || f.u8(0) != 'M' || f.u8(1) != 'Z')
        return std::nullopt;
    const qint64 header = f.u32(0x3C);
    if (!f.has(header, 4))
        return std::nullopt;
    if (f.u8(header) == 'P' && f.u8(header + 1) == 'E' && f.u16(header + 2) == 0)
        return indexPe(f, header);
    if (f.u8(header) == 'N' && f.u8(header + 1) == 'E')
        return indexNe(f, header);
    return std::nullopt;
}

} // namespace iconres
