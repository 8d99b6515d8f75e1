#include "text_layout.h"

#include <fribidi.h>
#include <hb.h>
#include <linebreak.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <string_view>

#include "font_set.h"

namespace lumo {

namespace {

// Spaces that may hang past a line's end instead of pushing a word down.
bool hangs(char32_t c) {
    return c == 0x20 || c == 0x09 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A && c != 0x2007) ||
           c == 0x205F || c == 0x3000;
}

// Small kana and the long vowel mark (class CJ of the line-breaking rules)
// never start a line either: the strict kinsoku of Japanese books.
bool smallKana(char32_t c) {
    if (c >= 0xFF67) return c <= 0xFF70;
    if (c >= 0x31F0) return c <= 0x31FF;
    if (c < 0x3041 || c > 0x30FC) return false;
    constexpr std::u32string_view kSmall = U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶー";
    return kSmall.find(c) != std::u32string_view::npos;
}

bool strongScript(hb_script_t s) {
    return s != HB_SCRIPT_COMMON && s != HB_SCRIPT_INHERITED && s != HB_SCRIPT_UNKNOWN;
}

// Kana and kanji shape alike; one run for a Japanese sentence, not one per
// change between them.
hb_script_t shapingScript(hb_script_t s) {
    return s == HB_SCRIPT_HIRAGANA || s == HB_SCRIPT_KATAKANA || s == HB_SCRIPT_BOPOMOFO
               ? HB_SCRIPT_HAN
               : s;
}

// Neutral characters take the script of what precedes them (or, at the
// start, of the first that has one), so punctuation shapes with its words.
// `neutral` tells which had none of their own.
std::vector<hb_script_t> scriptsOf(const std::u32string& text, std::vector<bool>& neutral) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<hb_script_t> scripts(text.size(), HB_SCRIPT_COMMON);
    neutral.assign(text.size(), false);
    hb_script_t current = HB_SCRIPT_COMMON;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const hb_script_t s = shapingScript(hb_unicode_script(unicode, text[i]));
        if (strongScript(s)) {
            if (!strongScript(current)) std::fill(scripts.begin(), scripts.begin() + i, s);
            current = s;
        } else {
            neutral[i] = true;
        }
        scripts[i] = current;
    }
    return scripts;
}

// 26.6 pixels kept well inside 32 bits; a line that long is far off the box.
std::int32_t units(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -(1 << 30), 1 << 30));
}

struct Cluster {
    std::size_t first = 0;
    std::size_t end = 0;
    int face = 0;
    int level = 0;
    std::int64_t advance = 0;    // 26.6
    std::size_t glyphBegin = 0;  // x of its glyphs: from the cluster's left edge
    std::size_t glyphEnd = 0;
};

std::vector<Cluster> clustersOf(const ParagraphInput& input) {
    std::vector<Cluster> clusters;
    clusters.reserve(input.text.size());
    for (std::size_t i = 0; i < input.text.size(); ++i) {
        if (i == 0 || input.clusterStart[i]) {
            if (!clusters.empty()) clusters.back().end = i;
            Cluster cluster;
            cluster.first = i;
            cluster.end = input.text.size();
            clusters.push_back(std::move(cluster));
        }
    }
    return clusters;
}

