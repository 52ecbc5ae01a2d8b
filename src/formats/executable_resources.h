#pragma once
// Where an executable or library keeps its icons: the icon groups in the
// order they are numbered and the images they name, found through a PE
// resource directory or an NE resource table. Only positions are read here;
// every one is checked against the file before it is returned.

#include "formats/byte_view.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace iconres {

// Real libraries hold hundreds of icons, a few thousand at most. Resource
// entries can all share one image, so without a cap a small file could ask
// for any number of icons. No library yields more.
inline constexpr int kMaxIcons = 10000;

struct Span
{
    qint64 offset = 0;
    qint64 size = 0;
    auto operator<=>(const Span &) const = default;
};

// Where a file keeps its icon groups and the images they name.
struct Library
{
    std::vector<Span> groups;                    // extraction order
    std::vector<std::pair<quint16, Span>> icons; // by id; the first of duplicates

    void sortIcons()
    {
        std::stable_sort(icons.begin(), icons.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        icons.erase(
            std::unique(icons.begin(), icons.end(), [](const auto &a, const auto &b) { return a.first == b.first; }),
            icons.end());
    }
    std::optional<Span> icon(quint16 id) const
    {
        const auto it =
            std::lower_bound(icons.begin(), icons.end(), id, [](const auto &e, quint16 v) { return e.first < v; });
        if (it == icons.end() || it->first != id)
            return std::nullopt;
        return it->second;
    }
};

// The icon library of a PE or NE file; std::nullopt for anything else or a
// damaged table.
std::optional<Library> indexExecutable(ByteView f);

} // namespace iconres
