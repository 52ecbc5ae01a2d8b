#pragma once
// GDI objects a metafile creates (pens, brushes, fonts) and the table that
// holds them by index, as CREATE*/SELECTOBJECT/DELETEOBJECT records use it.

#include "formats/wmf_records.h"

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <variant>
#include <vector>

namespace wmf {

struct Pen
{
    std::uint16_t style = PsSolid;
    qint16 width = 0; // logical units; 0 means one device pixel
    QRgb colour = qRgb(0, 0, 0);
};

struct Brush
{
    std::uint16_t style = BsSolid;
    QRgb colour = qRgb(255, 255, 255);
    std::uint16_t hatch = HsHorizontal;
    QImage pattern; // BS_DIBPATTERN brushes only
};

struct Font
{
    qint16 height = 0; // <0: character height, >0: cell height, 0: default
    qint16 width = 0;
    qint16 escapement = 0; // tenths of a degree, counter-clockwise
    qint16 weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = 0;
    QByteArray face; // as stored: up to 32 bytes, ANSI
};

// Palettes, regions and old-style pattern brushes still take a table slot so
// the indexes of later objects stay right, but selecting them changes nothing.
struct Placeholder
{ };

using Object = std::variant<Pen, Brush, Font, Placeholder>;

class ObjectTable
{
public:
    // The header's count is only a limit: slots are made as objects are
    // created, so a count no record backs costs nothing.
    explicit ObjectTable(int capacity)
        : m_capacity(qMax(0, capacity))
    {
    }

    // Stores the object in the lowest free slot; nullopt when the table is full.
    std::optional<int> add(Object object)
    {
        int index;
        if (!m_freed.empty()) {
            index = m_freed.top();
            m_freed.pop();
        } else if (m_neverUsed < m_capacity) {
            index = m_neverUsed++;
            m_slots.emplace_back();
        } else {
            return std::nullopt;
        }
        m_slots[size_t(index)] = std::move(object);
        return index;
    }

    const Object *at(int index) const
    {
        if (index < 0 || index >= int(m_slots.size()) || !m_slots[size_t(index)])
            return nullptr;
        return &*m_slots[size_t(index)];
    }

    bool remove(int index)
    {
        if (!at(index))
            return false;
        m_slots[size_t(index)].reset();
        m_freed.push(index);
        return true;
    }

private:
    int m_capacity;
    std::vector<std::optional<Object>> m_slots; // slots below m_neverUsed
    // Slots below m_neverUsed that were freed, smallest first; every slot from
    // m_neverUsed up is free, so the lowest free slot is found without a scan.
    std::priority_queue<int, std::vector<int>, std::greater<int>> m_freed;
    int m_neverUsed = 0;
};

} // namespace wmf
