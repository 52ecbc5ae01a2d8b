#include "formats/wmf_renderer.h"

#include "formats/ansi_text.h"
#include "formats/dib_decoder.h"
#include "formats/wmf_dc_state.h"
#include "formats/wmf_objects.h"
#include "formats/wmf_record.h"
#include "formats/wmf_records.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace wmf;

constexpr int kMaxSide = 4096;
constexpr int kDpi = 96;

// Work caps, so a hostile file costs bounded time: records played, polygon
// points read, and device pixels covered by the bounding boxes of what is drawn.
// A file that reaches one is refused: what was drawn by then is not the picture.
constexpr int kMaxRecords = 100000;
constexpr qint64 kMaxPoints = qint64(1) << 22;
constexpr qint64 kMaxPaintedPixels = qint64(1) << 30;
constexpr int kMaxSavedStates = 1024;
// Bytes of pattern bitmaps the object table may hold at once; decoded
// patterns are four bytes a pixel, so a small file could otherwise hold gigabytes.
constexpr qint64 kMaxHeldBitmapBytes = qint64(64) << 20;
constexpr int kMaxClipRects = 4096;

struct Layout
{
    qsizetype recordsAt = 0;
    int objectCount = 0;
    QSize size;
    QPointF windowOrg;
    QSizeF windowExt;
};

const uchar *bytesOf(const QByteArray &data) { return reinterpret_cast<const uchar *>(data.constData()); }

// Visits records from `at` until EOF, a record that cannot be framed, or the
// visitor returning false. False when the record cap stopped it first.
template <typename Visit>
bool forEachRecord(const QByteArray &data, qsizetype at, Visit &&visit)
{
    const uchar *base = bytesOf(data);
    const qsizetype end = data.size();
    for (int count = 0; at >= 0 && end - at >= 2 * kRecordHeaderWords; ++count) {
        const qint64 words = readU32(base + at);
        const std::uint16_t function = readU16(base + at + 4);
        if (function == Eof)
            return true;
        if (words < kRecordHeaderWords || words > (end - at) / 2)
            return true;
        if (count == kMaxRecords)
            return false;
        if (!visit(Record(function, base + at + 2 * kRecordHeaderWords, qsizetype(words - kRecordHeaderWords))))
            return true;
        at += qsizetype(words * 2);
    }
    return true;
}

bool validStandardHeader(const QByteArray &data, qsizetype at)
{
    if (data.size() - at < kHeaderBytes)
        return false;
    const uchar *h = bytesOf(data) + at;
    const std::uint16_t type = readU16(h);
    const std::uint16_t headerWords = readU16(h + 2);
    const std::uint16_t version = readU16(h + 4);
    return (type == 1 || type == 2) && headerWords == kHeaderWords && (version == 0x0100 || version == 0x0300);
}

