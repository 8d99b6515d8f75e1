// Rectangles of film coordinates: left and top inclusive, right and bottom
// exclusive.
#pragma once

#include <algorithm>
#include <cstdint>

namespace lumo {

// Positions, sizes, offsets and cursors stay within this range, so that sums
// of a few of them never overflow, whatever values a host sends.
constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 24;

inline int clampCoordinate(std::int64_t v) {
    return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }

    Rect moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool contains(const Rect& r) const {
        return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
    }
    bool overlaps(const Rect& r) const {
        return r.left < right && left < r.right && r.top < bottom && top < r.bottom;
    }
    bool operator==(const Rect&) const = default;
};

inline Rect intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The bounding box of both; an empty rectangle adds nothing.
inline Rect unite(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace lumo
