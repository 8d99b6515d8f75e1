// The film record: one layer of the picture, a node of the film tree.
//
// Index
//   [SECTION] Picture: colour image, alpha map, mask
//   [SECTION] Text state
//   [SECTION] Film record
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dirty_list.h"
#include "lumo.h"
#include "pixel_buffer.h"
#include "rect.h"

// The type behind the opaque pointer that redraw procedures receive.
struct LumoFilm {};

namespace lumo {

class Font;

// [SECTION] Picture: colour image, alpha map, mask ======================

// An owned buffer together with the surface through which the host sees it.
// The surface keeps its address for the film's life; its fields follow every
// reallocation.
class OwnedSurface {
public:
    explicit OwnedSurface(int bytesPerPixel) : mBytesPerPixel(bytesPerPixel) { sync(); }

    void resize(int width, int height) {
        mStore.resize(width, height, mBytesPerPixel);
        sync();
    }
    void replace(PixelStore&& store) {
        mStore = std::move(store);
        sync();
    }
    void clear() { mStore.clear(); }

    const PixelBuffer& buffer() const { return mStore.buffer(); }
    LumoSurface* surface() { return &mSurface; }

private:
    void sync() {
        const PixelBuffer& b = mStore.buffer();
        mSurface.width = b.width;
        mSurface.height = b.height;
        mSurface.stride = b.stride;
        mSurface.bytes_per_pixel = mBytesPerPixel;
        mSurface.pixels = b.bits;
    }

    int mBytesPerPixel;
    PixelStore mStore;
    LumoSurface mSurface{};
};

struct Picture {
    OwnedSurface image{3};
    OwnedSurface alpha{1};
    int sourceX = 0;
    int sourceY = 0;
    int declaredWidth = 0;
    int declaredHeight = 0;
    Rect opaqueBounds;
    int imageSource = -1;  // film whose image and alpha map are drawn; -1 own
    int blendMode = LUMO_BLEND_DIRECT;
    OwnedSurface mask{1};
    int maskX = 0;
    int maskY = 0;
    int maskSource = -1;  // film whose mask is used; -1 own
};

// [SECTION] Text state ==================================================

struct TextStyle {
    std::string face;  // CP932 bytes
    std::uint32_t color = 0xFFFFFF;
    int size = 24;
    int pitch = 24;
    int linePitch = 24;
    int delay = 0;
};

struct Paragraph;  // UTF-8 text laid out ahead of printing (text_paragraph.h)

struct TextState {
    int cursorX = 0;
    int cursorY = 0;
    TextStyle style;
    std::shared_ptr<Font> font;  // opened at the first glyph; dropped when face or size change
    Rect printed;                // everything printed since the last clear, image coordinates
    int shown = 0;
    int total = 0;
    std::string buffer;
    std::size_t readPosition = 0;
    // UTF-8 text (LS_TEXT_ENCODING when the film was made): where each append
    // began, as no cluster spans two, and the paragraph being printed.
    bool utf8 = false;
    std::vector<std::size_t> seams;
    std::shared_ptr<Paragraph> paragraph;

    // Empties the buffer and resets cursor, counts and printed area.
    void reset() {
        cursorX = cursorY = 0;
        printed = {};
        shown = total = 0;
        buffer.clear();
        readPosition = 0;
        seams.clear();
        paragraph.reset();
    }
};

// [SECTION] Film record =================================================

enum class RedrawRoutine { Normal, Frozen, Procedure };

struct Film : LumoFilm {
    Film(int filmId, std::uint32_t filmType) : id(filmId), type(filmType) {}

    bool has(std::uint32_t capability) const { return (type & capability) != 0; }
    int width() const { return rect.width(); }
    int height() const { return rect.height(); }

    // The part of the parent that the film can cover, in the parent's
    // coordinates: its rectangle, narrowed to the opaque bounds of the
    // picture for films with an alpha map.
    Rect visibleRect() const {
        if (!has(LUMO_FILM_ALPHA)) return rect;
        return intersect(
            picture.opaqueBounds.moved(rect.left - picture.sourceX, rect.top - picture.sourceY),
            rect);
    }

    int id;
    int screenSlot = -1;
    RedrawRoutine redrawRoutine = RedrawRoutine::Normal;
    bool procedureInstalled = false;
    LumoRedrawFuncs procedure{};  // the routines copied at install
    std::uint32_t type;

    Film* parent = nullptr;
    Film* nextSibling = nullptr;
    Film* firstChild = nullptr;
    int childCount = 0;

    int live = 1;
    bool dirty = false;
    bool subtreeChanged = false;
    Rect present;  // changed area awaiting the present step; films without parent
    Rect rect;     // position and size in the parent
    DirtyList dirtyList;

    int opacity = 256;
    int softness = 0;
    Picture picture;
    int brightness = 128;
    int saturation = 128;
    std::unique_ptr<TextState> text;
    int params[3] = {0, 0, 0};
};

}  // namespace lumo
