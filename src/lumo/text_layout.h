// Setting a paragraph of UTF-8 text: shaping by runs of one font, script and
// direction; lines broken where the Unicode line-breaking rules allow and
// the box's width asks, a word too long for a line broken between its
// clusters; each line put in visual order for right-to-left and mixed text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumo {

class FontSet;

struct ParagraphInput {
    std::u32string text;
    std::vector<std::uint16_t> style;             // per code point: index into fonts
    std::vector<std::shared_ptr<FontSet>> fonts;  // one per style
    std::vector<bool> clusterStart;               // per code point
    int width = 0;   // the box's width in pixels; 0 or less: lines never wrap
    int startX = 0;  // where the first line starts; later lines start at 0
};

// A glyph placed in its line: x in 26.6 pixels from the line's left edge, y
// in 26.6 pixels up from the baseline.
struct PlacedGlyph {
    int face = 0;
    std::uint32_t glyph = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct LaidCluster {
    std::size_t first = 0;  // code points [first, end)
    std::size_t end = 0;
    int line = 0;
    int penAfter = 0;  // the cursor's x once the cluster is printed (the line's logical end so far)
    std::size_t glyphBegin = 0;  // its glyphs in ParagraphLayout::glyphs
    std::size_t glyphEnd = 0;
};

struct ParagraphLayout {
    std::vector<LaidCluster> clusters;  // in logical (typing) order
    std::vector<int> lineLeft;          // pixels: each line's left edge in the box
    bool rightToLeft = false;           // the paragraph's base direction
    std::vector<PlacedGlyph> glyphs;

    std::span<const PlacedGlyph> glyphsOf(const LaidCluster& c) const {
        return std::span<const PlacedGlyph>(glyphs).subspan(c.glyphBegin,
                                                            c.glyphEnd - c.glyphBegin);
    }
};

ParagraphLayout layOutParagraph(const ParagraphInput& input);

}  // namespace lumo
