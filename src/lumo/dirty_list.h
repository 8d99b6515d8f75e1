// The list of areas of a film that its next redraw recomposes. The rectangles
// never overlap, so no pixel is composed twice in one redraw.
#pragma once

#include <vector>

#include "rect.h"

namespace lumo {

class DirtyList {
public:
    // Adds r (film coordinates), clipped to the film's width by height. Listed
    // rectangles that r covers are dropped, ones it partly covers are cut down
    // to what lies outside it, and r shrinks where it sticks out of a listed
    // rectangle on one side only.
    void add(Rect r, int width, int height);
    void clear() { mRects.clear(); }

    const std::vector<Rect>& rects() const { return mRects; }
    bool empty() const { return mRects.empty(); }

private:
    std::vector<Rect> mRects;
};

}  // namespace lumo
