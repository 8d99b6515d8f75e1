// Setting UTF-8 paragraphs: line breaks, kinsoku, bidirectional order,
// shaping, clusters, and text that tries to break the setter. The fonts are
// those the set-up installs (IPA, Noto).
#include <gtest/gtest.h>

#include <hb.h>

#include <algorithm>
#include <string>

#include "font_set.h"
#include "glyph_renderer.h"
#include "text_layout.h"
#include "text_marks.h"
#include "utf8_text.h"

namespace lumo {
namespace {

class TextLayoutTest : public ::testing::Test {
protected:
    ParagraphLayout lay(const std::u32string& text, int width,
                        const std::string& face = "Noto Sans", int size = 20, int startX = 0) {
        ParagraphInput input;
        input.text = text;
        input.fonts = {library.openSet(face, size)};
        input.style.assign(text.size(), 0);
        GraphemeSegmenter clusters;
        for (char32_t c : text)
            input.clusterStart.push_back(clusters.startsCluster(c));
        input.width = width;
        input.startX = startX;
        mText = text;
        return layOutParagraph(input);
    }

    // The text of each line, in logical order.
    std::vector<std::u32string> lines(const ParagraphLayout& layout) const {
        std::vector<std::u32string> out;
        for (const LaidCluster& c : layout.clusters) {
            if (static_cast<std::size_t>(c.line) >= out.size()) out.resize(c.line + 1);
            out[c.line] += mText.substr(c.first, c.end - c.first);
        }
        return out;
    }

    // The leftmost glyph origin of a cluster, in pixels in the box.
    static int leftOf(const ParagraphLayout& layout, std::size_t cluster) {
        const LaidCluster& c = layout.clusters[cluster];
        int x = 1 << 30;
        for (const PlacedGlyph& g : layout.glyphsOf(c))
            x = std::min(x, layout.lineLeft[c.line] + (g.x >> 6));
        return x;
    }

    static std::size_t glyphCount(const ParagraphLayout& layout) { return layout.glyphs.size(); }

    FontLibrary library;
    std::u32string mText;
};

std::u32string trimmed(std::u32string s) {
    while (!s.empty() && s.back() == U' ')
        s.pop_back();
    return s;
}

TEST_F(TextLayoutTest, EnglishWrapsBetweenWordsWithinTheBoxWidth) {
    const std::u32string text = U"The quick brown fox jumps over the lazy dog and keeps on running";
    const ParagraphLayout layout = lay(text, 150);
    const auto got = lines(layout);
    ASSERT_GT(got.size(), 2u);
    std::u32string joined;
    for (const auto& line : got) {
        joined += line;
        EXPECT_NE(line.front(), U' ');
        // Every line ends at a word's end: the space after it hangs.
        const std::u32string words = trimmed(line);
        EXPECT_TRUE(text.find(words + U" ") != std::u32string::npos || text.ends_with(words));
    }
    EXPECT_EQ(joined, text) << "nothing lost, nothing added";
    for (const LaidCluster& c : layout.clusters) {
        if (text[c.first] != U' ') {
            EXPECT_LE(c.penAfter, 150);
        }
    }
    // Proportional advances: an "i" is narrower than an "m".
    const ParagraphLayout im = lay(U"im", 0);
    EXPECT_LT(im.clusters[0].penAfter, im.clusters[1].penAfter - im.clusters[0].penAfter);
}

TEST_F(TextLayoutTest, JapaneseBreaksBetweenCharactersWithKinsoku) {
    // Ten characters of 20 pixels fill a 200-pixel line, so the 。 would
    // start the second line: the character before it goes down with it.
    const std::u32string text = U"あいうえおかきくけこ。さしすせそ";
    const auto got = lines(lay(text, 200, "ＭＳ ゴシック"));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], U"あいうえおかきくけ");
    EXPECT_EQ(got[1], U"こ。さしすせそ");
    for (const std::u32string closing : {U"、", U"」", U"』", U"）", U"！", U"？"}) {
        std::u32string t = U"あいうえおかきくけこ" + closing + U"さし";
        for (const auto& line : lines(lay(t, 200, "ＭＳ ゴシック")))
            EXPECT_NE(line.substr(0, 1), closing);
    }
    // Nor small kana and the long vowel mark, in the strict rule of books.
    for (const std::u32string small : {U"っ", U"ャ", U"ー"}) {
        const auto got = lines(lay(U"あいうえおかきくけこ" + small + U"さ", 200, "ＭＳ ゴシック"));
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[1], U"こ" + small + U"さ");
    }
    // An opening bracket never ends a line.
    const auto opened = lines(lay(U"あいうえおかきくけ「こ」", 200, "ＭＳ ゴシック"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].substr(0, 1), U"「");
    // Without a width nothing wraps.
    EXPECT_EQ(lines(lay(text, 0, "ＭＳ ゴシック")).size(), 1u);
}

