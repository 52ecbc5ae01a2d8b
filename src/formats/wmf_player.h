#pragma once
// The metafile player: the device-context state, the object table and the
// drawing records, shared by the files that play records (framing and
// dispatch in wmf_renderer.cpp, state records in wmf_player_state.cpp,
// drawing records in wmf_player_draw.cpp). Internal to the renderer.

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

namespace wmf {

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

// GDI values as QPainter settings.
QRgb colourRef(std::uint32_t v);
std::optional<QPainter::CompositionMode> rop2Mode(std::uint16_t rop2);
bool ropUsesSource(std::uint8_t rop3);
QPainter::CompositionMode rop3SourceMode(std::uint8_t rop3);
bool isRasterOp(QPainter::CompositionMode mode);
QPen recoloured(QPen pen, const QColor &c);
QBrush recoloured(const QBrush &brush, const QColor &c);

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
        : m_image(image)
        , m_painter(&image)
        , m_objects(layout.objectCount)
        , m_textAvailable(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
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

    template <typename Draw> void withRop2(Draw &&draw);

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

} // namespace wmf
