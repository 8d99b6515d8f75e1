#include "text_paragraph.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "engine.h"
#include "film.h"
#include "font_set.h"
#include "glyph_renderer.h"
#include "rect.h"
#include "text_marks.h"
#include "utf8_text.h"

namespace lumo {

namespace {

// Control characters have no glyph: a tab is a space, a carriage return
// (from a file with CR LF line ends) nothing, any other the replacement
// character.
char32_t shown(char32_t c) {
    if (c >= 0x20 && (c < 0x7F || c > 0x9F)) return c;
    if (c == 0x09) return 0x20;
    if (c == 0x0D) return 0x200B;
    return 0xFFFD;
}

}  // namespace

std::ptrdiff_t Paragraph::clusterAt(std::size_t position) const {
    if (position < begin || position >= end) return -1;
    if (next < clusterBytes.size() && clusterBytes[next] == position)
        return static_cast<std::ptrdiff_t>(next);
    const auto found = std::lower_bound(clusterBytes.begin(), clusterBytes.end(), position);
    if (found == clusterBytes.end() || *found != position) return -1;
    return found - clusterBytes.begin();
}

const GlyphImage* Paragraph::image(std::size_t index, std::size_t glyph) {
    if (index < mDrawnFrom || index >= mDrawnTo) {
        const auto& clusters = layout.clusters;
        std::size_t end = index;
        while (end < clusters.size() && clusters[end].line == clusters[index].line)
            ++end;
        mImages.resize(layout.glyphs.size());
        // Each set is asked for its glyphs of the line at once; a line
        // mostly has one.
        std::vector<GlyphId> ids;
        std::vector<std::size_t> where;
        std::vector<const GlyphImage*> drawn;
        ids.reserve(end - index);
        where.reserve(end - index);
        std::vector<std::uint16_t> styles{clusterStyle[index]};
        for (std::size_t s = 0; s < styles.size(); ++s) {
            ids.clear();
            where.clear();
            for (std::size_t c = index; c < end; ++c) {
                if (clusterStyle[c] != styles[s]) {
                    if (s == 0 &&
                        std::find(styles.begin(), styles.end(), clusterStyle[c]) == styles.end()) {
                        styles.push_back(clusterStyle[c]);
                    }
                    continue;
                }
                for (std::size_t g = clusters[c].glyphBegin; g < clusters[c].glyphEnd; ++g) {
                    ids.push_back({layout.glyphs[g].face, layout.glyphs[g].glyph});
                    where.push_back(g);
                }
            }
            drawn.assign(ids.size(), nullptr);
            fonts[styles[s]]->images(ids, drawn);
            for (std::size_t k = 0; k < where.size(); ++k)
                mImages[where[k]] = drawn[k];
        }
        mDrawnFrom = index;
        mDrawnTo = end;
    }
    return glyph < mImages.size() ? mImages[glyph] : nullptr;
}

std::shared_ptr<Paragraph> layOutParagraphAt(Engine& engine, const Film& film) {
    const TextState& text = *film.text;
    auto paragraph = std::make_shared<Paragraph>();
    Paragraph& p = *paragraph;
    p.begin = text.readPosition;
    ParagraphInput input;
    input.width = film.picture.image.buffer().width;
    input.startX = std::max(0, text.cursorX);

    // Face names point into the film's style or its buffer, neither of which
    // changes while the paragraph is set.
    std::string_view face = text.style.face;
    int size = text.style.size;
    int style = -1;
    std::vector<std::pair<std::string_view, int>> styles;  // as p.fonts: a few at most
    auto currentStyle = [&] {
        if (style < 0) {
            const auto key = std::make_pair(face, size);
            const auto found = std::find(styles.begin(), styles.end(), key);
            style = static_cast<int>(found - styles.begin());
            if (found == styles.end()) {
                const int bounded =
                    static_cast<int>(std::clamp<std::int64_t>(size, 0, kCoordinateLimit));
                styles.push_back(key);
                p.fonts.push_back(
                    engine.fonts().openSet(face, bounded, engine.settings.textLanguage()));
            }
        }
        return static_cast<std::uint16_t>(style);
    };
    // Room for the code points ahead, as far as a page of text goes.
    const std::size_t expected = std::min<std::size_t>(text.buffer.size() - p.begin, 1024);
    input.text.reserve(expected);
    input.style.reserve(expected);
    input.clusterStart.reserve(expected);
    p.clusterBytes.reserve(expected);
    p.clusterEnds.reserve(expected);
    p.clusterStyle.reserve(expected);

    GraphemeSegmenter clusters;
    auto seam = std::lower_bound(text.seams.begin(), text.seams.end(), p.begin);
    bool afterCharacter = false;
    std::size_t position = p.begin;
    bool ended = false;
    using Kind = TextElement::Kind;
    while (position < text.buffer.size() && !ended) {
        const TextElement e = parseTextElement(text.buffer, position, true);
        switch (e.kind) {
            case Kind::Character: {
                while (seam != text.seams.end() && *seam < position)
                    ++seam;
                if (!afterCharacter || (seam != text.seams.end() && *seam == position)) {
                    clusters.reset();
                }
                const bool starts = clusters.startsCluster(e.codePoint) || input.text.empty();
                if (starts) {
                    p.clusterBytes.push_back(position);
                    p.clusterEnds.push_back(position + e.length);
                    p.clusterStyle.push_back(currentStyle());
                } else {
                    p.clusterEnds.back() = position + e.length;
                }
                input.text.push_back(shown(e.codePoint));
                input.style.push_back(p.clusterStyle.back());
                input.clusterStart.push_back(starts);
                afterCharacter = true;
                break;
            }
            case Kind::Face:
                face = e.face;
                style = -1;
                afterCharacter = false;
                break;
            case Kind::Size:
                size = e.value;
                style = -1;
                afterCharacter = false;
                break;
            case Kind::Wait:
            case Kind::Delay:
            case Kind::Color:
            case Kind::Pitch:
            case Kind::LinePitch:
            case Kind::Stop:
            case Kind::Mark:
                afterCharacter = false;
                break;
            case Kind::Incomplete:
                p.open = true;
                ended = true;
                break;
            default:
                ended = true;
                break;
        }
        if (!ended) position += e.length;
    }
    p.end = position;
    if (position >= text.buffer.size()) p.open = true;
    input.fonts = p.fonts;
    p.layout = layOutParagraph(input);
    return paragraph;
}

}  // namespace lumo
