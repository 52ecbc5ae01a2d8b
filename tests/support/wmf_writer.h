#pragma once
// Builds Windows Metafiles for tests: a plain or placeable header, then records
// appended by name with their parameters in file order handled here. The header
// fields (file size, largest record, object count) and the placeable checksum
// are worked out when data() is called.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRgb>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

class WmfWriter
{
public:
    static WmfWriter plain();
    // Bounding box in logical units and how many of them make an inch.
    static WmfWriter placeable(int left, int top, int right, int bottom, std::uint16_t unitsPerInch);

    // --- header overrides for damaged files
    WmfWriter &setObjectCount(int count); // default: as many slots as the records need
    WmfWriter &corruptChecksum();
    WmfWriter &omitEof();

    // --- records
    // Any record: the size field counts the three header words plus the params.
    WmfWriter &record(std::uint16_t function, std::initializer_list<int> words);
    WmfWriter &record(std::uint16_t function, const QList<int> &words, const QByteArray &tail = {});
    // A record whose size field says sizeWords whatever params follow.
    WmfWriter &rawRecord(std::uint32_t sizeWords, std::uint16_t function, const QByteArray &params);

    WmfWriter &setWindowOrg(int x, int y);
    WmfWriter &setWindowExt(int w, int h);
    WmfWriter &setViewportOrg(int x, int y);
    WmfWriter &setViewportExt(int w, int h);
    WmfWriter &setMapMode(int mode);
    WmfWriter &setBkColor(QRgb c);
    WmfWriter &setBkMode(int mode);
    WmfWriter &setTextColor(QRgb c);
    WmfWriter &setTextAlign(int align);
    WmfWriter &setPolyFillMode(int mode);
    WmfWriter &setRop2(int rop);

    WmfWriter &createPen(int style, int width, QRgb c);
    WmfWriter &createBrush(int style, QRgb c, int hatch = 0);
    WmfWriter &createFont(int height, const QByteArray &face, int weight = 400, int escapement = 0);
    WmfWriter &createPatternBrush(const QByteArray &dib);
    WmfWriter &createPalette(); // takes a slot, like any object
    WmfWriter &selectObject(int index);
    WmfWriter &deleteObject(int index);

    WmfWriter &saveDc();
    WmfWriter &restoreDc(int which);
    WmfWriter &intersectClipRect(int l, int t, int r, int b);
    WmfWriter &excludeClipRect(int l, int t, int r, int b);

    WmfWriter &moveTo(int x, int y);
    WmfWriter &lineTo(int x, int y);
    WmfWriter &rectangle(int l, int t, int r, int b);
    WmfWriter &roundRect(int l, int t, int r, int b, int cornerW, int cornerH);
    WmfWriter &ellipse(int l, int t, int r, int b);
    // Arc, pie and chord: box, then the start and end radial points.
    WmfWriter &arc(int l, int t, int r, int b, QPoint start, QPoint end);
    WmfWriter &pie(int l, int t, int r, int b, QPoint start, QPoint end);
    WmfWriter &chord(int l, int t, int r, int b, QPoint start, QPoint end);
    WmfWriter &polygon(const QPolygon &points);
    WmfWriter &polyline(const QPolygon &points);
    WmfWriter &polyPolygon(const QList<QPolygon> &polygons);
    WmfWriter &setPixel(int x, int y, QRgb c);
    WmfWriter &textOut(int x, int y, const QByteArray &text);
    // rect is the cells it covers; it is stored as a RECT whose right and bottom lie one past them.
    WmfWriter &extTextOut(int x, int y, int options, std::optional<QRect> rect, const QByteArray &text,
                          const QList<int> &dx = {});
    WmfWriter &patBlt(int x, int y, int w, int h, std::uint32_t rop);
    // Blits of an embedded DIB; the source rectangle defaults to the whole bitmap.
    WmfWriter &stretchDib(int x, int y, int w, int h, const QByteArray &dib, QRect source,
                          std::uint32_t rop = kSrcCopy);
    WmfWriter &dibStretchBlt(int x, int y, int w, int h, const QByteArray &dib, QRect source,
                             std::uint32_t rop = kSrcCopy);
    WmfWriter &dibBitBlt(int x, int y, int w, int h, const QByteArray &dib, QPoint source = {},
                         std::uint32_t rop = kSrcCopy);

    QByteArray data() const;

    // A BITMAPINFOHEADER DIB of the image at 1, 4, 8, 16, 24 or 32 bpp, rows
    // bottom-up unless topDown. Paletted depths take the image's distinct colours,
    // which must fit; returns empty data if they do not.
    static QByteArray dib(const QImage &image, int bitsPerPixel, bool topDown = false);
    // Just the 40-byte header, for hand-made damaged bitmaps.
    static QByteArray dibHeader(std::int32_t width, std::int32_t height, int bitsPerPixel,
                                std::uint32_t compression = 0, std::uint32_t coloursUsed = 0);

    static constexpr std::uint32_t kSrcCopy = 0x00CC0020;
    static constexpr std::uint32_t kSrcInvert = 0x00660046;
    static constexpr std::uint32_t kPatCopy = 0x00F00021;
    static constexpr std::uint32_t kBlackness = 0x00000042;

private:
    WmfWriter() = default;
    void allocateSlot();
    WmfWriter &arcLike(std::uint16_t function, int l, int t, int r, int b, QPoint start, QPoint end);
    WmfWriter &poly(std::uint16_t function, const QPolygon &points);
    WmfWriter &blit(std::uint16_t function, QList<int> words, const QByteArray &dib);

    std::optional<std::array<int, 4>> m_placeableBox; // left, top, right, bottom
    std::uint16_t m_unitsPerInch = 0;
    bool m_badChecksum = false;
    bool m_eof = true;
    std::optional<int> m_objectCount;
    std::vector<bool> m_slots;
    QByteArray m_records;
    std::uint32_t m_maxRecordWords = 3;
};
