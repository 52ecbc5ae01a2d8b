#include "support/wmf_writer.h"

#include <QtEndian>

namespace {

void putU16(QByteArray &out, int v)
{
    const auto w = static_cast<std::uint16_t>(v);
    out.append(char(w & 0xFF));
    out.append(char(w >> 8));
}

void putU32(QByteArray &out, std::uint32_t v)
{
    putU16(out, int(v & 0xFFFF));
    putU16(out, int(v >> 16));
}

QList<int> colourWords(QRgb c)
{
    // COLORREF: red, green in the low word; blue in the high word.
    return {qRed(c) | (qGreen(c) << 8), qBlue(c)};
}

QList<int> ropWords(std::uint32_t rop) { return {int(rop & 0xFFFF), int(rop >> 16)}; }

} // namespace

WmfWriter WmfWriter::plain() { return WmfWriter(); }

WmfWriter WmfWriter::placeable(int left, int top, int right, int bottom, std::uint16_t unitsPerInch)
{
    WmfWriter w;
    w.m_placeableBox = std::array<int, 4>{left, top, right, bottom};
    w.m_unitsPerInch = unitsPerInch;
    return w;
}

WmfWriter &WmfWriter::setObjectCount(int count)
{
    m_objectCount = count;
    return *this;
}

WmfWriter &WmfWriter::corruptChecksum()
{
    m_badChecksum = true;
    return *this;
}

WmfWriter &WmfWriter::omitEof()
{
    m_eof = false;
    return *this;
}

WmfWriter &WmfWriter::record(std::uint16_t function, std::initializer_list<int> words)
{
    return record(function, QList<int>(words));
}

WmfWriter &WmfWriter::record(std::uint16_t function, const QList<int> &words, const QByteArray &tail)
{
    QByteArray params;
    for (int w : words)
        putU16(params, w);
    params += tail;
    if (params.size() % 2)
        params.append('\0');
    return rawRecord(std::uint32_t(3 + params.size() / 2), function, params);
}

WmfWriter &WmfWriter::rawRecord(std::uint32_t sizeWords, std::uint16_t function, const QByteArray &params)
{
    putU32(m_records, sizeWords);
    putU16(m_records, function);
    m_records += params;
    m_maxRecordWords = std::max(m_maxRecordWords, sizeWords);
    return *this;
}

WmfWriter &WmfWriter::setWindowOrg(int x, int y) { return record(0x020B, {y, x}); }
WmfWriter &WmfWriter::setWindowExt(int w, int h) { return record(0x020C, {h, w}); }
WmfWriter &WmfWriter::setViewportOrg(int x, int y) { return record(0x020D, {y, x}); }
WmfWriter &WmfWriter::setViewportExt(int w, int h) { return record(0x020E, {h, w}); }
WmfWriter &WmfWriter::setMapMode(int mode) { return record(0x0103, {mode}); }
WmfWriter &WmfWriter::setBkColor(QRgb c) { return record(0x0201, colourWords(c)); }
WmfWriter &WmfWriter::setBkMode(int mode) { return record(0x0102, {mode}); }
WmfWriter &WmfWriter::setTextColor(QRgb c) { return record(0x0209, colourWords(c)); }
WmfWriter &WmfWriter::setTextAlign(int align) { return record(0x012E, {align}); }
WmfWriter &WmfWriter::setPolyFillMode(int mode) { return record(0x0106, {mode}); }
WmfWriter &WmfWriter::setRop2(int rop) { return record(0x0104, {rop}); }

void WmfWriter::allocateSlot()
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i]) {
            m_slots[i] = true;
            return;
        }
    }
    m_slots.push_back(true);
}

WmfWriter &WmfWriter::createPen(int style, int width, QRgb c)
{
    allocateSlot();
    return record(0x02FA, QList<int>{style, width, 0} + colourWords(c));
}

WmfWriter &WmfWriter::createBrush(int style, QRgb c, int hatch)
{
    allocateSlot();
    return record(0x02FC, QList<int>{style} + colourWords(c) + QList<int>{hatch});
}

WmfWriter &WmfWriter::createFont(int height, const QByteArray &face, int weight, int escapement)
{
    allocateSlot();
    QByteArray tail(8, '\0'); // italic, underline, strike-out, charset, precisions, quality, family
    QByteArray name = face.left(31);
    name.append(QByteArray(32 - name.size(), '\0'));
    return record(0x02FB, {height, 0, escapement, escapement, weight}, tail + name);
}

