#include "formats/icon_resources.h"

#include "formats/byte_view.h"
#include "formats/executable_resources.h"
#include "formats/ico_reader.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

using iconres::indexExecutable;
using iconres::Library;
using iconres::Span;

constexpr int kSide = 32;
constexpr int kSmallSide = 16;
// Total pixels decoded for one file. Each image is capped by the ICO decoder;
// this bounds the work a file of many distinct large PNG images can cause.
constexpr qint64 kMaxDecodedPixels = 64LL * 1024 * 1024;

constexpr int kGroupHeaderSize = 6;
constexpr int kGroupEntrySize = 14;

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

bool isIcoFile(ByteView f) { return f.has(0, 4) && f.u16(0) == 0 && (f.u16(2) == 1 || f.u16(2) == 2); }

// ---- groups --------------------------------------------------------------

class GroupReader
{
public:
    GroupReader(ByteView file, const Library &lib)
        : m_file(file)
        , m_lib(lib)
    {
    }

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
        const auto entry =
            decodeIconImage(QByteArrayView(reinterpret_cast<const char *>(m_file.at(data.offset)), data.size));
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
