// UTF-8 text is set a paragraph at a time: from the character being printed
// to the next mark that moves the pen (a new line or page, a cursor mark, a
// picture, a reset) or the buffer's end. Marks that only colour, time or
// signal stay inside a paragraph; face and size marks change the font of
// what follows them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "text_layout.h"

namespace lumo {

class Engine;
class FontSet;
struct Film;
struct GlyphImage;

struct Paragraph {
    std::size_t begin = 0;  // bytes of the buffer laid out
    std::size_t end = 0;
    bool open = false;  // it reached the buffer's end: an append may continue it
    std::vector<std::size_t> clusterBytes;  // first byte of each cluster
    std::vector<std::size_t> clusterEnds;   // the byte after it
    std::vector<std::uint16_t> clusterStyle;
    std::vector<std::shared_ptr<FontSet>> fonts;
    ParagraphLayout layout;
    int line = 0;          // the line the cursor is on
    std::size_t next = 0;  // the cluster printing goes on with, looked at first

    // The cluster starting at byte `position`; -1 when the paragraph has none.
    std::ptrdiff_t clusterAt(std::size_t position) const;

    // The drawn glyph `glyph` of the layout, which belongs to cluster `index`.
    // Those of the rest of its line are fetched with it, a set's lock taken
    // once for all.
    const GlyphImage* image(std::size_t index, std::size_t glyph);

private:
    std::vector<const GlyphImage*> mImages;  // per glyph of the layout
    std::size_t mDrawnFrom = 0;              // the clusters whose glyphs mImages holds
    std::size_t mDrawnTo = 0;
};

// Lays out the paragraph that starts at the film's read position (a
// character), its first line from the cursor, within the film's width.
std::shared_ptr<Paragraph> layOutParagraphAt(Engine& engine, const Film& film);

}  // namespace lumo