WmfWriter &WmfWriter::createPatternBrush(const QByteArray &dib)
{
    allocateSlot();
    return record(0x0142, {5, 0}, dib); // BS_DIBPATTERN, DIB_RGB_COLORS
}

WmfWriter &WmfWriter::createPalette()
{
    allocateSlot();
    return record(0x00F7, {0x0300, 1, 0, 0}); // version, one black entry
}

WmfWriter &WmfWriter::selectObject(int index) { return record(0x012D, {index}); }

WmfWriter &WmfWriter::deleteObject(int index)
{
    if (index >= 0 && size_t(index) < m_slots.size())
        m_slots[size_t(index)] = false;
    return record(0x01F0, {index});
}

WmfWriter &WmfWriter::saveDc() { return record(0x001E, {}); }
WmfWriter &WmfWriter::restoreDc(int which) { return record(0x0127, {which}); }
WmfWriter &WmfWriter::intersectClipRect(int l, int t, int r, int b) { return record(0x0416, {b, r, t, l}); }
WmfWriter &WmfWriter::excludeClipRect(int l, int t, int r, int b) { return record(0x0415, {b, r, t, l}); }

WmfWriter &WmfWriter::moveTo(int x, int y) { return record(0x0214, {y, x}); }
WmfWriter &WmfWriter::lineTo(int x, int y) { return record(0x0213, {y, x}); }
WmfWriter &WmfWriter::rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
WmfWriter &WmfWriter::ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }

WmfWriter &WmfWriter::roundRect(int l, int t, int r, int b, int cornerW, int cornerH)
{
    return record(0x061C, {cornerH, cornerW, b, r, t, l});
}

WmfWriter &WmfWriter::arcLike(std::uint16_t function, int l, int t, int r, int b, QPoint start, QPoint end)
{
    return record(function, {end.y(), end.x(), start.y(), start.x(), b, r, t, l});
}

WmfWriter &WmfWriter::arc(int l, int t, int r, int b, QPoint start, QPoint end)
{
    return arcLike(0x0817, l, t, r, b, start, end);
}

WmfWriter &WmfWriter::pie(int l, int t, int r, int b, QPoint start, QPoint end)
{
    return arcLike(0x081A, l, t, r, b, start, end);
}

WmfWriter &WmfWriter::chord(int l, int t, int r, int b, QPoint start, QPoint end)
{
    return arcLike(0x0830, l, t, r, b, start, end);
}

WmfWriter &WmfWriter::poly(std::uint16_t function, const QPolygon &points)
{
    QList<int> words{int(points.size())};
    for (const QPoint &p : points)
        words << p.x() << p.y();
    return record(function, words);
}

WmfWriter &WmfWriter::polygon(const QPolygon &points) { return poly(0x0324, points); }
WmfWriter &WmfWriter::polyline(const QPolygon &points) { return poly(0x0325, points); }

WmfWriter &WmfWriter::polyPolygon(const QList<QPolygon> &polygons)
{
    QList<int> words{int(polygons.size())};
    for (const QPolygon &p : polygons)
        words << int(p.size());
    for (const QPolygon &p : polygons)
        for (const QPoint &pt : p)
            words << pt.x() << pt.y();
    return record(0x0538, words);
}

WmfWriter &WmfWriter::setPixel(int x, int y, QRgb c) { return record(0x041F, colourWords(c) + QList<int>{y, x}); }

WmfWriter &WmfWriter::textOut(int x, int y, const QByteArray &text)
{
    QByteArray padded = text;
    if (padded.size() % 2)
        padded.append('\0');
    QList<int> words{int(text.size())};
    for (qsizetype i = 0; i < padded.size(); i += 2)
        words << (quint8(padded[i]) | (quint8(padded[i + 1]) << 8));
    words << y << x;
    return record(0x0521, words);
}

WmfWriter &WmfWriter::extTextOut(int x, int y, int options, std::optional<QRect> rect, const QByteArray &text,
                                 const QList<int> &dx)
{
    QList<int> words{y, x, int(text.size()), options};
    if (rect)
        words << rect->left() << rect->top() << rect->right() + 1 << rect->bottom() + 1;
    QByteArray padded = text;
    if (padded.size() % 2)
        padded.append('\0');
    for (qsizetype i = 0; i < padded.size(); i += 2)
        words << (quint8(padded[i]) | (quint8(padded[i + 1]) << 8));
    words << dx;
    return record(0x0A32, words);
}

