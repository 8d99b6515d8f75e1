#include "dirty_list.h"

namespace lumo {

namespace {

// How many sides of r reach beyond e; r and e overlap.
int sidesOutside(const Rect& r, const Rect& e) {
    return (r.left < e.left) + (r.top < e.top) + (r.right > e.right) + (r.bottom > e.bottom);
}

// r sticks out of e on exactly one side: the part of r beyond that side.
Rect partOutside(const Rect& r, const Rect& e) {
    if (r.left < e.left) return {r.left, r.top, e.left, r.bottom};
    if (r.right > e.right) return {e.right, r.top, r.right, r.bottom};
    if (r.top < e.top) return {r.left, r.top, r.right, e.top};
    return {r.left, e.bottom, r.right, r.bottom};
}

// e minus r as at most two (crossing: the two sides; corner or edge: the band
// above or below r, then the part beside r within r's band) rectangles.
void appendRemainder(std::vector<Rect>& out, const Rect& e, const Rect& r) {
    auto keep = [&out](const Rect& part) {
        if (!part.empty()) out.push_back(part);
    };
    keep({e.left, e.top, e.right, r.top});
    keep({e.left, r.bottom, e.right, e.bottom});
    const int top = std::max(e.top, r.top);
    const int bottom = std::min(e.bottom, r.bottom);
    keep({e.left, top, r.left, bottom});
    keep({r.right, top, e.right, bottom});
}

}  // namespace

void DirtyList::add(Rect r, int width, int height) {
    r = intersect(r, {0, 0, width, height});
    if (r.empty()) return;
    std::vector<Rect> kept;
    kept.reserve(mRects.size() + 2);
    for (const Rect& e : mRects) {
        if (!e.overlaps(r)) {
            kept.push_back(e);
            continue;
        }
        if (e.contains(r)) return;
        if (r.contains(e)) continue;
        if (sidesOutside(r, e) == 1) {
            kept.push_back(e);
            r = partOutside(r, e);
        } else {
            appendRemainder(kept, e, r);
        }
    }
    kept.push_back(r);
    mRects = std::move(kept);
}

}  // namespace lumo