TEST_F(TextLayoutTest, AWordLongerThanTheLineIsBrokenNotLost) {
    const std::u32string word(300, U'x');
    const ParagraphLayout layout = lay(U"go " + word + U" ok", 100);
    const auto got = lines(layout);
    ASSERT_GT(got.size(), 5u);
    EXPECT_EQ(got[0], U"go ") << "the long word starts on a line of its own";
    std::u32string joined;
    for (const auto& line : got)
        joined += line;
    EXPECT_EQ(joined, U"go " + word + U" ok");
    for (const LaidCluster& c : layout.clusters)
        EXPECT_LE(c.penAfter, 100);
}

TEST_F(TextLayoutTest, ArabicIsJoinedAndSetRightToLeft) {
    // "السلام" holds lam-alef, which the font draws as one ligature.
    const std::u32string text = U"السلام عليكم";
    const ParagraphLayout layout = lay(text, 300, "Noto Sans Arabic", 24);
    EXPECT_TRUE(layout.rightToLeft);
    EXPECT_LT(glyphCount(layout), text.size());
    // The first letter read is the rightmost, and the line ends at the box's right edge.
    EXPECT_GT(leftOf(layout, 0), leftOf(layout, 5));
    EXPECT_GT(leftOf(layout, 5), leftOf(layout, 7));
    EXPECT_GT(layout.lineLeft[0], 0);
    // Joining: a beh followed by another takes its initial form, not the isolated one.
    const auto alone = lay(U"ب", 0, "Noto Sans Arabic", 24);
    const auto joined = lay(U"بب", 0, "Noto Sans Arabic", 24);
    EXPECT_NE(alone.glyphsOf(alone.clusters[0])[0].glyph,
              joined.glyphsOf(joined.clusters[0])[0].glyph);
}

TEST_F(TextLayoutTest, MixedDirectionsKeepNumbersInReadingOrder) {
    // A left-to-right line with an Arabic word and a number inside.
    const std::u32string text = U"Call سلام 2024 now";
    const ParagraphLayout ltr = lay(text, 0, "Noto Sans", 20);
    EXPECT_FALSE(ltr.rightToLeft);
    const std::size_t seen = text.find(U'س');
    const std::size_t mim = text.find(U'م');
    const std::size_t two = text.find(U'2');
    EXPECT_LT(leftOf(ltr, 0), leftOf(ltr, seen)) << "Call stays first";
    EXPECT_GT(leftOf(ltr, seen), leftOf(ltr, mim)) << "the Arabic word reads right to left";
    for (std::size_t i = two; i < two + 3; ++i)
        EXPECT_LT(leftOf(ltr, i), leftOf(ltr, i + 1)) << "digits read left to right";
    EXPECT_LT(leftOf(ltr, two + 3), leftOf(ltr, text.find(U'n')));

    // A right-to-left paragraph with an embedded number.
    const std::u32string arabic = U"العدد 123 هنا";
    const ParagraphLayout rtl = lay(arabic, 300, "Noto Sans Arabic", 24);
    EXPECT_TRUE(rtl.rightToLeft);
    const std::size_t one = arabic.find(U'1');
    EXPECT_LT(leftOf(rtl, one), leftOf(rtl, one + 1));
    EXPECT_LT(leftOf(rtl, one + 1), leftOf(rtl, one + 2));
    EXPECT_GT(leftOf(rtl, 0), leftOf(rtl, one + 2)) << "the first word is right of the number";
    EXPECT_LT(leftOf(rtl, arabic.size() - 1), leftOf(rtl, one)) << "the last word is left of it";
}

