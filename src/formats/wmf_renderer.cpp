// Record framing (placeable and plain headers, the record chain and its caps)
// and the dispatch of each record to the player.

#include "formats/wmf_renderer.h"

#include "formats/wmf_player.h"

namespace {

using namespace wmf;

// Visits records from `at` until EOF, a record that cannot be framed, or the
// visitor returning false. False when the record cap stopped it first.
template <typename Visit> bool forEachRecord(const QByteArray &data, qsizetype at, Visit &&visit)
{
    const ByteView file(data);
    const qsizetype end = data.size();
    for (int count = 0; at >= 0 && end - at >= 2 * kRecordHeaderWords; ++count) {
        const qint64 words = file.u32(at);
        const std::uint16_t function = file.u16(at + 4);
        if (function == Eof)
            return true;
        if (words < kRecordHeaderWords || words > (end - at) / 2)
            return true;
        if (count == kMaxRecords)
            return false;
        if (!visit(Record(function, file.at(at + 2 * kRecordHeaderWords), qsizetype(words - kRecordHeaderWords))))
            return true;
        at += qsizetype(words * 2);
    }
    return true;
}

bool validStandardHeader(const QByteArray &data, qsizetype at)
{
    if (data.size() - at < kHeaderBytes)
        return false;
    const ByteView h = ByteView(data).from(at);
    const std::uint16_t type = h.u16(0);
    const std::uint16_t headerWords = h.u16(2);
    const std::uint16_t version = h.u16(4);
    return (type == 1 || type == 2) && headerWords == kHeaderWords && (version == 0x0100 || version == 0x0300);
}

std::optional<Layout> readLayout(const QByteArray &data)
{
    if (data.size() < 4)
        return std::nullopt;
    const ByteView file(data);
    Layout layout;
    if (file.u32(0) == kPlaceableKey) {
        if (data.size() < kPlaceableHeaderBytes || !validStandardHeader(data, kPlaceableHeaderBytes))
            return std::nullopt;
        // The checksum is not checked: writers commonly get it wrong.
        const qint64 left = file.i16(6);
        const qint64 top = file.i16(8);
        const qint64 right = file.i16(10);
        const qint64 bottom = file.i16(12);
        const qint64 inch = file.u16(14);
        if (inch == 0)
            return std::nullopt;
        const qint64 w = (qAbs(right - left) * kDpi + inch / 2) / inch;
        const qint64 h = (qAbs(bottom - top) * kDpi + inch / 2) / inch;
        if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
            return std::nullopt;
        layout.size = QSize(int(w), int(h));
        layout.windowOrg = QPointF(left, top);
        layout.windowExt = QSizeF(right - left, bottom - top);
        layout.recordsAt = kPlaceableHeaderBytes + kHeaderBytes;
    } else {
        if (!validStandardHeader(data, 0))
            return std::nullopt;
        layout.recordsAt = kHeaderBytes;
        std::optional<QSizeF> ext;
        forEachRecord(data, layout.recordsAt, [&](const Record &r) {
            if (r.function() == SetWindowExt && r.has(2))
                ext = QSizeF(r.s16(1), r.s16(0));
            return !ext;
        });
        if (!ext)
            return std::nullopt;
        const int w = int(qAbs(ext->width()));
        const int h = int(qAbs(ext->height()));
        if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
            return std::nullopt;
        layout.size = QSize(w, h);
        layout.windowExt = *ext;
    }
    const qsizetype headerAt = layout.recordsAt - kHeaderBytes;
    layout.objectCount = file.u16(headerAt + 10);
    return layout;
}

} // namespace

