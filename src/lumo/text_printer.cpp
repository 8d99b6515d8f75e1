// Printing a text film's buffer: each element of the mark language takes its
// effect on the film; two-byte characters become glyphs in the alpha map.
#include <algorithm>

#include "buffer_ops.h"
#include "engine.h"
#include "film_ops.h"
#include "font_set.h"
#include "glyph_renderer.h"
#include "text_marks.h"
#include "text_paragraph.h"

namespace lumo {

namespace {

// A printed area (image coordinates) joins the text rectangle and is redrawn
// in the parent. A film without parent prints silently into its buffers.
void showPrinted(Engine& engine, Film& film, const Rect& area) {
    if (!film.parent) return;
    film.text->printed = unite(film.text->printed, area);
    addDirtyRect(film, area.moved(-film.picture.sourceX, -film.picture.sourceY));
    markChanged(engine, film);
}

void printCharacter(Engine& engine, Film& film, std::uint8_t lead, std::uint8_t trail) {
    TextState& text = *film.text;
    const int size = static_cast<int>(std::min<std::int64_t>(text.style.size, kCoordinateLimit));
    if (size < 1) return;
    if (!text.font) text.font = engine.fonts().open(text.style.face, size);
    const PixelBuffer glyph = text.font->glyph(lead, trail);
    copyBlock(film.picture.alpha.buffer(), text.cursorX, text.cursorY, glyph, 0, 0, size, size);
    fillBlock(film.picture.image.buffer(), text.cursorX, text.cursorY, size, size,
              text.style.color);
    showPrinted(engine, film,
                {text.cursorX, text.cursorY, text.cursorX + size, text.cursorY + size});
}

// "M": a picture from the glyph film stands in for a character.
void printPicture(Engine& engine, Film& film, const std::int32_t (&r)[4]) {
    TextState& text = *film.text;
    const int width = r[2] - r[0];
    const int height = r[3] - r[1];
    const Film* glyphs = engine.films.get(engine.glyphFilm);
    if (glyphs && width > 0 && height > 0) {
        const Picture& from = glyphs->picture;
        copyBlock(film.picture.image.buffer(), text.cursorX, text.cursorY, from.image.buffer(),
                  r[0], r[1], width, height);
        copyBlock(film.picture.alpha.buffer(), text.cursorX, text.cursorY, from.alpha.buffer(),
                  r[0], r[1], width, height);
        showPrinted(engine, film,
                    {text.cursorX, text.cursorY, text.cursorX + width, text.cursorY + height});
        text.cursorX = clampCoordinate(std::int64_t{text.cursorX} + width);
    }
}

int roundUnits(std::int32_t units) {
    return (units + 32) >> 6;
}

// One grapheme cluster of UTF-8 text, placed as its paragraph's layout says;
// the paragraph is laid out when the cluster is not in the current one
// (`index` below 0).
int printCluster(Engine& engine, Film& film, std::ptrdiff_t index) {
    TextState& text = *film.text;
    if (index < 0) {
        text.paragraph = layOutParagraphAt(engine, film);
        index = text.paragraph->clusterAt(text.readPosition);
    }
    Paragraph& p = *text.paragraph;
    if (index < 0 || static_cast<std::size_t>(index) >= p.layout.clusters.size()) {
        ++text.readPosition;  // unreachable for a paragraph that starts here; never loop
        return 0;
    }
    const auto i = static_cast<std::size_t>(index);
    const LaidCluster& cluster = p.layout.clusters[i];
    if (cluster.line != p.line) {
        text.cursorY =
            clampCoordinate(std::int64_t{text.cursorY} +
                            std::int64_t{text.style.linePitch} * (cluster.line - p.line));
        p.line = cluster.line;
    }
    FontSet& fonts = *p.fonts[p.clusterStyle[i]];
    const int left = p.layout.lineLeft[static_cast<std::size_t>(cluster.line)];
    Rect printed;
    for (std::size_t glyph = cluster.glyphBegin; glyph < cluster.glyphEnd; ++glyph) {
        const PlacedGlyph& g = p.layout.glyphs[glyph];
        const GlyphImage* image = p.image(i, glyph);
        if (image == nullptr || image->width == 0 || image->height == 0) continue;
        const int x = clampCoordinate(std::int64_t{left} + roundUnits(g.x) + image->left);
        const int y = clampCoordinate(std::int64_t{text.cursorY} + fonts.baseline() -
                                      roundUnits(g.y) - image->top);
        addCoverage(film.picture.alpha.buffer(), x, y, *image);
        const Rect box = intersect(
            {x, y, x + image->width, y + image->height},
            {0, 0, film.picture.image.buffer().clipWidth, film.picture.image.buffer().clipHeight});
        if (box.empty()) continue;
        fillBlock(film.picture.image.buffer(), box.left, box.top, box.width(), box.height(),
                  text.style.color);
        printed = unite(printed, box);
    }
    if (!printed.empty()) showPrinted(engine, film, printed);
    text.cursorX = cluster.penAfter;
    text.readPosition = p.clusterEnds[i];
    p.next = i + 1;
    ++text.shown;
    return std::max(0, text.style.delay);
}

void zeroPicture(Film& film) {
    film.picture.image.clear();
    film.picture.alpha.clear();
    film.picture.mask.clear();
}

// The last printed area goes back to the parent, which redraws it empty.
void forgetPrinted(Film& film) {
    TextState& text = *film.text;
    if (film.parent && !text.printed.empty()) {
        addDirtyRect(film, text.printed.moved(-film.picture.sourceX, -film.picture.sourceY));
    }
    text.printed = {};
}

}  // namespace

int printNextElement(Engine& engine, Film& film) {
    if (!film.text) return -1;
    TextState& text = *film.text;
    if (text.readPosition >= text.buffer.size()) return 0;
    // Where the paragraph laid out has a cluster, the buffer holds a character.
    if (text.paragraph) {
        const std::ptrdiff_t index = text.paragraph->clusterAt(text.readPosition);
        if (index >= 0) return printCluster(engine, film, index);
    }
    const TextElement e = parseTextElement(text.buffer, text.readPosition, text.utf8);
    using Kind = TextElement::Kind;
    if (text.utf8 && e.kind == Kind::Character) return printCluster(engine, film, -1);
    text.readPosition += e.length;
    const int delay = std::max(0, text.style.delay);
    switch (e.kind) {
        case Kind::NewLine:
            text.cursorX = 0;
            text.cursorY = clampCoordinate(std::int64_t{text.cursorY} + text.style.linePitch);
            return 0;
        case Kind::Reset:
            text.reset();
            text.style = engine.textDefaults;
            text.font.reset();
            return 0;
        case Kind::Wait:
            return std::max(0, e.value);
        case Kind::Delay:
            text.style.delay = e.value;
            return 0;
        case Kind::Color:
            text.style.color = static_cast<std::uint32_t>(e.value);
            return 0;
        case Kind::Face:
            text.style.face = std::string(e.face);
            text.font.reset();
            return 0;
        case Kind::Size:
            text.style.size = e.value;
            text.font.reset();
            return 0;
        case Kind::Pitch:
            text.style.pitch = e.value;
            return 0;
        case Kind::LinePitch:
            text.style.linePitch = e.value;
            return 0;
        case Kind::SetX:
            text.cursorX = e.value;
            return 0;
        case Kind::SetY:
            text.cursorY = e.value;
            return 0;
        case Kind::MoveX:
            text.cursorX = clampCoordinate(std::int64_t{text.cursorX} + e.value);
            return 0;
        case Kind::MoveY:
            text.cursorY = clampCoordinate(std::int64_t{text.cursorY} + e.value);
            return 0;
        case Kind::Glyph:
            printPicture(engine, film, e.rect);
            ++text.shown;
            return delay;
        case Kind::NewPage:
            zeroPicture(film);
            forgetPrinted(film);
            ++text.shown;
            text.cursorX = text.cursorY = 0;
            markChanged(engine, film);
            return 0;
        case Kind::Stop:
            return -1;
        case Kind::Mark: {
            static constexpr int kCodes[] = {EV_TEXT_MARK_P, EV_TEXT_MARK_Q, EV_TEXT_MARK_R,
                                             EV_TEXT_MARK_S, EV_TEXT_MARK_T};
            engine.notify(kCodes[e.mark - 'P'], film.id, e.value);
            return 0;
        }
        case Kind::Character:
            printCharacter(engine, film, e.lead, e.trail);
            text.cursorX = clampCoordinate(std::int64_t{text.cursorX} + text.style.pitch);
            ++text.shown;
            return delay;
        case Kind::Incomplete:
            return 0;
    }
    return 0;
}

void printUpTo(Engine& engine, Film& film, int count) {
    if (!film.text) return;
    TextState& text = *film.text;
    if (text.shown >= count) return;
    count = std::min(count, text.total);
    while (text.shown < count && text.readPosition < text.buffer.size()) {
        printNextElement(engine, film);
    }
}

void appendText(Film& film, const std::string& bytes) {
    if (!film.text) return;
    TextState& text = *film.text;
    if (!text.utf8) {
        text.buffer += bytes;
        text.total += countTextCharacters(bytes);
        return;
    }
    if (bytes.empty()) return;
    // The appended text is counted on its own, so a cluster never joins
    // across the seam; a paragraph that was waiting for more is set again.
    text.seams.push_back(text.buffer.size());
    text.buffer += bytes;
    text.total += countTextClusters(bytes, {});
    if (text.paragraph && text.paragraph->open) text.paragraph.reset();
}

void clearTextPixels(Film& film) {
    if (!film.text) return;
    zeroPicture(film);
    forgetPrinted(film);
    film.text->reset();
}

}  // namespace lumo