TEST_F(TextLayoutTest, ACombiningMarkStaysOnItsBase) {
    // No font has an x with an acute made up: the shaper must place the mark.
    const ParagraphLayout layout = lay(U"x\u0301y", 0);
    ASSERT_EQ(layout.clusters.size(), 2u);
    const LaidCluster& accented = layout.clusters[0];
    EXPECT_EQ(accented.end - accented.first, 2u);
    ASSERT_EQ(layout.glyphsOf(accented).size(), 2u) << "the x and its accent";
    for (const PlacedGlyph& g : layout.glyphsOf(accented))
        EXPECT_LT(g.x >> 6, layout.clusters[0].penAfter) << "the accent lies over the x";
    EXPECT_GT(glyphCount(layout), 0u);
}

TEST_F(TextLayoutTest, CharactersTheNamedFaceLacksComeFromAnotherFont) {
    // The Japanese face has no Arabic or Devanagari; other installed fonts do.
    for (const std::u32string text : {U"سلام", U"नमस्ते", U"Ελληνικά"}) {
        const ParagraphLayout layout = lay(text, 0, "ＭＳ ゴシック", 24);
        for (const LaidCluster& c : layout.clusters) {
            for (const PlacedGlyph& g : layout.glyphsOf(c))
                EXPECT_NE(g.glyph, 0u) << "no box for U+" << std::hex << int(text[c.first]);
        }
    }
    // Devanagari is shaped: its conjuncts take fewer glyphs than letters.
    EXPECT_LT(glyphCount(lay(U"क्षत्रिय", 0, "ＭＳ ゴシック", 24)), std::u32string(U"क्षत्रिय").size());
}

TEST_F(TextLayoutTest, ASetAnswersManyQuestionsAtOnceAsItAnswersEach) {
    const std::u32string text = U"Aあ語ب\u0301e\u0301 1。";
    for (const char* face : {"Noto Sans", "IPAGothic"}) {
        auto set = library.openSet(face, 20);
        std::vector<CodePointRange> clusters;
        for (std::size_t i = 0; i < text.size(); ++i)
            clusters.push_back({i, i + 1});
        clusters.push_back({4, 6});  // a letter and its accent
        std::vector<int> faces(clusters.size(), -1);
        set->facesFor(text.data(), clusters, faces);
        std::vector<GlyphId> glyphs;
        for (std::size_t i = 0; i < clusters.size(); ++i) {
            EXPECT_EQ(faces[i], set->faceFor(text.data() + clusters[i].first,
                                             clusters[i].end - clusters[i].first))
                << face << " " << i;
            glyphs.push_back({faces[i], static_cast<std::uint32_t>(i + 3)});
        }
        glyphs.push_back({-1, 5});  // no such face
        std::vector<const GlyphImage*> images(glyphs.size());
        set->images(glyphs, images);
        for (std::size_t i = 0; i < glyphs.size(); ++i)
            EXPECT_EQ(images[i], set->image(glyphs[i].face, glyphs[i].glyph)) << face << " " << i;
        EXPECT_EQ(images.back(), nullptr);
    }
}

TEST_F(TextLayoutTest, HostileTextIsSetWithoutLoss) {
    struct Case {
        const char* name;
        std::u32string text;
    };
    const Case cases[] = {
        {"a lone combining mark", U"\u0301abc"},
        {"a run of joiners", std::u32string(2000, U'\u200D') + U"a"},
        {"a 5,000-character word", std::u32string(5000, U'w')},
        {"only spaces", std::u32string(400, U' ')},
        {"a script no font has", U"\U00010600\U00010601 \U000E0100"},
        {"replacement characters", U"\uFFFD\uFFFD\uFFFD"},
        {"bidi controls unbalanced", U"\u202E\u202Babc\u2067123"},
        {"right-to-left with numbers", U"٣ 12.5% من 300"},
        {"flags, which the line breaker cannot take", U"\U0001F1EF\U0001F1F5 \U0001F1EB\uFFFF"},
    };
    for (const Case& c : cases) {
        const ParagraphLayout layout = lay(c.text, 120, "ＭＳ ゴシック", 16);
        std::size_t covered = 0;
        for (const LaidCluster& cluster : layout.clusters) {
            EXPECT_EQ(cluster.first, covered) << c.name;
            covered = cluster.end;
            EXPECT_GE(cluster.line, 0) << c.name;
            EXPECT_LT(static_cast<std::size_t>(cluster.line), layout.lineLeft.size()) << c.name;
        }
        EXPECT_EQ(covered, c.text.size()) << c.name;
    }
}

