// State records (extents, objects, saved states, clipping) and the helpers
// the drawing records share.

#include "formats/wmf_player.h"

namespace wmf {

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
    std::optional<dib::Decoded> decoded = dib::decode(ByteView(r.bytesAt(word), r.bytesFrom(word)), paletteIndices);
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

} // namespace wmf
