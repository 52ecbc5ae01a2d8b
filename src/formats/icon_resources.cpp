#include "formats/icon_resources.h"

#include "formats/ico_reader.h"
#include "formats/byte_view.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

constexpr int kSide = 32;
constexpr int kSmallSide = 16;
// Real libraries hold hundreds of icons, a few thousand at most. Resource
// entries can all share one image, so without a cap a small file could ask
// for any number of icons.
constexpr int kMaxIcons = 10000;
// Total pixels decoded for one file. Each image is capped by the ICO decoder;
// this bounds the work a file of many distinct large PNG images can cause.
constexpr qint64 kMaxDecodedPixels = 64LL * 1024 * 1024;

constexpr quint16 kRtIcon = 3;
constexpr quint16 kRtGroupIcon = 14;
constexpr quint16 kNeTypeIsId = 0x8000;
// The 96-section limit of the platform's loader; also keeps RVA lookups cheap.
constexpr int kMaxSections = 96;
// Beyond this a 16-bit offset shifted into a file position is nonsense.
constexpr int kMaxNeShift = 24;

constexpr int kGroupHeaderSize = 6;
constexpr int kGroupEntrySize = 14;

struct Span
{
    qint64 offset = 0;
    qint64 size = 0;
    auto operator<=>(const Span &) const = default;
};

// Where a file keeps its icon groups and the images they name.
struct Library
{
    std::vector<Span> groups;                       // extraction order
    std::vector<std::pair<quint16, Span>> icons;    // by id; the first of duplicates

    void sortIcons()
    {
        std::stable_sort(icons.begin(), icons.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        icons.erase(std::unique(icons.begin(), icons.end(),
                                [](const auto &a, const auto &b) { return a.first == b.first; }),
                    icons.end());
    }
    std::optional<Span> icon(quint16 id) const
    {
        const auto it = std::lower_bound(icons.begin(), icons.end(), id,
                                         [](const auto &e, quint16 v) { return e.first < v; });
        if (it == icons.end() || it->first != id)
            return std::nullopt;
        return it->second;
    }
};

// What the chooser needs to know about one image of an icon.
struct Candidate
{
    int width = 0, height = 0, bitCount = 0;
};

// The deepest image of exactly side x side; the first on a tie. -1 if none.
int chooseExact(const std::vector<Candidate> &images, int side)
{
    int best = -1;
    for (int i = 0; i < int(images.size()); ++i) {
        const Candidate &c = images[i];
        if (c.width == side && c.height == side && (best < 0 || c.bitCount > images[best].bitCount))
            best = i;
    }
    return best;
}

// The image drawn at side x side: an exact one, else the nearest in size. On
// equal distance the larger wins (scaling down keeps more detail), then the
// deeper, then the first.
int chooseImage(const std::vector<Candidate> &images, int side)
{
    const int exact = chooseExact(images, side);
    if (exact >= 0)
        return exact;
    int best = -1;
    for (int i = 0; i < int(images.size()); ++i) {
        const Candidate &c = images[i];
        if (best < 0) {
            best = i;
            continue;
        }
        const Candidate &b = images[best];
        const int d = std::abs(c.width - side) + std::abs(c.height - side);
        const int bd = std::abs(b.width - side) + std::abs(b.height - side);
        const qint64 area = qint64(c.width) * c.height;
        const qint64 barea = qint64(b.width) * b.height;
        if (d < bd || (d == bd && (area > barea || (area == barea && c.bitCount > b.bitCount))))
            best = i;
    }
    return best;
}

// Nearest-neighbour, as the platform stretches icons: masks stay sharp and
// the colours of masked pixels survive (QImage::scaled drops those).
QImage toSide(const QImage &image, int side)
{
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    if (src.width() == side && src.height() == side)
        return src;
    QImage out(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(src.constScanLine(y * src.height() / side));
        auto *d = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < side; ++x)
            d[x] = s[x * src.width() / side];
    }
    return out;
}

bool isIcoFile(ByteView f)
{
    return f.has(0, 4) && f.u16(0) == 0 && (f.u16(2) == 1 || f.u16(2) == 2);
}

// ---- PE ------------------------------------------------------------------

struct Section
{
    quint32 va = 0, rawSize = 0, rawOffset = 0;
};

class PeResources
{
public:
    PeResources(ByteView file, std::vector<Section> sections, quint32 root)
        : m_file(file), m_sections(std::move(sections)), m_root(root)
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

// ---- groups --------------------------------------------------------------

class GroupReader
{
public:
    GroupReader(ByteView file, const Library &lib) : m_file(file), m_lib(lib) { }