namespace wmf {

bool Player::play(const Record &r)
{
    switch (r.function()) {
    case SetWindowOrg:
        if (r.has(2))
            m_dc.windowOrg = QPointF(r.s16(1), r.s16(0));
        break;
    case SetViewportOrg:
        if (r.has(2))
            m_dc.viewportOrg = QPointF(r.s16(1), r.s16(0));
        break;
    case OffsetWindowOrg:
        if (r.has(2))
            m_dc.windowOrg += QPointF(r.s16(1), r.s16(0));
        break;
    case OffsetViewportOrg:
        if (r.has(2))
            m_dc.viewportOrg += QPointF(r.s16(1), r.s16(0));
        break;
    case SetWindowExt: setExtent(r, m_dc.windowExt); break;
    case SetViewportExt: setExtent(r, m_dc.viewportExt); break;
    case ScaleWindowExt: scaleExtent(r, m_dc.windowExt); break;
    case ScaleViewportExt: scaleExtent(r, m_dc.viewportExt); break;
    case SetMapMode:
        if (r.has(1) && r.u16(0) >= MmText && r.u16(0) <= MmAnisotropic)
            m_dc.mapMode = r.u16(0);
        break;
    case SetBkColor:
        if (r.has(2))
            m_dc.bkColour = colourRef(r.u32(0));
        break;
    case SetTextColor:
        if (r.has(2))
            m_dc.textColour = colourRef(r.u32(0));
        break;
    case SetBkMode:
        if (r.has(1) && (r.u16(0) == Transparent || r.u16(0) == Opaque))
            m_dc.bkMode = r.u16(0);
        break;
    case SetPolyFillMode:
        if (r.has(1) && (r.u16(0) == Alternate || r.u16(0) == Winding))
            m_dc.polyFillMode = r.u16(0);
        break;
    case SetRop2:
        if (r.has(1) && r.u16(0) >= R2Black && r.u16(0) <= R2White)
            m_dc.rop2 = r.u16(0);
        break;
    case SetTextAlign:
        if (r.has(1))
            m_dc.textAlign = r.u16(0);
        break;
    case CreatePenIndirect:
    case CreateBrushIndirect:
    case CreateFontIndirect:
    case DibCreatePatternBrush:
    case CreatePatternBrush:
    case CreatePalette:
    case CreateRegion: createObject(r); break;
    case SelectObject: selectObject(r); break;
    case DeleteObject:
        if (r.has(1))
            deleteObject(r.u16(0));
        break;
    case SaveDc:
        if (int(m_saved.size()) < kMaxSavedStates)
            m_saved.push_back(m_dc);
        break;
    case RestoreDc:
        if (r.has(1))
            restoreDc(r.s16(0));
        break;
    case IntersectClipRect: changeClip(r, false); break;
    case ExcludeClipRect: changeClip(r, true); break;
    case SelectClipRegion:
        // Regions are not kept, so selecting one can only lift the clip.
        m_dc.clip.reset();
        applyClip();
        break;
    case OffsetClipRgn:
        if (r.has(2) && m_dc.clip) {
            const double dx = std::clamp(r.s16(1) * m_dc.scaleX(), -kDeviceLimit, kDeviceLimit);
            const double dy = std::clamp(r.s16(0) * m_dc.scaleY(), -kDeviceLimit, kDeviceLimit);
            m_dc.clip->translate(int(std::lround(dx)), int(std::lround(dy)));
            applyClip();
        }
        break;
    case MoveTo:
        if (r.has(2))
            m_dc.currentPosition = QPointF(r.s16(1), r.s16(0));
        break;
    case LineTo: lineTo(r); break;
    case Rectangle: rectangle(r); break;
    case RoundRect: roundRect(r); break;
    case Ellipse: ellipse(r); break;
    case Arc:
    case Pie:
    case Chord: arc(r, r.function()); break;
    case Polygon: polygon(r, true); break;
    case Polyline: polygon(r, false); break;
    case PolyPolygon: polyPolygon(r); break;
    case SetPixel: setPixel(r); break;
    case TextOut: textOut(r); break;
    case ExtTextOut: extTextOut(r); break;
    case PatBlt: patBlt(r); break;
    case DibBitBlt:
    case DibStretchBlt:
    case StretchDib: dibBlt(r); break;
    default:
        // Everything else (palettes, escapes, regions, old bitmap blits) has
        // no effect on the picture we can reproduce.
        break;
    }
    return !m_stop;
}

} // namespace wmf

std::optional<QImage> renderWmf(const QByteArray &data)
{
    const std::optional<Layout> layout = readLayout(data);
    if (!layout)
        return std::nullopt;
    QImage image(layout->size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::transparent);
    {
        Player player(image, *layout);
        const bool played = forEachRecord(data, layout->recordsAt, [&](const Record &r) { return player.play(r); });
        if (!played || player.exhausted())
            return std::nullopt;
    }
    // In place: a second picture-sized buffer would double the cost of a large one.
    image.convertTo(QImage::Format_ARGB32);
    return image;
}
