#include "support/ico_writer.h"

#include "support/le_bytes.h"

#include <QBuffer>

namespace {

std::vector<bool> maskFor(const IcoWriterEntry &entry)
{
    const int w = entry.image.width();
    const int h = entry.image.height();
    if (!entry.transparent.empty())
        return entry.transparent;
    std::vector<bool> mask(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask[size_t(y) * w + x] = qAlpha(entry.image.pixel(x, y)) == 0;
    return mask;
}

QByteArray pngPayload(const QImage &image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

QByteArray dibPayload(const IcoWriterEntry &entry)
{
    const int w = entry.image.width();
    const int h = entry.image.height();
    const int bpp = entry.bitCount;
    const bool indexed = bpp <= 8;
    const int paletteEntries = !indexed ? 0
        : entry.paletteEntries >= 0     ? entry.paletteEntries
                                        : int(entry.image.colorTable().size());
    const quint32 clrUsed = entry.clrUsed.value_or(indexed ? quint32(paletteEntries) : 0);

    QImage pixels = entry.image;
    if (bpp == 32 && entry.zeroAlpha) {
        pixels = pixels.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels.setPixel(x, y, pixels.pixel(x, y) & 0x00FFFFFF);
    }
    const QByteArray xorBits = packDibPixels(pixels, bpp, true, entry.masks, entry.bitfields);
    const QByteArray andBits = entry.omitMask ? QByteArray() : packDibMask(maskFor(entry), w, h);

    QByteArray out;
    appendLe32(out, icofield::kInfoHeaderSize);
    appendLe32(out, quint32(w));
    appendLe32(out, quint32(h * 2));
    appendLe16(out, 1);
    appendLe16(out, quint16(bpp));
    appendLe32(out, entry.bitfields ? 3 : 0);
    appendLe32(out, quint32(xorBits.size() + andBits.size()));
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, clrUsed);
    appendLe32(out, 0);
    if (entry.bitfields)
        for (quint32 m : entry.masks)
            appendLe32(out, m);
    if (indexed)
        out.append(packDibPalette(entry.image.colorTable(), paletteEntries));
    out.append(xorBits);
    out.append(andBits);
    return out;
}

} // namespace

QByteArray icoEntryPayload(const IcoWriterEntry &entry)
{
    if (entry.payload)
        return *entry.payload;
    return entry.png ? pngPayload(entry.image) : dibPayload(entry);
}

IcoFile writeIcoFile(const std::vector<IcoWriterEntry> &entries, IcoKind kind)
{
    std::vector<QByteArray> payloads;
    for (const IcoWriterEntry &e : entries)
        payloads.push_back(icoEntryPayload(e));

    IcoFile file;
    QByteArray &out = file.bytes;
    appendLe16(out, 0);
    appendLe16(out, quint16(kind));
    appendLe16(out, quint16(entries.size()));

    qsizetype offset = 6 + 16 * qsizetype(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const IcoWriterEntry &e = entries[i];
        const int w = e.image.width();
        const int h = e.image.height();
        const int colours = (!e.png && e.bitCount < 8) ? 1 << e.bitCount : 0;
        out.append(char(w >= 256 ? 0 : w));
        out.append(char(h >= 256 ? 0 : h));
        out.append(char(colours));
        out.append('\0');
        if (kind == IcoKind::Cursor) {
            appendLe16(out, quint16(e.hotspotX));
            appendLe16(out, quint16(e.hotspotY));
        } else {
            appendLe16(out, 1);
            appendLe16(out, quint16(e.png ? 32 : e.bitCount));
        }
        appendLe32(out, quint32(payloads[i].size()));
        appendLe32(out, quint32(offset));
        file.payloadOffsets.push_back(offset);
        offset += payloads[i].size();
    }
    for (const QByteArray &p : payloads)
        out.append(p);
    return file;
}