std::optional<Layout> readLayout(const QByteArray &data)
{
    if (data.size() < 4)
        return std::nullopt;
    const uchar *base = bytesOf(data);
    Layout layout;
    if (readU32(base) == kPlaceableKey) {
        if (data.size() < kPlaceableHeaderBytes || !validStandardHeader(data, kPlaceableHeaderBytes))
            return std::nullopt;
        // The checksum is not checked: writers commonly get it wrong.
        const qint64 left = qint16(readU16(base + 6));
        const qint64 top = qint16(readU16(base + 8));
        const qint64 right = qint16(readU16(base + 10));
        const qint64 bottom = qint16(readU16(base + 12));
        const qint64 inch = readU16(base + 14);
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
    layout.objectCount = readU16(base + headerAt + 10);
    return layout;
}

QRgb colourRef(std::uint32_t v)
{
    // COLORREF: red in the low byte, like ColourValue; the high byte only
    // flags palette use and is ignored.
    return qRgb(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

std::optional<QPainter::CompositionMode> rop2Mode(std::uint16_t rop2)
{
    switch (rop2) {
    case R2NotMergePen: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2MaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case R2NotCopyPen: return QPainter::RasterOp_NotSource;
    case R2MaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case R2Not: return QPainter::RasterOp_NotDestination;
    case R2XorPen: return QPainter::RasterOp_SourceXorDestination;
    case R2NotMaskPen: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2MaskPen: return QPainter::RasterOp_SourceAndDestination;
    case R2NotXorPen: return QPainter::RasterOp_NotSourceXorDestination;
    case R2MergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case R2MergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case R2MergePen: return QPainter::RasterOp_SourceOrDestination;
    default: return std::nullopt;
    }
}

bool ropUsesSource(std::uint8_t rop3) { return ((rop3 >> 2) ^ rop3) & 0x33; }

// Blit raster operations with a source. The ones QPainter has no mode for are
// drawn as a plain copy.
QPainter::CompositionMode rop3SourceMode(std::uint8_t rop3)
{
    switch (rop3) {
    case SrcPaint: return QPainter::RasterOp_SourceOrDestination;
    case SrcAnd: return QPainter::RasterOp_SourceAndDestination;
    case SrcInvert: return QPainter::RasterOp_SourceXorDestination;
    case NotSrcCopy: return QPainter::RasterOp_NotSource;
    case SrcErase: return QPainter::RasterOp_SourceAndNotDestination;
    case NotSrcErase: return QPainter::RasterOp_NotSourceAndNotDestination;
    case MergePaint: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

bool isRasterOp(QPainter::CompositionMode mode) { return mode >= QPainter::RasterOp_SourceOrDestination; }

QPen recoloured(QPen pen, const QColor &c)
{
    pen.setColor(c);
    return pen;
}

QBrush recoloured(const QBrush &brush, const QColor &c)
{
    if (brush.style() == Qt::NoBrush)
        return brush;
    if (brush.style() == Qt::TexturePattern)
        return QBrush(c);
    QBrush b = brush;
    b.setColor(c);
    return b;
}

struct Stroke
{
    QPen pen;
    bool cosmetic = true; // one device pixel: drawn on whole coordinates, GDI-style ends
    double width = 1;
    bool insideFrame = false;
};

class Player
{
public:
    Player(QImage &image, const Layout &layout)
        : m_image(image), m_painter(&image), m_objects(layout.objectCount),
          m_textAvailable(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        m_dc.windowOrg = layout.windowOrg;
        m_dc.windowExt = layout.windowExt;
        m_dc.viewportExt = QSizeF(layout.size);
    }

    // Plays one record; false once playback must stop.
    bool play(const Record &r);
    // A work or memory cap was reached: the picture is incomplete.
    bool exhausted() const { return m_stop; }

private:
    // --- state records
    void setExtent(const Record &r, QSizeF &ext);
    void scaleExtent(const Record &r, QSizeF &ext);
    void createObject(const Record &r);
    void selectObject(const Record &r);
    void deleteObject(int index);
    void restoreDc(qint16 which);
    void changeClip(const Record &r, bool exclude);

    // --- drawing records
    void lineTo(const Record &r);
    void rectangle(const Record &r);
    void roundRect(const Record &r);
    void ellipse(const Record &r);
    void arc(const Record &r, std::uint16_t function);
    void polygon(const Record &r, bool closed);
    void polyPolygon(const Record &r);
    void setPixel(const Record &r);
    void textOut(const Record &r);
    void extTextOut(const Record &r);
    void patBlt(const Record &r);
    void dibBlt(const Record &r);

    // --- helpers
    Stroke currentStroke() const;
    QBrush currentBrush() const;
    QRect deviceRect(double l, double t, double r, double b) const;
    QRectF outlineRect(const QRect &box, const Stroke &s) const;
    void paintFigure(const QPainterPath &fill, const QPainterPath &outline, bool filled);
    void fillDevice(const QRectF &rect, const QBrush &brush, std::uint8_t rop3);
    void blitImage(std::uint32_t rop, const dib::Decoded &src, double xSrc, double ySrc, double wSrc, double hSrc,
                   double xDst, double yDst, double wDst, double hDst);
    void drawText(double x, double y, const QByteArray &bytes, std::uint16_t options, const QRect *logicalRect,
                  const std::vector<qint16> &dx);
    QFont currentFont() const;
    bool spend(const QRectF &deviceBounds);
    bool charge(qint64 pixels);
    std::optional<dib::Decoded> decodeDib(const Record &r, qsizetype word, bool paletteIndices = false);
    bool takePoints(qint64 n);
    void applyClip();

    template <typename Draw>
    void withRop2(Draw &&draw);

    QImage &m_image;
    QPainter m_painter;
    DcState m_dc;
    std::vector<DcState> m_saved;
    ObjectTable m_objects;
    qint64 m_pixelsLeft = kMaxPaintedPixels;
    qint64 m_pointsLeft = kMaxPoints;
    qint64 m_heldBitmapBytes = 0;
    bool m_textAvailable;
    bool m_stop = false;
};

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
    case CreateRegion:
        createObject(r);
        break;
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
    case Chord:
        arc(r, r.function());
        break;
    case Polygon: polygon(r, true); break;
    case Polyline: polygon(r, false); break;
    case PolyPolygon: polyPolygon(r); break;
    case SetPixel: setPixel(r); break;
    case TextOut: textOut(r); break;
    case ExtTextOut: extTextOut(r); break;
    case PatBlt: patBlt(r); break;
    case DibBitBlt:
    case DibStretchBlt:
    case StretchDib:
        dibBlt(r);
        break;
    default:
        // Everything else (palettes, escapes, regions, old bitmap blits) has
        // no effect on the picture we can reproduce.
        break;
    }
    return !m_stop;
}

void Player::setExtent(const Record &r, QSizeF &ext)
{
    // GDI refuses a zero extent; accepting it would divide by zero.
    if (r.has(2) && r.s16(0) != 0 && r.s16(1) != 0)
        ext = QSizeF(r.s16(1), r.s16(0));
}

void Player::scaleExtent(const Record &r, QSizeF &ext)
{
    if (!r.has(4))
        return;
    const qint64 yDenom = r.s16(0), yNum = r.s16(1), xDenom = r.s16(2), xNum = r.s16(3);
    if (xDenom == 0 || yDenom == 0)
        return;
    const qint64 w = qint64(ext.width()) * xNum / xDenom;
    const qint64 h = qint64(ext.height()) * yNum / yDenom;
    constexpr qint64 kLimit = 0x7FFFFFFF;
    if (w == 0 || h == 0 || qAbs(w) > kLimit || qAbs(h) > kLimit)
        return;
    ext = QSizeF(double(w), double(h));
}

void Player::createObject(const Record &r)
{
    // A create record always takes a slot, even when it is damaged or of a
    // kind we do not draw, so that the indexes of later objects stay right.
    Object object = Placeholder{};
    switch (r.function()) {
    case CreatePenIndirect:
        if (r.has(5))
            object = Pen{r.u16(0), r.s16(1), colourRef(r.u32(3))};
        break;
    case CreateBrushIndirect:
        if (r.has(4))
            object = Brush{r.u16(0), colourRef(r.u32(1)), r.u16(3), {}};
        break;
    case CreateFontIndirect:
        if (r.has(9)) {
            Font f;
            f.height = r.s16(0);
            f.width = r.s16(1);
            f.escapement = r.s16(2);
            f.weight = r.s16(4);
            const uchar *b = r.bytesAt(5);
            f.italic = b[0] != 0;
            f.underline = b[1] != 0;
            f.strikeOut = b[2] != 0;
            f.charset = b[3];
            const qsizetype faceBytes = qMin<qsizetype>(32, r.bytesFrom(9));
            const char *face = reinterpret_cast<const char *>(r.bytesAt(9));
            f.face = QByteArray(face, qstrnlen(face, uint(faceBytes)));
            object = f;
        }
        break;
    case DibCreatePatternBrush:
        if (r.has(2)) {
            const bool palette = r.u16(1) == DibPalColours && r.u16(0) != BsPattern;
            if (auto decoded = decodeDib(r, 2, palette)) {
                m_heldBitmapBytes += decoded->image.sizeInBytes();
                if (m_heldBitmapBytes > kMaxHeldBitmapBytes) {
                    m_stop = true;
                    return;
                }
                object = Brush{BsDibPattern, qRgb(0, 0, 0), 0, decoded->image};
            }
        }
        break;
    default: break;
    }
    m_objects.add(std::move(object));
}

void Player::selectObject(const Record &r)
{
    if (!r.has(1))
        return;
    const Object *object = m_objects.at(r.u16(0));
    if (!object)
        return;
    if (const auto *pen = std::get_if<Pen>(object))
        m_dc.pen = *pen;
    else if (const auto *brush = std::get_if<Brush>(object))
        m_dc.brush = *brush;
    else if (const auto *font = std::get_if<Font>(object))
        m_dc.font = *font;
}

void Player::deleteObject(int index)
{
    // A pattern is given back to the budget only when the table held its last
    // copy; one still selected or saved stays counted.
    if (const Object *object = m_objects.at(index)) {
        const auto *brush = std::get_if<Brush>(object);
        if (brush && !brush->pattern.isNull() && brush->pattern.isDetached())
            m_heldBitmapBytes -= brush->pattern.sizeInBytes();
    }
    m_objects.remove(index);
}

void Player::restoreDc(qint16 which)
{
    // Negative counts back from the latest save; positive names a save by
    // its 1-based depth. Both drop that save and every later one.
    const qint64 depth = qint64(m_saved.size());
    const qint64 index = which < 0 ? depth + which : qint64(which) - 1;
    if (which == 0 || index < 0 || index >= depth)
        return;
    m_dc = m_saved[size_t(index)];
    m_saved.resize(size_t(index));
    applyClip();
}

void Player::changeClip(const Record &r, bool exclude)
{
    if (!r.has(4))
        return;
    const QRect rect = deviceRect(r.s16(3), r.s16(2), r.s16(1), r.s16(0));
    QRegion clip = m_dc.clip.value_or(QRegion(m_image.rect()));
    if (exclude) {
        // Each exclusion can split the region further; past a limit it is ignored.
        if (clip.rectCount() >= kMaxClipRects)
            return;
        clip -= QRegion(rect);
    } else {
        clip &= QRegion(rect);
    }
    m_dc.clip = clip;
    applyClip();
}

void Player::applyClip()
{
    if (m_dc.clip)
        m_painter.setClipRegion(*m_dc.clip);
    else
        m_painter.setClipping(false);
}

// --- pens, brushes and painting --------------------------------------------

Stroke Player::currentStroke() const
{
    Stroke s;
    const std::uint16_t style = m_dc.pen.style & PsStyleMask;
    if (style == PsNull) {
        s.pen = QPen(Qt::NoPen);
        return s;
    }
    s.width = m_dc.pen.width == 0 ? 1.0 : qMax(1.0, std::round(m_dc.lengthX(m_dc.pen.width)));
    s.cosmetic = s.width <= 1;
    s.insideFrame = style == PsInsideFrame;
    s.pen = QPen(QColor(m_dc.pen.colour), s.width);
    if (s.cosmetic) {
        // A flat cap on whole coordinates leaves out a line's last pixel, as GDI does.
        s.pen.setCapStyle(Qt::FlatCap);
        s.pen.setJoinStyle(Qt::MiterJoin);
        // GDI's own dash lengths; styled pens wider than a pixel are drawn solid, as there.
        switch (style) {
        case PsDash: s.pen.setDashPattern({18, 6}); break;
        case PsDot: s.pen.setDashPattern({3, 3}); break;
        case PsDashDot: s.pen.setDashPattern({9, 6, 3, 6}); break;
        case PsDashDotDot: s.pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
        default: break;
        }
        return s;
    }
    switch (m_dc.pen.style & PsEndCapMask) {
    case PsEndCapSquare: s.pen.setCapStyle(Qt::SquareCap); break;
    case PsEndCapFlat: s.pen.setCapStyle(Qt::FlatCap); break;
    default: s.pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (m_dc.pen.style & PsJoinMask) {
    case PsJoinBevel: s.pen.setJoinStyle(Qt::BevelJoin); break;
    case PsJoinMiter: s.pen.setJoinStyle(Qt::MiterJoin); break;
    default: s.pen.setJoinStyle(Qt::RoundJoin); break;
    }
    return s;
}

QBrush Player::currentBrush() const
{
    const Brush &b = m_dc.brush;
    switch (b.style) {
    case BsNull: return QBrush(Qt::NoBrush);
    case BsHatched: {
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                      Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        if (b.hatch <= HsDiagCross)
            return QBrush(QColor(b.colour), kHatches[b.hatch]);
        return QBrush(QColor(b.colour));
    }
    case BsDibPattern:
        if (!b.pattern.isNull())
            return QBrush(b.pattern);
        return QBrush(QColor(b.colour));
    default: return QBrush(QColor(b.colour));
    }
}

QRect Player::deviceRect(double l, double t, double r, double b) const
{
    // The pixels a GDI box covers: from its first corner up to, not including, the second.
    const QPoint a = m_dc.toDevice(l, t), c = m_dc.toDevice(r, b);
    const int x = qMin(a.x(), c.x()), y = qMin(a.y(), c.y());
    return QRect(x, y, qMax(a.x(), c.x()) - x, qMax(a.y(), c.y()) - y);
}

QRectF Player::outlineRect(const QRect &box, const Stroke &s) const
{
    // The pen runs through the centres of the figure's edge pixels; an
    // inside-frame pen is pulled in so all of it stays within the box.
    QRectF r(box.left() + 0.5, box.top() + 0.5, box.width() - 1.0, box.height() - 1.0);
    if (s.insideFrame && s.width > 1) {
        const double inset = std::min((s.width - 1) / 2, std::min(r.width(), r.height()) / 2);
        r.adjust(inset, inset, -inset, -inset);
    }
    return r;
}

bool Player::spend(const QRectF &deviceBounds)
{
    const QRectF visible = deviceBounds & QRectF(m_image.rect());
    const qint64 area = visible.isEmpty() ? 0 : qint64(visible.width() * visible.height());
    return charge(area + 1) && !visible.isEmpty();
}

bool Player::charge(qint64 pixels)
{
    m_pixelsLeft -= pixels;
    if (m_pixelsLeft < 0)
        m_stop = true;
    return !m_stop;
}

std::optional<dib::Decoded> Player::decodeDib(const Record &r, qsizetype word, bool paletteIndices)
{
    std::optional<dib::Decoded> decoded = dib::decode(r.bytesAt(word), r.bytesFrom(word), paletteIndices);
    // Decoding costs time in proportion to the bitmap, whatever part is drawn.
    if (decoded && !charge(qint64(decoded->image.width()) * decoded->image.height()))
        return std::nullopt;
    return decoded;
}

bool Player::takePoints(qint64 n)
{
    m_pointsLeft -= n;
    if (m_pointsLeft < 0)
        m_stop = true;
    return !m_stop;
}

template <typename Draw>
void Player::withRop2(Draw &&draw)
{
    m_painter.setBackgroundMode(m_dc.bkMode == Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(QColor(m_dc.bkColour));
    switch (m_dc.rop2) {
    case R2Nop: return;
    case R2Black: draw(QColor(Qt::black)); return;
    case R2White: draw(QColor(Qt::white)); return;
    case R2CopyPen: draw(QColor()); return;
    default: break;
    }
    // QPainter's raster operations keep the destination's alpha. Covering the
    // figure with black underneath first makes undrawn pixels read as opaque
    // black, so the result is opaque like the rest of the drawing.
    m_painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    m_painter.setBackground(QColor(Qt::black));
    draw(QColor(Qt::black));
    m_painter.setBackground(QColor(m_dc.bkColour));
    m_painter.setCompositionMode(*rop2Mode(m_dc.rop2));
    draw(QColor());
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Player::paintFigure(const QPainterPath &fill, const QPainterPath &outline, bool filled)
{
    const Stroke stroke = currentStroke();
    const QBrush brush = filled ? currentBrush() : QBrush(Qt::NoBrush);
    const bool fills = brush.style() != Qt::NoBrush && !fill.isEmpty();
    const bool strokes = stroke.pen.style() != Qt::NoPen && !outline.isEmpty();
    if (!fills && !strokes)
        return;
    QRectF bounds;
    if (fills)
        bounds = fill.boundingRect();
    if (strokes) {
        const double m = stroke.width;
        bounds |= outline.boundingRect().adjusted(-m, -m, m, m);
    }
    if (!spend(bounds.adjusted(-1, -1, 1, 1)))
        return;
    // An invalid colour means "as selected"; a valid one replaces pen and brush colours.
    withRop2([&](const QColor &colour) {
        if (fills)
            m_painter.fillPath(fill, colour.isValid() ? recoloured(brush, colour) : brush);
        if (strokes)
            m_painter.strokePath(outline, colour.isValid() ? recoloured(stroke.pen, colour) : stroke.pen);
    });
}

// --- drawing records ----------------------------------------------------------

void Player::lineTo(const Record &r)
{
    if (!r.has(2))
        return;
    const QPointF to(r.s16(1), r.s16(0));
    const Stroke s = currentStroke();
    const double off = s.cosmetic ? 0.0 : 0.5;
    QPainterPath path(QPointF(m_dc.toDevice(m_dc.currentPosition.x(), m_dc.currentPosition.y())) + QPointF(off, off));
    path.lineTo(QPointF(m_dc.toDevice(to.x(), to.y())) + QPointF(off, off));
    m_dc.currentPosition = to;
    paintFigure({}, path, false);
}

void Player::rectangle(const Record &r)
{
    if (!r.has(4))
        return;
    const QRect box = deviceRect(r.s16(3), r.s16(2), r.s16(1), r.s16(0));
    if (box.isEmpty())
        return;
    const Stroke s = currentStroke();
    // The figure covers the box less its right column and bottom row; without
    // a pen, GDI's fill is that much smaller too. A one-pixel frame is not
    // filled under, so raster operations touch each pixel once.
    const QRectF inner(box.left(), box.top(), box.width() - 1, box.height() - 1);
    const bool framed = s.cosmetic && s.pen.style() != Qt::NoPen;
    const QRectF fillRect = framed ? QRectF(box.left() + 1, box.top() + 1, box.width() - 2, box.height() - 2) : inner;
    QPainterPath fill;
    if (!fillRect.isEmpty())
        fill.addRect(fillRect);
    QPainterPath outline;
    if (s.cosmetic)
        outline.addRect(inner);
    else
        outline.addRect(outlineRect(box, s));
    paintFigure(fill, outline, true);
}

void Player::roundRect(const Record &r)
{
    if (!r.has(6))
        return;
    const QRect box = deviceRect(r.s16(5), r.s16(4), r.s16(3), r.s16(2));
    if (box.isEmpty())
        return;
    const QRectF rect = outlineRect(box, currentStroke());
    const double rx = m_dc.lengthX(r.s16(1)) / 2;
    const double ry = m_dc.lengthY(r.s16(0)) / 2;
    QPainterPath path;
    path.addRoundedRect(rect, std::min(rx, rect.width() / 2), std::min(ry, rect.height() / 2));
    paintFigure(path, path, true);
}

void Player::ellipse(const Record &r)
{
    if (!r.has(4))
        return;
    const QRect box = deviceRect(r.s16(3), r.s16(2), r.s16(1), r.s16(0));
    if (box.isEmpty())
        return;
    QPainterPath path;
    path.addEllipse(outlineRect(box, currentStroke()));
    paintFigure(path, path, true);
}

void Player::arc(const Record &r, std::uint16_t function)
{
    if (!r.has(8))
        return;
    const QRect box = deviceRect(r.s16(7), r.s16(6), r.s16(5), r.s16(4));
    const QRectF rect = outlineRect(box, currentStroke());
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QPointF c = rect.center();
    const double rx = rect.width() / 2, ry = rect.height() / 2;
    // The radials through the two points meet the ellipse at these parametric
    // angles; QPainterPath measures angles the same way, counter-clockwise on screen.
    auto angleOf = [&](double x, double y) {
        const QPointF p = m_dc.toDevice(x, y);
        return std::atan2(-(p.y() + 0.5 - c.y()) / ry, (p.x() + 0.5 - c.x()) / rx) * 180.0 / std::numbers::pi;
    };
    const double start = angleOf(r.s16(3), r.s16(2));
    const double end = angleOf(r.s16(1), r.s16(0));
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0)
        sweep += 360.0;
    QPainterPath path;
    if (function == Pie) {
        path.moveTo(c);
        path.arcTo(rect, start, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(rect, start);
        path.arcTo(rect, start, sweep);
        if (function == Chord)
            path.closeSubpath();
    }
    paintFigure(function == Arc ? QPainterPath() : path, path, function != Arc);
}

void Player::polygon(const Record &r, bool closed)
{
    if (!r.has(1))
        return;
    const qint64 n = r.s16(0);
    if (n <= 0 || !r.has(1 + 2 * n) || !takePoints(n))
        return;
    const double off = currentStroke().cosmetic ? 0.0 : 0.5;
    QPolygonF fillPoints, strokePoints;
    fillPoints.reserve(n);
    strokePoints.reserve(n);
    for (qint64 i = 0; i < n; ++i) {
        const QPointF p = m_dc.toDevice(r.s16(1 + 2 * i), r.s16(2 + 2 * i));
        fillPoints << p;
        strokePoints << p + QPointF(off, off);
    }
    QPainterPath fill, outline;
    outline.addPolygon(strokePoints);
    if (closed) {
        outline.closeSubpath();
        fill.addPolygon(fillPoints);
        fill.closeSubpath();
        fill.setFillRule(m_dc.polyFillMode == Winding ? Qt::WindingFill : Qt::OddEvenFill);
    }
    paintFigure(fill, outline, closed);
}

void Player::polyPolygon(const Record &r)
{
    if (!r.has(1))
        return;
    const qint64 polygons = r.u16(0);
    if (!r.has(1 + polygons))
        return;
    qint64 total = 0;
    for (qint64 i = 0; i < polygons; ++i)
        total += r.u16(1 + i);
    const qint64 first = 1 + polygons;
    if (!r.has(first + 2 * total) || !takePoints(total + polygons))
        return;
    const double off = currentStroke().cosmetic ? 0.0 : 0.5;
    QPainterPath fill, outline;
    fill.setFillRule(m_dc.polyFillMode == Winding ? Qt::WindingFill : Qt::OddEvenFill);
    qint64 at = first;
    for (qint64 i = 0; i < polygons; ++i) {
        const qint64 n = r.u16(1 + i);
        QPolygonF points;
        points.reserve(n);
        for (qint64 k = 0; k < n; ++k, at += 2)
            points << QPointF(m_dc.toDevice(r.s16(at), r.s16(at + 1)));
        if (points.isEmpty())
            continue;
        fill.addPolygon(points);
        fill.closeSubpath();
        outline.addPolygon(points.translated(off, off));
        outline.closeSubpath();
    }
    paintFigure(fill, outline, true);
}

void Player::setPixel(const Record &r)
{
    if (!r.has(4))
        return;
    const QPoint p = m_dc.toDevice(r.s16(3), r.s16(2));
    if (!spend(QRectF(p, QSizeF(1, 1))))
        return;
    m_painter.fillRect(QRect(p, QSize(1, 1)), QColor(colourRef(r.u32(0))));
}

// --- text ---------------------------------------------------------------------

void Player::textOut(const Record &r)
{
    if (!r.has(1))
        return;
    const qint64 length = r.s16(0);
    const qint64 stringWords = (length + 1) / 2;
    if (length < 0 || !r.has(1 + stringWords + 2))
        return;
    const QByteArray bytes(reinterpret_cast<const char *>(r.bytesAt(1)), qsizetype(length));
    drawText(r.s16(2 + stringWords), r.s16(1 + stringWords), bytes, 0, nullptr, {});
}

void Player::extTextOut(const Record &r)
{
    if (!r.has(4))
        return;
    const qint64 length = r.s16(2);
    const std::uint16_t options = r.u16(3);
    qint64 at = 4;
    QRect rect;
    const bool hasRect = options & (EtoOpaque | EtoClipped);
    if (hasRect) {
        if (!r.has(8))
            return;
        rect = QRect(QPoint(r.s16(4), r.s16(5)), QPoint(r.s16(6), r.s16(7)));
        at = 8;
    }
    const qint64 stringWords = (length + 1) / 2;
    if (length < 0 || !r.has(at + stringWords))
        return;
    const QByteArray bytes(reinterpret_cast<const char *>(r.bytesAt(at)), qsizetype(length));
    // The spacing array is optional; when present it has one entry per byte.
    std::vector<qint16> dx;
    if (length > 0 && r.has(at + stringWords + length)) {
        dx.reserve(size_t(length));
        for (qint64 i = 0; i < length; ++i)
            dx.push_back(r.s16(at + stringWords + i));
    }
    drawText(r.s16(1), r.s16(0), bytes, options, hasRect ? &rect : nullptr, dx);
}

QFont Player::currentFont() const
{
    const Font &f = m_dc.font;
    QFont font;
    if (!f.face.isEmpty())
        font.setFamily(ansi::decode(f.face));
    constexpr double kDefaultHeight = 12;
    const double height = std::clamp(f.height == 0 ? kDefaultHeight : m_dc.lengthY(f.height), 1.0, double(kMaxSide));
    font.setPixelSize(int(std::lround(height)));
    if (f.height > 0) {
        // A positive height is the cell height (ascent + descent), not the em size.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            font.setPixelSize(qMax(1, int(std::lround(height * height / cell))));
    }
    font.setWeight(QFont::Weight(f.weight <= 0 ? 400 : qMin<int>(f.weight, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void Player::drawText(double x, double y, const QByteArray &bytes, std::uint16_t options, const QRect *logicalRect,
                      const std::vector<qint16> &dx)
{
    std::optional<QRect> deviceClip;
    if (logicalRect) {
        const QRect box =
            deviceRect(logicalRect->left(), logicalRect->top(), logicalRect->right(), logicalRect->bottom());
        if (options & EtoOpaque) {
            if (spend(box))
                m_painter.fillRect(box, QColor(m_dc.bkColour));
        }
        if (options & EtoClipped)
            deviceClip = box;
    }
    // Glyphs need the font database, which exists only with a QGuiApplication.
    if (bytes.isEmpty() || !m_textAvailable || m_stop)
        return;

    const QFont font = currentFont();
    const QFontMetricsF metrics(font);
    const QString text = ansi::decode(bytes);
    const bool updateCp = m_dc.textAlign & TaUpdateCp;
    const QPointF ref = updateCp ? m_dc.currentPosition : QPointF(x, y);
    const QPointF origin = m_dc.toDevice(ref.x(), ref.y());

    std::vector<double> advances;
    double width = 0;
    if (!dx.empty()) {
        for (qint16 d : dx) {
            advances.push_back(m_dc.lengthX(d) * (d < 0 ? -1 : 1));
            width += advances.back();
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }

    double left = 0;
    switch (m_dc.textAlign & TaHorizontalMask) {
    case TaRight: left = -width; break;
    case TaCenter: left = -width / 2; break;
    default: break;
    }
    double baseline = metrics.ascent();
    switch (m_dc.textAlign & TaVerticalMask) {
    case TaBottom: baseline = -metrics.descent(); break;
    case TaBaseline: baseline = 0; break;
    default: break;
    }
    const QRectF cell(left, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent());
    QTransform toDevice;
    toDevice.translate(origin.x(), origin.y());
    toDevice.rotate(-m_dc.font.escapement / 10.0);
    if (!spend(toDevice.mapRect(cell)))
        return;

    m_painter.save();
    if (deviceClip)
        m_painter.setClipRect(*deviceClip, m_dc.clip ? Qt::IntersectClip : Qt::ReplaceClip);
    m_painter.setTransform(toDevice);
    if (m_dc.bkMode == Opaque)
        m_painter.fillRect(cell, QColor(m_dc.bkColour));
    m_painter.setFont(font);
    m_painter.setPen(QColor(m_dc.textColour));
    if (advances.empty()) {
        m_painter.drawText(QPointF(left, baseline), text);
    } else {
        double pen = left;
        for (qsizetype i = 0; i < text.size() && size_t(i) < advances.size(); ++i) {
            m_painter.drawText(QPointF(pen, baseline), QString(text[i]));
            pen += advances[size_t(i)];
        }
    }
    m_painter.restore();

    if (updateCp) {
        const double sx = m_dc.scaleX();
        const double moved = (m_dc.textAlign & TaHorizontalMask) == TaCenter ? 0 : (left < 0 ? -width : width);
        m_dc.currentPosition.rx() += moved / sx;
    }
}

// --- blits --------------------------------------------------------------------

void Player::fillDevice(const QRectF &rect, const QBrush &brush, std::uint8_t rop3)
{
    if (rop3 == DstCopy || !spend(rect))
        return;
    auto fill = [&](QPainter::CompositionMode mode, const QBrush &b) {
        if (isRasterOp(mode)) {
            m_painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            m_painter.fillRect(rect, Qt::black);
        }
        m_painter.setCompositionMode(mode);
        m_painter.fillRect(rect, b);
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    };
    switch (rop3) {
    case Blackness: fill(QPainter::CompositionMode_SourceOver, Qt::black); break;
    case Whiteness: fill(QPainter::CompositionMode_SourceOver, Qt::white); break;
    case DstInvert: fill(QPainter::RasterOp_NotDestination, Qt::black); break;
    case PatInvert: fill(QPainter::RasterOp_SourceXorDestination, brush); break;
    default:
        // PATCOPY, and the pattern-only operations we have no mode for.
        fill(QPainter::CompositionMode_SourceOver, brush);
        break;
    }
}

void Player::patBlt(const Record &r)
{
    if (!r.has(6))
        return;
    const std::uint8_t rop3 = (r.u32(0) >> 16) & 0xFF;
    const double h = r.s16(2), w = r.s16(3), y = r.s16(4), x = r.s16(5);
    const QRect box = deviceRect(x, y, x + w, y + h);
    m_painter.setBackgroundMode(m_dc.bkMode == Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(QColor(m_dc.bkColour));
    fillDevice(box, currentBrush(), rop3);
}

void Player::dibBlt(const Record &r)
{
    const std::uint16_t f = r.function();
    // Without a bitmap the record is one word longer than its function's
    // parameter count says and acts like PATBLT.
    const bool noBitmap = f != StretchDib && r.words() == (f >> 8);
    if (!r.has(2))
        return;
    const std::uint32_t rop = r.u32(0);
    const std::uint8_t rop3 = (rop >> 16) & 0xFF;
    if (f == DibBitBlt) {
        const qsizetype d = noBitmap ? 1 : 0; // the reserved word
        if (!r.has(8 + d))
            return;
        const double ySrc = r.s16(2), xSrc = r.s16(3), h = r.s16(4 + d), w = r.s16(5 + d);
        const double yDst = r.s16(6 + d), xDst = r.s16(7 + d);
        if (noBitmap || !ropUsesSource(rop3)) {
            fillDevice(deviceRect(xDst, yDst, xDst + w, yDst + h), currentBrush(), rop3);
            return;
        }
        if (auto src = decodeDib(r, 8))
            blitImage(rop, *src, xSrc, ySrc, w, h, xDst, yDst, w, h);
        return;
    }
    const qsizetype u = f == StretchDib ? 1 : 0;     // colour usage before the source
    const qsizetype d = u + (noBitmap ? 1 : 0);      // ... or the reserved word after it
    if (!r.has(10 + d))
        return;
    const double hSrc = r.s16(2 + u), wSrc = r.s16(3 + u), ySrc = r.s16(4 + u), xSrc = r.s16(5 + u);
    const double hDst = r.s16(6 + d), wDst = r.s16(7 + d), yDst = r.s16(8 + d), xDst = r.s16(9 + d);
    if (noBitmap || !ropUsesSource(rop3)) {
        fillDevice(deviceRect(xDst, yDst, xDst + wDst, yDst + hDst), currentBrush(), rop3);
        return;
    }
    const bool palette = f == StretchDib && r.u16(2) == DibPalColours;
    if (auto src = decodeDib(r, 10 + d, palette))
        blitImage(rop, *src, xSrc, ySrc, wSrc, hSrc, xDst, yDst, wDst, hDst);
}

void Player::blitImage(std::uint32_t rop, const dib::Decoded &src, double xSrc, double ySrc, double wSrc,
                       double hSrc, double xDst, double yDst, double wDst, double hDst)
{
    if (wSrc == 0 || hSrc == 0)
        return;
    const QPointF a = m_dc.toDevice(xDst, yDst);
    const QPointF b = m_dc.toDevice(xDst + wDst, yDst + hDst);
    const bool mirrorX = (b.x() < a.x()) != (wSrc < 0);
    const bool mirrorY = (b.y() < a.y()) != (hSrc < 0);
    const QRectF target = QRectF(a, b).normalized();
    if (target.isEmpty())
        return;

    // Source rectangle in the decoded image, whose top row comes first; for a
    // bottom-up DIB the record's source y counts from the bottom row.
    QRectF source = QRectF(xSrc, ySrc, wSrc, hSrc).normalized();
    if (src.bottomUp)
        source.moveTop(src.image.height() - source.bottom());
    const QRectF crop = source & QRectF(src.image.rect());
    if (crop.isEmpty())
        return;
    const double fx = target.width() / source.width();
    const double fy = target.height() / source.height();
    QRectF dest(0, 0, crop.width() * fx, crop.height() * fy);
    dest.moveLeft(mirrorX ? target.right() - (crop.right() - source.left()) * fx
                          : target.left() + (crop.left() - source.left()) * fx);
    dest.moveTop(mirrorY ? target.bottom() - (crop.bottom() - source.top()) * fy
                         : target.top() + (crop.top() - source.top()) * fy);
    if (!spend(dest))
        return;
    const QImage piece = src.image.copy(crop.toAlignedRect()).mirrored(mirrorX, mirrorY);
    const QPainter::CompositionMode mode = rop3SourceMode((rop >> 16) & 0xFF);
    if (isRasterOp(mode)) {
        m_painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        m_painter.fillRect(dest, Qt::black);
    }
    m_painter.setCompositionMode(mode);
    m_painter.drawImage(dest, piece);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace

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
    return image.convertToFormat(QImage::Format_ARGB32);
}