// Right-to-left letters and the controls that can turn a text around.
bool mayTurn(char32_t c) {
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
           (c >= 0x1E800 && c <= 0x1EFFF) || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Each cluster takes the first face that holds it; spaces, punctuation and
// digits then stay in the face of the words around them when it holds them
// too, as a book sets an Arabic sentence's full stop in the Arabic face.
void chooseFaces(const ParagraphInput& input, const std::vector<bool>& neutralCodePoints,
                 std::vector<Cluster>& clusters) {
    std::vector<bool> neutral(clusters.size());
    std::vector<CodePointRange> ranges;
    std::vector<int> faces;
    for (std::size_t run = 0; run < clusters.size();) {
        // The clusters of one style ask their set at once.
        const auto style = input.style[clusters[run].first];
        std::size_t next = run;
        ranges.clear();
        while (next < clusters.size() && input.style[clusters[next].first] == style) {
            ranges.push_back({clusters[next].first, clusters[next].end});
            ++next;
        }
        faces.assign(ranges.size(), 0);
        input.fonts[style]->facesFor(input.text.data(), ranges, faces);
        for (std::size_t i = run; i < next; ++i) {
            clusters[i].face = faces[i - run];
            neutral[i] = neutralCodePoints[clusters[i].first];
        }
        run = next;
    }
    auto adopt = [&](std::size_t i, std::size_t from) {
        const Cluster& c = clusters[i];
        if (input.style[c.first] != input.style[clusters[from].first]) return false;
        const int face = clusters[from].face;
        if (face == c.face) return true;
        if (!input.fonts[input.style[c.first]]->faceHolds(face, input.text.data() + c.first,
                                                          c.end - c.first)) {
            return false;
        }
        clusters[i].face = face;
        return true;
    };
    // Forwards from the words before; a paragraph's leading neutrals look ahead.
    for (std::size_t i = 1; i < clusters.size(); ++i)
        if (neutral[i]) adopt(i, i - 1);
    std::size_t firstWord = 0;
    while (firstWord < clusters.size() && neutral[firstWord])
        ++firstWord;
    for (std::size_t i = firstWord; i-- > 0 && firstWord < clusters.size();)
        adopt(i, i + 1);
}

// Levels of the bidirectional algorithm; the paragraph's direction from
// its first strong character. Text with nothing that reads right to left
// is all at level 0.
bool resolveLevels(const std::u32string& text, std::vector<FriBidiLevel>& levels) {
    if (std::none_of(text.begin(), text.end(), mayTurn)) {
        levels.assign(text.size(), 0);
        return false;
    }
    const auto n = static_cast<FriBidiStrIndex>(text.size());
    const auto* chars = reinterpret_cast<const FriBidiChar*>(text.data());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    fribidi_get_bidi_types(chars, n, types.data());
    fribidi_get_bracket_types(chars, n, types.data(), brackets.data());
    levels.assign(text.size(), 0);
    FriBidiParType direction = FRIBIDI_PAR_ON;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &direction,
                                            levels.data()) == 0) {
        levels.assign(text.size(), 0);
        return false;
    }
    return FRIBIDI_IS_RTL(direction);
}

// Runs of one style, face, level and script, shaped as wholes in the
// paragraph's context; each glyph goes to the cluster it starts in. The
// shaper gives a cluster's glyphs together, so each cluster owns one stretch
// of `placed`; a glyph that would split a stretch joins the one before it.
void shapeRuns(const ParagraphInput& input, const std::vector<hb_script_t>& scripts,
               std::vector<Cluster>& clusters, std::vector<PlacedGlyph>& placed) {
    std::vector<std::size_t> clusterOf(input.text.size());
    for (std::size_t c = 0; c < clusters.size(); ++c) {
        std::fill(clusterOf.begin() + static_cast<std::ptrdiff_t>(clusters[c].first),
                  clusterOf.begin() + static_cast<std::ptrdiff_t>(clusters[c].end), c);
    }
    std::vector<ShapedGlyph> glyphs;
    glyphs.reserve(input.text.size());
    placed.reserve(input.text.size());
    for (std::size_t run = 0; run < clusters.size();) {
        const Cluster& head = clusters[run];
        const auto style = input.style[head.first];
        auto same = [&](const Cluster& c) {
            return input.style[c.first] == style && c.face == head.face && c.level == head.level &&
                   scripts[c.first] == scripts[head.first];
        };
        std::size_t next = run + 1;
        while (next < clusters.size() && same(clusters[next]))
            ++next;
        const std::size_t start = head.first;
        const std::size_t end = clusters[next - 1].end;
        glyphs.clear();
        input.fonts[style]->shape(head.face, input.text.data(), input.text.size(), start,
                                  end - start, head.level % 2 == 1, scripts[start], glyphs);
        Cluster* last = nullptr;
        for (const ShapedGlyph& g : glyphs) {
            const std::size_t at = std::clamp<std::size_t>(g.cluster, start, end - 1);
            Cluster* owner = &clusters[clusterOf[at]];
            if (owner != last) {
                if (owner->glyphEnd > owner->glyphBegin && last != nullptr) {
                    owner = last;
                } else {
                    owner->glyphBegin = placed.size();
                }
            }
            placed.push_back({g.face, g.glyph, units(owner->advance + g.offsetX), g.offsetY});
            owner->glyphEnd = placed.size();
            owner->advance += g.advance;
            last = owner;
        }
        run = next;
    }
}