TEST(LumoUtf8, InvalidBytesBecomeReplacementCharacters) {
    struct Case {
        std::string bytes;
        char32_t codePoint;
        std::size_t length;
    };
    const Case cases[] = {
        {"a", U'a', 1},
        {"\xC3\xA9", U'é', 2},
        {"\xE3\x81\x82", U'あ', 3},
        {"\xF0\x9F\x98\x80", U'\U0001F600', 4},
        {"\x80", 0xFFFD, 1},              // a stray continuation byte
        {"\xC0\xAF", 0xFFFD, 1},          // overlong
        {"\xE0\x80\xAF", 0xFFFD, 1},      // overlong
        {"\xED\xA0\x80", 0xFFFD, 1},      // a surrogate
        {"\xF4\x90\x80\x80", 0xFFFD, 1},  // beyond U+10FFFF
        {"\xE3\x81", 0xFFFD, 1},          // cut short
        {"\xE3\x41\x82", 0xFFFD, 1},      // broken by ASCII
        {"\xFF", 0xFFFD, 1},
    };
    for (const Case& c : cases) {
        const DecodedCodePoint d = decodeUtf8(c.bytes);
        EXPECT_EQ(d.codePoint, c.codePoint) << c.bytes;
        EXPECT_EQ(d.length, c.length) << c.bytes;
    }
}

TEST(LumoUtf8, ClustersCountAsOneCharacterAndMarksStaySplitters) {
    EXPECT_EQ(countTextClusters("e\xCC\x81", {}), 1) << "e + combining acute";
    EXPECT_EQ(countTextClusters("eD000000\xCC\x81", {}), 2) << "a mark between them parts them";
    EXPECT_EQ(countTextClusters("e\xCC\x81", {1}), 2) << "so does an append's seam";
    EXPECT_EQ(countTextClusters("\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5", {}), 1) << "a flag";
    EXPECT_EQ(countTextClusters("\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB", {}), 1) << "Hangul jamo";
    EXPECT_EQ(countTextClusters("\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB", {}), 1)
        << "an emoji joined by ZWJ";
    EXPECT_EQ(countTextClusters("Hi", {}), 0) << "H is the line-pitch mark (and swallows i)";
    EXPECT_EQ(countTextClusters("\x1BHi", {}), 2) << "escaped, it is text";
    EXPECT_EQ(countTextClusters("ab\nM001002003004N\xFF", {}), 5);
}

TEST(LumoUtf8, KanaAndIdeographsStartClustersAndOnlyMarksJoinThem) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    for (char32_t c = 0x3000; c < 0xA000; ++c) {
        const auto category = hb_unicode_general_category(unicode, c);
        const bool mark = category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
                          category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
                          category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
        for (char32_t before : {U'あ', U'a', char32_t{0x200D}, char32_t{0x1100}}) {
            GraphemeSegmenter clusters;
            clusters.startsCluster(before);
            EXPECT_EQ(clusters.startsCluster(c), !mark)
                << std::hex << unsigned(before) << " " << unsigned(c);
        }
    }
    EXPECT_EQ(countTextClusters("\xE3\x81\x8B\xE3\x82\x99", {}), 1) << "ka + voiced mark";
}

TEST(LumoUtf8, MarksParseAsInCodePage932) {
    using Kind = TextElement::Kind;
    EXPECT_EQ(parseTextElement("D123456", 0, true).kind, Kind::Color);
    EXPECT_EQ(parseTextElement("E06\xE6\x98\x8E\xE6\x9C\x9Dx", 0, true).face, "明朝");
    const TextElement escaped = parseTextElement("\x1B\xC3\xA9", 0, true);
    EXPECT_EQ(escaped.kind, Kind::Character);
    EXPECT_EQ(escaped.codePoint, U'é');
    EXPECT_EQ(escaped.length, 3u);
    EXPECT_EQ(parseTextElement("\x1B", 0, true).kind, Kind::Incomplete);
    EXPECT_EQ(parseTextElement("xy", 0, true).length, 1u) << "one code point, not two bytes";
}

}  // namespace
}  // namespace lumo