    // Group `index` drawn at `side`. For the small icon an exact 16 x 16
    // image comes first; without a readable one the 32 x 32 choice is scaled.
    std::optional<QImage> image(int index, int side)
    {
        const Span g = m_lib.groups[size_t(index)];
        const ByteView dir = m_file.sub(g.offset, g.size);
        if (!dir.has(0, kGroupHeaderSize) || dir.u16(0) != 0 || dir.u16(2) != 1)
            return std::nullopt;
        const int count = dir.u16(4);
        if (count == 0 || !dir.has(kGroupHeaderSize, qint64(count) * kGroupEntrySize))
            return std::nullopt;

        std::vector<Candidate> images(static_cast<size_t>(count), Candidate{});
        for (int i = 0; i < count; ++i) {
            const qint64 e = kGroupHeaderSize + qint64(i) * kGroupEntrySize;
            const int w = dir.u8(e), h = dir.u8(e + 1), colours = dir.u8(e + 2);
            int bits = dir.u16(e + 6);
            // Old writers leave the depth 0 and give the colour count only.
            if (bits == 0)
                bits = colours ? std::bit_width(unsigned(colours - 1)) : 8;
            images[size_t(i)] = {w ? w : 256, h ? h : 256, bits};
        }
        if (side == kSmallSide) {
            if (auto exact = imageAt(dir, chooseExact(images, kSmallSide), side))
                return exact;
        }
        return imageAt(dir, chooseImage(images, kSide), side);
    }

private:
    std::optional<QImage> imageAt(ByteView dir, int entry, int side)
    {
        if (entry < 0)
            return std::nullopt;
        const auto data = m_lib.icon(dir.u16(kGroupHeaderSize + qint64(entry) * kGroupEntrySize + 12));
        if (!data)
            return std::nullopt;
        return decoded(*data, side);
    }


private:
    // Groups often share images; each is decoded once, and a shared QImage
    // costs no memory of its own.
    std::optional<QImage> decoded(Span data, int side)
    {
        const auto key = std::make_pair(data, side);
        if (const auto it = m_cache.find(key); it != m_cache.end())
            return it->second;
        const auto entry = decodeIconImage(
            QByteArrayView(reinterpret_cast<const char *>(m_file.at(data.offset)), data.size));
        if (!entry)
            return std::nullopt;
        m_pixels += qint64(entry->width) * entry->height;
        if (m_pixels > kMaxDecodedPixels)
            return std::nullopt;
        const QImage image = toSide(entry->image, side);
        m_cache.emplace(key, image);
        return image;
    }

    ByteView m_file;
    const Library &m_lib;
    std::map<std::pair<Span, int>, QImage> m_cache;
    qint64 m_pixels = 0;
};

std::vector<Candidate> candidatesOf(const std::vector<IcoEntry> &entries)
{
    std::vector<Candidate> c;
    c.reserve(entries.size());
    for (const IcoEntry &e : entries)
        c.push_back({e.width, e.height, e.bitCount});
    return c;
}

ByteView viewOf(const QByteArray &file)
{
    return ByteView(reinterpret_cast<const uchar *>(file.constData()), file.size());
}

} // namespace

std::optional<std::vector<QImage>> readIconLibrary(const QByteArray &file)
{
    const ByteView f = viewOf(file);
    if (isIcoFile(f)) {
        const auto entries = readIcoEntries(file);
        if (!entries)
            return std::nullopt;
        const int chosen = chooseImage(candidatesOf(*entries), kSide);
        return std::vector<QImage>{toSide((*entries)[size_t(chosen)].image, kSide)};
    }

    const auto lib = indexExecutable(f);
    if (!lib || lib->groups.empty())
        return std::nullopt;
    GroupReader reader(f, *lib);
    std::vector<QImage> icons;
    for (int i = 0; i < int(lib->groups.size()); ++i) {
        auto image = reader.image(i, kSide);
        if (!image)
            break;
        icons.push_back(std::move(*image));
    }
    if (icons.empty())
        return std::nullopt;
    return icons;
}

QImage onSilver(const QImage &argb)
{
    const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    constexpr int kSilver = 0xC0;
    for (int y = 0; y < src.height(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        auto *d = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(s[x]);
            auto mix = [a](int c) { return (c * a + kSilver * (255 - a) + 127) / 255; };
            d[x] = qRgb(mix(qRed(s[x])), mix(qGreen(s[x])), mix(qBlue(s[x])));
        }
    }
    return out;
}

std::optional<QImage> smallIconOf(const QByteArray &file)
{
    const ByteView f = viewOf(file);
    if (isIcoFile(f)) {
        const auto entries = readIcoEntries(file);
        if (!entries)
            return std::nullopt;
        const auto candidates = candidatesOf(*entries);
        int chosen = chooseExact(candidates, kSmallSide);
        if (chosen < 0)
            chosen = chooseImage(candidates, kSide);
        return toSide((*entries)[size_t(chosen)].image, kSmallSide);
    }
    const auto lib = indexExecutable(f);
    if (!lib || lib->groups.empty())
        return std::nullopt;
    GroupReader reader(f, *lib);
    return reader.image(0, kSmallSide);
}