struct Line {
    std::size_t begin = 0;  // clusters
    std::size_t end = 0;
};

// Greedy filling: a line takes clusters while they fit, ends at the last
// place the line-breaking rules allow, and breaks a word only when no such
// place is on the line. Spaces at a line's end hang.
std::vector<Line> breakLines(const ParagraphInput& input, const std::vector<Cluster>& clusters) {
    static std::once_flag once;
    std::call_once(once, init_linebreak);
    // The line-breaking library aborts on regional indicators (flags) and on
    // U+FFFF, which it takes for its end; they break as an ideograph and as
    // the replacement character do. Clusters keep a flag's pair together.
    auto unsafe = [](char32_t c) { return (c >= 0x1F1E6 && c <= 0x1F1FF) || c == 0xFFFF; };
    std::u32string replaced;
    if (std::any_of(input.text.begin(), input.text.end(), unsafe)) {
        replaced = input.text;
        for (char32_t& c : replaced) {
            if (c >= 0x1F1E6 && c <= 0x1F1FF) c = 0x5B57;
            if (c == 0xFFFF) c = 0xFFFD;
        }
    }
    const std::u32string& text = replaced.empty() ? input.text : replaced;
    std::vector<char> breaks(text.size());
    set_linebreaks_utf32(reinterpret_cast<const utf32_t*>(text.data()), text.size(), nullptr,
                         breaks.data());
    auto allowedBefore = [&](std::size_t c) {
        if (smallKana(input.text[clusters[c].first])) return false;
        const char b = breaks[clusters[c].first - 1];
        return b == LINEBREAK_ALLOWBREAK || b == LINEBREAK_MUSTBREAK;
    };
    auto mustBefore = [&](std::size_t c) {
        return breaks[clusters[c].first - 1] == LINEBREAK_MUSTBREAK;
    };
    auto hanging = [&](std::size_t c) { return hangs(input.text[clusters[c].first]); };
    constexpr std::int64_t kUnbounded = std::numeric_limits<std::int64_t>::max() / 4;
    std::vector<Line> lines;
    auto room = [&] {
        if (input.width <= 0) return kUnbounded;
        return std::int64_t{input.width - (lines.empty() ? input.startX : 0)} * 64;
    };
    // A text continuing a line may move down whole before its first cluster.
    const bool indented = input.startX > 0;
    std::size_t lineStart = 0;
    std::int64_t x = 0;
    std::ptrdiff_t opportunity = indented ? 0 : -1;
    auto close = [&](std::size_t end) {
        lines.push_back({lineStart, end});
        lineStart = end;
        x = 0;
        opportunity = -1;
    };
    for (std::size_t c = 0; c < clusters.size();) {
        if (c > lineStart && mustBefore(c)) {
            close(c);
            continue;
        }
        const std::int64_t w = clusters[c].advance;
        if (!hanging(c) && x + w > room()) {
            const bool mayMoveAll = lines.empty() && indented;
            if (opportunity >= 0 &&
                (static_cast<std::size_t>(opportunity) > lineStart || mayMoveAll)) {
                c = static_cast<std::size_t>(opportunity);
                close(c);
                continue;
            }
            if (c > lineStart) {
                close(c);
                continue;
            }
        }
        x += w;
        ++c;
        if (c < clusters.size() && allowedBefore(c)) opportunity = static_cast<std::ptrdiff_t>(c);
    }
    if (lineStart < clusters.size() || lines.empty()) close(clusters.size());
    return lines;
}

