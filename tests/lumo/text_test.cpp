// Text films: the buffer, the mark language and printed glyphs.
#include <string>

#include "lumo_host.h"

using namespace lumo_test;

namespace {

// "あい" in code page 932.
const std::string kTwoCharacters = "\x82\xa0\x82\xa2";

int32_t textFilm(int32_t parent, int size = 16) {
    const int32_t film = makeFilm(FT_TEXT, parent, 0, 0, 64, 32);
    setProp(film, FP_TEXT_SIZE, size);
    setProp(film, FP_TEXT_PITCH, size);
    return film;
}

void append(int32_t film, const std::string& text) {
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, text.c_str()), 0);
}

std::pair<int, int> cursor(int32_t film) {
    int32_t pos[2];
    EXPECT_EQ(GetFilmProp(film, FP_TEXT_POS, pos), 0);
    return {pos[0], pos[1]};
}

}  // namespace

TEST_F(LumoTest, LengthCountsCharactersNotMarks) {
    const int32_t film = textFilm(-1);
    append(film, "C0010" + kTwoCharacters + "\nB000000FF" + "I+010" + kTwoCharacters);
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 4);
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), 0);
}

TEST_F(LumoTest, ShownBeyondTheLengthPrintsEverythingAndStopsThere) {
    const int32_t film = textFilm(-1);
    append(film, kTwoCharacters + "O" + kTwoCharacters);
    setProp(film, FP_TEXT_SHOWN, 99);
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), 4) << "the stop mark does not stop instant printing";
    EXPECT_EQ(cursor(film), (std::pair{64, 0}));
}

TEST_F(LumoTest, ShownBelowTheCurrentCountDoesNothing) {
    const int32_t film = textFilm(-1);
    append(film, kTwoCharacters + kTwoCharacters);
    setProp(film, FP_TEXT_SHOWN, 3);
    setProp(film, FP_TEXT_SHOWN, 1);
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), 3);
}

TEST_F(LumoTest, CursorMarksMoveThePen) {
    const int32_t film = textFilm(-1);
    setProp(film, FP_TEXT_LINE_PITCH, 20);
    append(film,
           "I+00AJ0005" + kTwoCharacters + "K-004" + "\n" + "L+003" + "G020" + kTwoCharacters);
    setProp(film, FP_TEXT_SHOWN, 4);
    // x: 10, two characters of 16, back 4 = 38; new line: 0; one character of 32.
    // y: 5, new line + 20, down 3 = 28.
    EXPECT_EQ(cursor(film), (std::pair{64, 28}));
}

TEST_F(LumoTest, StyleMarksChangeTheFilmsStyle) {
    const int32_t film = textFilm(-1);
    append(film,
           "D112233"
           "C0040"
           "F018"
           "H01e" +
               kTwoCharacters);
    setProp(film, FP_TEXT_SHOWN, 1);
    EXPECT_EQ(filmProp(film, FP_TEXT_COLOR), 0x332211);
    EXPECT_EQ(filmProp(film, FP_TEXT_DELAY), 0x40);
    EXPECT_EQ(filmProp(film, FP_TEXT_SIZE), 0x18);
    EXPECT_EQ(filmProp(film, FP_TEXT_LINE_PITCH), 0x1E);
}

TEST_F(LumoTest, ResetMarkRestoresTheEngineDefaults) {
    const int32_t size = 30;
    ASSERT_EQ(SetLumoProp(LP_TEXT_SIZE, &size), 0);
    const int32_t film = textFilm(-1, 12);
    append(film, kTwoCharacters + "A");
    setProp(film, FP_TEXT_SHOWN, 2);
    EXPECT_EQ(filmProp(film, FP_TEXT_SIZE), 12);
    ASSERT_EQ(RemoveFilm(film), 0);
    const int32_t again = textFilm(-1, 12);
    append(again, "A" + kTwoCharacters);
    setProp(again, FP_TEXT_SHOWN, 1);
    EXPECT_EQ(filmProp(again, FP_TEXT_SIZE), 30);
    EXPECT_EQ(filmProp(again, FP_TEXT_LENGTH), 0) << "the reset empties the buffer";
    const int32_t usual = 24;  // the defaults outlive a restart of the engine
    ASSERT_EQ(SetLumoProp(LP_TEXT_SIZE, &usual), 0);
}

TEST_F(LumoTest, MarkLettersPostTheirValues) {
    Notifications notes;
    const int32_t film = textFilm(-1);
    append(film, "P0000002a" + kTwoCharacters + "T00000007");
    setProp(film, FP_TEXT_SHOWN, 1);
    ASSERT_TRUE(notes.waitFor(1));
    const auto first = notes.messages()[0];
    EXPECT_EQ(first.wparam, EV_TEXT_MARK_P * 65536 + film);
    EXPECT_EQ(first.lparam, 42);
}

TEST_F(LumoTest, NullAppendClearsTextAndCursor) {
    const int32_t film = textFilm(-1);
    append(film, kTwoCharacters);
    setProp(film, FP_TEXT_SHOWN, 2);
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, nullptr), 0);
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 0);
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), 0);
    EXPECT_EQ(cursor(film), (std::pair{0, 0}));
}

