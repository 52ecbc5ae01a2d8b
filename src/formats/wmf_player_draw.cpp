// Drawing records: lines, figures, text and bitmaps.

#include "formats/wmf_player.h"

#include <cmath>
#include <numbers>

namespace wmf {

template <typename Draw> void Player::withRop2(Draw &&draw)
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
    const qsizetype u = f == StretchDib ? 1 : 0; // colour usage before the source
    const qsizetype d = u + (noBitmap ? 1 : 0);  // ... or the reserved word after it
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

void Player::blitImage(std::uint32_t rop, const dib::Decoded &src, double xSrc, double ySrc, double wSrc, double hSrc,
                       double xDst, double yDst, double wDst, double hDst)
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

} // namespace wmf