// Rule L2: from the highest level down to the lowest odd one, every run of
// clusters at that level or above is reversed.
void visualOrder(const std::vector<int>& levels, std::vector<std::size_t>& order) {
    order.resize(levels.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (levels.empty()) return;
    const int highest = *std::max_element(levels.begin(), levels.end());
    int lowestOdd = highest + 1;
    for (int level : levels)
        if (level % 2 == 1) lowestOdd = std::min(lowestOdd, level);
    for (int level = highest; level >= lowestOdd; --level) {
        for (std::size_t i = 0; i < order.size();) {
            if (levels[order[i]] < level) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < order.size() && levels[order[j]] >= level)
                ++j;
            std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i),
                         order.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
        }
    }
}

int pixels(std::int64_t units) {
    return static_cast<int>(std::clamp<std::int64_t>((units + 32) >> 6, -(1 << 24), 1 << 24));
}

}  // namespace

ParagraphLayout layOutParagraph(const ParagraphInput& input) {
    ParagraphLayout layout;
    if (input.text.empty()) return layout;
    std::vector<Cluster> clusters = clustersOf(input);
    std::vector<FriBidiLevel> levels;
    layout.rightToLeft = resolveLevels(input.text, levels);
    std::vector<bool> neutral;
    const std::vector<hb_script_t> scripts = scriptsOf(input.text, neutral);
    chooseFaces(input, neutral, clusters);
    for (Cluster& c : clusters)
        c.level = levels[c.first];
    shapeRuns(input, scripts, clusters, layout.glyphs);

    const std::vector<Line> lines = breakLines(input, clusters);
    layout.clusters.resize(clusters.size());
    layout.lineLeft.reserve(lines.size());
    std::vector<int> lineLevels;
    std::vector<std::int64_t> left;
    std::vector<std::size_t> order;
    for (std::size_t lineIndex = 0; lineIndex < lines.size(); ++lineIndex) {
        const Line& line = lines[lineIndex];
        const int start = lineIndex == 0 ? input.startX : 0;
        lineLevels.clear();
        for (std::size_t c = line.begin; c < line.end; ++c)
            lineLevels.push_back(clusters[c].level);
        // Rule L1: spaces that end a line take the paragraph's level.
        for (std::size_t k = lineLevels.size();
             k > 0 && hangs(input.text[clusters[line.begin + k - 1].first]); --k)
            lineLevels[k - 1] = layout.rightToLeft ? 1 : 0;
        std::int64_t pen = 0;
        left.assign(lineLevels.size(), 0);
        visualOrder(lineLevels, order);
        for (std::size_t k : order) {
            left[k] = pen;
            pen += clusters[line.begin + k].advance;
        }
        const int lineLeft =
            layout.rightToLeft && input.width > 0 ? input.width - pixels(pen) : start;
        layout.lineLeft.push_back(lineLeft);
        std::int64_t logical = 0;
        for (std::size_t k = 0; k < lineLevels.size(); ++k) {
            Cluster& from = clusters[line.begin + k];
            LaidCluster& to = layout.clusters[line.begin + k];
            logical += from.advance;
            to.first = from.first;
            to.end = from.end;
            to.line = static_cast<int>(lineIndex);
            to.penAfter = start + pixels(logical);
            to.glyphBegin = from.glyphBegin;
            to.glyphEnd = from.glyphEnd;
            for (std::size_t g = from.glyphBegin; g < from.glyphEnd; ++g)
                layout.glyphs[g].x = units(layout.glyphs[g].x + left[k]);
        }
    }
    return layout;
}

}  // namespace lumo