TEST_F(LumoTest, PrintedGlyphLandsInTheAlphaMapInTheTextColour) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 64, 32, 0x000000);
    const int32_t film = textFilm(root, 24);
    setProp(film, FP_TEXT_COLOR, 0x00FF00);
    setProp(film, FP_TEXT_POS, 4, 2);
    append(film, "\x82\x60");  // full-width "A"
    setProp(film, FP_TEXT_SHOWN, 1);
    int covered = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const int a = alphaAt(film, x, y);
            const bool inside = x >= 4 && x < 28 && y >= 2 && y < 26;
            if (!inside) {
                EXPECT_EQ(a, 0) << x << "," << y;
            }
            covered += a > 128;
        }
    EXPECT_GT(covered, 20) << "the glyph has visible strokes";
    EXPECT_EQ(pixel(film, 10, 10), (Bgr{0, 255, 0}));
    EXPECT_EQ(pixel(film, 30, 10), (Bgr{0, 0, 0})) << "colour only under the character";
    call(root, FM_REDRAW);
    int lit = 0;
    for (int y = 2; y < 26; ++y)
        for (int x = 4; x < 28; ++x)
            lit += pixel(root, x, y).g > 128;
    EXPECT_GT(lit, 20) << "the parent shows the glyph after its redraw";
}

TEST_F(LumoTest, TextClearEmptiesPixelsAndBuffer) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 64, 32, 0x000000);
    const int32_t film = textFilm(root, 16);
    append(film, "\x82\x60");
    setProp(film, FP_TEXT_SHOWN, 1);
    call(root, FM_REDRAW);
    call(film, FM_TEXT_CLEAR);
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 0);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(alphaAt(film, x, 8), 0);
}

TEST_F(LumoTest, NewPageMarkClearsThePictureAndCountsOne) {
    const int32_t film = textFilm(-1, 16);
    append(film, "\x82\x60N\x82\x60");
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 3);
    setProp(film, FP_TEXT_SHOWN, 3);
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), 3);
    EXPECT_EQ(cursor(film), (std::pair{16, 0}));
}

TEST_F(LumoTest, GlyphFilmMarkCopiesAPictureAsACharacter) {
    const int32_t glyphs = makeFilm(FT_ALPHA, -1, 0, 0, 8, 8, 0x0000FF);
    call(glyphs, FM_FILL_ALPHA, 200);
    ASSERT_EQ(SetLumoProp(LP_GLYPH_FILM, &glyphs), 0);
    const int32_t film = textFilm(-1, 16);
    append(film, "M002002006005");  // (2, 2)-(6, 5)
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 1);
    setProp(film, FP_TEXT_SHOWN, 1);
    EXPECT_EQ(cursor(film), (std::pair{4, 0}));
    EXPECT_EQ(alphaAt(film, 3, 2), 200);
    EXPECT_EQ(alphaAt(film, 4, 2), 0);
    EXPECT_EQ(pixel(film, 0, 0), (Bgr{0, 0, 255}));
}

// The engine splits a text for the host as it splits it itself: the host's
// shadow copy depends on it.
TEST(LumoTextElements, TheHostReadsElementsAsTheEngineDoes) {
    int32_t bytes = 0;
    auto at = [&](const std::string& text, int32_t position) {
        bytes = -1;
        return GetTextElement(text.data(), static_cast<int32_t>(text.size()), position, &bytes);
    };
    EXPECT_EQ(at("DFF0000" + kTwoCharacters, 0), 'D');
    EXPECT_EQ(bytes, 7);
    EXPECT_EQ(at("DFF0000" + kTwoCharacters, 7), 0) << "a character";
    EXPECT_EQ(bytes, 2);
    EXPECT_EQ(at("\n", 0), '\n');
    EXPECT_EQ(bytes, 1);
    // The face mark takes its name's length from its two digits, whatever the
    // name holds.
    EXPECT_EQ(at("E03DDDD", 0), 'E');
    EXPECT_EQ(bytes, 6);
    // Lower-case letters are no marks: each starts a two-byte character.
    EXPECT_EQ(at("dabcdef", 0), 0);
    EXPECT_EQ(bytes, 2);
    EXPECT_EQ(at("t0000000", 0), 0);
    EXPECT_EQ(bytes, 2);
    // A text that ends inside a mark or a character: the rest, no mark.
    EXPECT_EQ(at("D12", 0), 0);
    EXPECT_EQ(bytes, 3);
    EXPECT_EQ(at("\x82", 0), 0);
    EXPECT_EQ(bytes, 1);
    EXPECT_EQ(at("E09AB", 0), 0);
    EXPECT_EQ(bytes, 5);
}

TEST(LumoTextElements, BadArgumentsAreRefused) {
    const std::string text = "DFF0000";
    int32_t bytes = 0;
    EXPECT_EQ(GetTextElement(nullptr, 7, 0, &bytes), -1);
    EXPECT_EQ(GetTextElement(text.data(), 7, 0, nullptr), -1);
    EXPECT_EQ(GetTextElement(text.data(), 7, 7, &bytes), -1);
    EXPECT_EQ(GetTextElement(text.data(), 7, -1, &bytes), -1);
    EXPECT_EQ(GetTextElement(text.data(), 0, 0, &bytes), -1);
    // No engine needs to run for it.
    EXPECT_EQ(GetTextElement(text.data(), 7, 0, &bytes), 'D');
}
