// The faces UTF-8 text is shaped with: the face a text names first, then the
// other installed fonts in fontconfig's order (those made for the text's
// language ahead of the rest), each character taking the first face that
// holds it. HarfBuzz shapes over the FreeType faces; glyphs
// are drawn at the text's size with FreeType's own coverage.
#pragma once

#include <fontconfig/fontconfig.h>
#include <hb.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumo {

struct FontSystem;

// One drawn glyph: a coverage map (0 background, 255 covered) and its place
// relative to the pen on the baseline (left: rightwards, top: upwards).
struct GlyphImage {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    std::vector<std::uint8_t> coverage;
};

struct PixelBuffer;

// Joins a glyph's coverage to the alpha map with its top left at (x, y):
// each pixel takes the larger of the two, as glyphs of shaped text may
// overlap (kerning, marks on their base). Clipped to the map.
void addCoverage(const PixelBuffer& alpha, int x, int y, const GlyphImage& glyph);

// A glyph out of the shaper, in 26.6 pixels; `cluster` is the index of the
// first code point of the text it stands for.
struct ShapedGlyph {
    int face = 0;
    std::uint32_t glyph = 0;
    std::uint32_t cluster = 0;
    std::int32_t advance = 0;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
};

// A glyph of one of a set's faces.
struct GlyphId {
    int face = 0;
    std::uint32_t glyph = 0;
};

// Code points [first, end) of a text.
struct CodePointRange {
    std::size_t first = 0;
    std::size_t end = 0;
};

// Safe to use from several threads.
class FontSet {
public:
    // `language`: a BCP 47 tag, empty when the text's language is not known.
    FontSet(std::shared_ptr<FontSystem> system, const std::string& faceUtf8, int size,
            const std::string& language = std::string());
    ~FontSet();
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    int size() const { return mSize; }
    // Pixels from the top of a line's cell down to its baseline.
    int baseline() const { return mBaseline; }

    // The face for a grapheme cluster: the first that holds all of its code
    // points, else the first that holds its first one, else the named face
    // (whose missing glyph then shows where no installed font has one).
    int faceFor(const char32_t* codePoints, std::size_t count);
    // faceFor of each cluster of `text`, taking the set's lock once.
    void facesFor(const char32_t* text, std::span<const CodePointRange> clusters,
                  std::span<int> faces);

    // True when `face` has every code point (those that draw nothing aside).
    bool faceHolds(int face, const char32_t* codePoints, std::size_t count);

    // Shapes text[start, start + length) with `face`, the rest of `text` as
    // context; appends the glyphs in visual order.
    void shape(int face, const char32_t* text, std::size_t textLength, std::size_t start,
               std::size_t length, bool rightToLeft, hb_script_t script,
               std::vector<ShapedGlyph>& out);

    // The drawn glyph, valid as long as this set; null when out of reach.
    const GlyphImage* image(int face, std::uint32_t glyph);
    // image() of each glyph, taking the set's lock once.
    void images(std::span<const GlyphId> glyphs, std::span<const GlyphImage*> out);

private:
    struct Face;
    Face* faceAt(int index);  // opened on first use; null when it won't open
    bool holds(int index, char32_t codePoint);
    int chooseFace(const char32_t* codePoints, std::size_t count);  // the lock held
    const GlyphImage* drawnImage(int face, std::uint32_t glyph);    // the lock held

    std::shared_ptr<FontSystem> mSystem;
    int mSize;
    int mBaseline = 0;
    long mEmPixels64 = 0;
    std::mutex mMutex;
    FcFontSet* mSorted = nullptr;
    std::vector<std::unique_ptr<Face>> mFaces;
    std::vector<bool> mTried;
    std::unordered_map<char32_t, int> mChosen;
    hb_buffer_t* mBuffer = nullptr;
    hb_language_t mLanguage = HB_LANGUAGE_INVALID;
};

// A BCP 47 tag as fontconfig names the language's orthography: lower case,
// and Chinese by its script ("zh-Hans" is written as in "zh-cn", "zh-Hant"
// as in "zh-tw" or, for Hong Kong and Macao, "zh-hk" and "zh-mo").
std::string fontconfigLanguage(const std::string& tag);

}  // namespace lumo