WmfWriter &WmfWriter::patBlt(int x, int y, int w, int h, std::uint32_t rop)
{
    return record(0x061D, ropWords(rop) + QList<int>{h, w, y, x});
}

WmfWriter &WmfWriter::blit(std::uint16_t function, QList<int> words, const QByteArray &dib)
{
    return record(function, words, dib);
}

WmfWriter &WmfWriter::stretchDib(int x, int y, int w, int h, const QByteArray &dib, QRect s, std::uint32_t rop)
{
    return blit(0x0F43, ropWords(rop) + QList<int>{0, s.height(), s.width(), s.y(), s.x(), h, w, y, x}, dib);
}

WmfWriter &WmfWriter::dibStretchBlt(int x, int y, int w, int h, const QByteArray &dib, QRect s, std::uint32_t rop)
{
    return blit(0x0B41, ropWords(rop) + QList<int>{s.height(), s.width(), s.y(), s.x(), h, w, y, x}, dib);
}

WmfWriter &WmfWriter::dibBitBlt(int x, int y, int w, int h, const QByteArray &dib, QPoint s, std::uint32_t rop)
{
    return blit(0x0940, ropWords(rop) + QList<int>{s.y(), s.x(), h, w, y, x}, dib);
}

QByteArray WmfWriter::data() const
{
    QByteArray records = m_records;
    if (m_eof) {
        putU32(records, 3);
        putU16(records, 0);
    }
    QByteArray out;
    if (m_placeableBox) {
        putU32(out, 0x9AC6CDD7u);
        putU16(out, 0); // handle
        for (int v : *m_placeableBox)
            putU16(out, v);
        putU16(out, m_unitsPerInch);
        putU32(out, 0);
        std::uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<std::uint16_t>(out.constData() + 2 * i);
        putU16(out, m_badChecksum ? checksum ^ 0x5555 : checksum);
    }
    putU16(out, 1);      // in memory
    putU16(out, 9);      // header words
    putU16(out, 0x0300); // version
    putU32(out, std::uint32_t(9 + records.size() / 2));
    putU16(out, m_objectCount.value_or(int(m_slots.size())));
    putU32(out, m_maxRecordWords);
    putU16(out, 0);
    return out + records;
}

QByteArray WmfWriter::dibHeader(std::int32_t width, std::int32_t height, int bitsPerPixel, std::uint32_t compression,
                                std::uint32_t coloursUsed)
{
    QByteArray h;
    putU32(h, 40);
    putU32(h, std::uint32_t(width));
    putU32(h, std::uint32_t(height));
    putU16(h, 1);
    putU16(h, bitsPerPixel);
    putU32(h, compression);
    putU32(h, 0); // image size may be zero for uncompressed bitmaps
    putU32(h, 2835);
    putU32(h, 2835);
    putU32(h, coloursUsed);
    putU32(h, 0);
    return h;
}

QByteArray WmfWriter::dib(const QImage &source, int bpp, bool topDown)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> palette;
    if (bpp <= 8) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!palette.contains(image.pixel(x, y)))
                    palette << image.pixel(x, y);
        if (palette.size() > (1 << bpp))
            return {};
    }
    QByteArray out =
        dibHeader(image.width(), topDown ? -image.height() : image.height(), bpp, 0, std::uint32_t(palette.size()));
    for (QRgb c : palette) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    const int stride = ((image.width() * bpp + 31) / 32) * 4;
    for (int i = 0; i < image.height(); ++i) {
        const int y = topDown ? i : image.height() - 1 - i;
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            switch (bpp) {
            case 1: row[x / 8] = char(row[x / 8] | (palette.indexOf(c) << (7 - x % 8))); break;
            case 4: row[x / 2] = char(row[x / 2] | (palette.indexOf(c) << (x % 2 ? 0 : 4))); break;
            case 8: row[x] = char(palette.indexOf(c)); break;
            case 16: {
                const int v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
                row[2 * x] = char(v & 0xFF);
                row[2 * x + 1] = char(v >> 8);
                break;
            }
            case 24:
                row[3 * x] = char(qBlue(c));
                row[3 * x + 1] = char(qGreen(c));
                row[3 * x + 2] = char(qRed(c));
                break;
            case 32:
                row[4 * x] = char(qBlue(c));
                row[4 * x + 1] = char(qGreen(c));
                row[4 * x + 2] = char(qRed(c));
                break;
            default: return {};
            }
        }
        out += row;
    }
    return out;
}
