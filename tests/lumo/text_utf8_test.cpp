// Text films of an engine started for UTF-8 text: counting and typing by
// clusters, wrapping at the film's width, escaped mark letters, and a page
// in four scripts (written as a picture when ZELK_LUMO_SHOTS names a folder).
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "lumo_host.h"
#include "png_writer.h"

using namespace lumo_test;

namespace {

class LumoUtf8Test : public ::testing::Test {
protected:
    void SetUp() override {
        const int32_t rate = 1;
        const int32_t utf8 = LUMO_TEXT_UTF8;
        ASSERT_EQ(SetLumoSetting(LS_FRAME_RATE, &rate), 0);
        ASSERT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &utf8), 0);
        ASSERT_EQ(InitializeLumo(), 0);
    }
    void TearDown() override {
        EXPECT_EQ(TerminateLumo(), 0);
        const int32_t cp932 = LUMO_TEXT_CP932;
        EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &cp932), 0);
    }
};

// Story text as a host sends it: the letters that are marks escaped.
std::string text(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        if (c >= 'A' && c <= 'T') out += '\x1B';
        out += c;
    }
    return out;
}

void append(int32_t film, const std::string& bytes) {
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, bytes.c_str()), 0);
}

int32_t textFilm(int width, int height, int size = 20, int linePitch = 28) {
    const int32_t film = makeFilm(FT_TEXT, -1, 0, 0, width, height);
    setProp(film, FP_TEXT_SIZE, size);
    setProp(film, FP_TEXT_LINE_PITCH, linePitch);
    return film;
}

// Covered pixels of the alpha map in a rectangle.
int ink(int32_t film, int left, int top, int right, int bottom) {
    const LumoSurface* s = surfaceOf(film, FP_ALPHA_OBJECT);
    int covered = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, s->height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, s->width); ++x)
            covered += s->pixels[y * s->stride + x] > 64;
    return covered;
}

}  // namespace

TEST(LumoTextEncoding, IsSetWhileStoppedToAKnownEncoding) {
    const int32_t utf8 = LUMO_TEXT_UTF8;
    const int32_t cp932 = LUMO_TEXT_CP932;
    const int32_t other = 1252;
    EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &other), -1);
    ASSERT_EQ(InitializeLumo(), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &utf8), -1) << "only while stopped";
    EXPECT_EQ(TerminateLumo(), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &utf8), 0);
    EXPECT_EQ(SetLumoSetting(LS_TEXT_ENCODING, &cp932), 0);
}

TEST_F(LumoUtf8Test, LengthCountsClustersAndEscapedLettersAreText) {
    const int32_t film = textFilm(200, 60);
    append(film, "D0000FF" + text("Sylvie: \"Hi!\"") + "\nB00000010" + "e\xCC\x81");
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 13 + 1);
    // The host reads the text as the engine does.
    const std::string bytes = "\x1BSD123456\xC3\xA9";
    int32_t size = 0;
    EXPECT_EQ(GetTextElement(bytes.data(), int32_t(bytes.size()), 0, &size), 0);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(GetTextElement(bytes.data(), int32_t(bytes.size()), 2, &size), 'D');
    EXPECT_EQ(GetTextElement(bytes.data(), int32_t(bytes.size()), 9, &size), 0);
    EXPECT_EQ(size, 2);
}

TEST_F(LumoUtf8Test, TypingRevealsWholeClusters) {
    // "é" written as e and a combining acute: one step shows both.
    const int32_t accented = textFilm(100, 40, 24);
    append(accented, "e\xCC\x81x");
    const int32_t plain = textFilm(100, 40, 24);
    append(plain, "ex");
    setProp(accented, FP_TEXT_SHOWN, 1);
    setProp(plain, FP_TEXT_SHOWN, 1);
    EXPECT_EQ(filmProp(accented, FP_TEXT_SHOWN), 1);
    EXPECT_EQ(filmProp(accented, FP_TEXT_X), filmProp(plain, FP_TEXT_X));
    EXPECT_GT(ink(accented, 0, 0, 100, 40), ink(plain, 0, 0, 100, 40)) << "the accent came with it";
    setProp(accented, FP_TEXT_SHOWN, 2);
    EXPECT_EQ(filmProp(accented, FP_TEXT_SHOWN), 2);
    EXPECT_GT(filmProp(accented, FP_TEXT_X), filmProp(plain, FP_TEXT_X));
}

TEST_F(LumoUtf8Test, GlyphCoverageJoinsWhatTheAlphaMapHolds) {
    // Glyph rows from a pixel wide to wider than two vectors, each byte the
    // larger of the glyph's and what the map held.
    const std::string line = text("i.l|W") + "あ—" + text("MW") + "\xEF\xAC\x81";
    for (int size : {5, 9, 13, 21, 34, 48, 70}) {
        const int width = 600;
        const int height = 2 * size;
        const int32_t plain = textFilm(width, height, size, size);
        append(plain, line);
        setProp(plain, FP_TEXT_SHOWN, filmProp(plain, FP_TEXT_LENGTH));
        const LumoSurface* printed = surfaceOf(plain, FP_ALPHA_OBJECT);
        ASSERT_GT(ink(plain, 0, 0, width, height), 0) << size;

        const int32_t film = textFilm(width, height, size, size);
        const LumoSurface* alpha = surfaceOf(film, FP_ALPHA_OBJECT);
        auto held = [](int x, int y) { return (x * 7 + y * 13) % 256; };
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                alpha->pixels[y * alpha->stride + x] = static_cast<std::uint8_t>(held(x, y));
        append(film, line);
        setProp(film, FP_TEXT_SHOWN, filmProp(film, FP_TEXT_LENGTH));
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int expected =
                    std::max(held(x, y), int{printed->pixels[y * printed->stride + x]});
                wrong += alpha->pixels[y * alpha->stride + x] != expected;
            }
        }
        EXPECT_EQ(wrong, 0) << "size " << size;
        RemoveFilm(plain);
        RemoveFilm(film);
    }
}

TEST_F(LumoUtf8Test, ThePrintActionTypesOneClusterPerDelay) {
    // A flag, an accented letter (two code points each), then a plain one.
    const int32_t film = textFilm(200, 40, 20);
    setProp(film, FP_TEXT_DELAY, 10);
    append(film, "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5x\xCC\x81y");
    ASSERT_EQ(filmProp(film, FP_TEXT_LENGTH), 3);
    const int32_t action = AddAction();
    ASSERT_GE(action, 0);
    CallActMethod(action, AM_CLEAR, nullptr);
    for (int32_t word : {int32_t{AC_PRINT}, int32_t{AC_END}})
        CallActMethod(action, AM_APPEND, &word);
    const int32_t zero = 0;
    SetActProp(action, AP_START, &zero);
    SetActProp(action, AP_TARGET, &film);
    ASSERT_EQ(CallActMethod(action, AM_START, nullptr), 0);
    std::vector<int> xs;
    for (int step = 0; step < 3; ++step) {
        ProgressAction(step == 0 ? 1 : 10);
        EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), step + 1);
        xs.push_back(filmProp(film, FP_TEXT_X));
    }
    EXPECT_LT(xs[0], xs[1]);
    EXPECT_LT(xs[1], xs[2]);
    RemoveAction(action);
}

TEST_F(LumoUtf8Test, LinesWrapAtTheFilmsWidthAndMarksKeepWorking) {
    const int32_t film = textFilm(160, 200, 20, 28);
    append(film, text("one two three four five six seven eight nine ten") + "\n" + text("end"));
    setProp(film, FP_TEXT_SHOWN, filmProp(film, FP_TEXT_LENGTH));
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), filmProp(film, FP_TEXT_LENGTH));
    const int lastLine = filmProp(film, FP_TEXT_Y);
    EXPECT_GE(lastLine, 3 * 28) << "several wrapped lines, then the forced one";
    EXPECT_EQ(lastLine % 28, 0);
    EXPECT_EQ(ink(film, 160, 0, 200, 200), 0);
    for (int line = 0; line <= lastLine / 28; ++line)
        EXPECT_GT(ink(film, 0, line * 28, 160, line * 28 + 28), 0) << "line " << line;
}

TEST_F(LumoUtf8Test, EachFaceAndSizeOfALineDrawsItsOwnGlyphsOnEveryLineAndPage) {
    // The covered pixels of one letter alone in a face and size.
    auto inkOf = [](const std::string& marks) {
        const int32_t film = textFilm(200, 100, 40, 50);
        append(film, marks + text("H"));
        setProp(film, FP_TEXT_SHOWN, 1);
        const int covered = ink(film, 0, 0, 200, 100);
        RemoveFilm(film);
        return covered;
    };
    const std::string small = "F00C";
    const std::string large = "F028";
    const std::string noto = "E09Noto Sans";
    const int big = inkOf("");
    const int little = inkOf(small);
    const int other = inkOf(noto);
    ASSERT_GT(little, 0);
    ASSERT_NE(big, little);
    ASSERT_NE(big, other);
    ASSERT_NE(little, inkOf(noto + small));

    // Three sizes and faces in one line, then the same letters wrapped over
    // three lines, then a page typed after a clear.
    const int32_t film = textFilm(500, 200, 40, 50);
    append(film, text("H") + small + text("H") + noto + large + text("H"));
    setProp(film, FP_TEXT_SHOWN, filmProp(film, FP_TEXT_LENGTH));
    EXPECT_EQ(filmProp(film, FP_TEXT_Y), 0);
    EXPECT_EQ(ink(film, 0, 0, 500, 200), big + little + other);

    const int32_t narrow = textFilm(70, 200, 40, 50);
    append(narrow, text("HHHHHH"));
    setProp(narrow, FP_TEXT_SHOWN, filmProp(narrow, FP_TEXT_LENGTH));
    EXPECT_GT(filmProp(narrow, FP_TEXT_Y), 0) << "more than one line";
    EXPECT_EQ(ink(narrow, 0, 0, 70, 200), 6 * big);

    call(film, FM_FILL, 0);
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, nullptr), 0);
    LumoSurface* alpha = surfaceOf(film, FP_ALPHA_OBJECT);
    for (int y = 0; y < alpha->height; ++y)
        std::fill_n(alpha->pixels + y * alpha->stride, alpha->width, 0);
    // The face the first page ended with stays; the size changes again.
    append(film, small + text("HH"));
    setProp(film, FP_TEXT_SHOWN, filmProp(film, FP_TEXT_LENGTH));
    EXPECT_EQ(ink(film, 0, 0, 500, 200), 2 * inkOf(noto + small));
}

TEST_F(LumoUtf8Test, AColourChangeInsideAWordKeepsTheWordWhole) {
    const int32_t film = textFilm(300, 40, 24, 30);
    append(film, "DFFFFFF" + text("wor") + "DFF0000" + text("ds"));
    setProp(film, FP_TEXT_SHOWN, 99);
    EXPECT_EQ(filmProp(film, FP_TEXT_Y), 0);
    const int end = filmProp(film, FP_TEXT_X);
    // Covered pixels of the first letters are white, of the last ones red.
    const LumoSurface* alpha = surfaceOf(film, FP_ALPHA_OBJECT);
    int white = 0, red = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < end; ++x) {
            if (alpha->pixels[y * alpha->stride + x] < 128) continue;
            const Bgr p = pixel(film, x, y);
            white += p == Bgr{255, 255, 255} && x < end / 2;
            red += p == Bgr{0, 0, 255} && x > end / 2;
        }
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(red, 0);
}

TEST_F(LumoUtf8Test, PagePictureAndCursorMarksWorkAsInCodePage932) {
    const int32_t film = textFilm(200, 60, 20, 28);
    append(film, text("ab") + "I+040J0010" + text("c") + "N" + text("de"));
    EXPECT_EQ(filmProp(film, FP_TEXT_LENGTH), 6);
    setProp(film, FP_TEXT_SHOWN, 3);
    EXPECT_GT(ink(film, 64, 16, 90, 60), 0) << "c at the moved cursor";
    setProp(film, FP_TEXT_SHOWN, 4);
    EXPECT_EQ(ink(film, 0, 0, 200, 60), 0) << "the new page is empty";
    EXPECT_EQ(filmProp(film, FP_TEXT_X), 0);
    setProp(film, FP_TEXT_SHOWN, 6);
    EXPECT_GT(ink(film, 0, 0, 40, 28), 0);
    EXPECT_EQ(filmProp(film, FP_TEXT_Y), 0);
}

TEST_F(LumoUtf8Test, TextAppendedLaterContinuesTheLine) {
    const int32_t once = textFilm(200, 200);
    append(once, text("Hello there, how are you doing today?"));
    setProp(once, FP_TEXT_SHOWN, 99);
    const int32_t split = textFilm(200, 200);
    append(split, text("Hello there, "));
    setProp(split, FP_TEXT_SHOWN, 99);
    append(split, text("how are you doing today?"));
    setProp(split, FP_TEXT_SHOWN, 99);
    EXPECT_EQ(filmProp(split, FP_TEXT_LENGTH), filmProp(once, FP_TEXT_LENGTH));
    EXPECT_EQ(filmProp(split, FP_TEXT_Y), filmProp(once, FP_TEXT_Y));
    EXPECT_GT(filmProp(split, FP_TEXT_Y), 0) << "it wrapped";
}

TEST_F(LumoUtf8Test, ATabIsASpaceAndACarriageReturnNothing) {
    auto widthOf = [](const std::string& bytes) {
        const int32_t film = textFilm(300, 40);
        append(film, bytes);
        setProp(film, FP_TEXT_SHOWN, 99);
        return filmProp(film, FP_TEXT_X);
    };
    EXPECT_EQ(widthOf("a\tb"), widthOf("a b"));
    EXPECT_EQ(widthOf("a\rb"), widthOf("ab"));
    EXPECT_GT(widthOf("a\x01"
                      "b"),
              widthOf("ab"))
        << "a stray control shows as U+FFFD";
}

TEST_F(LumoUtf8Test, TheHostMovingTheCursorSetsTheRestAgainThere) {
    const int32_t film = textFilm(300, 100, 20, 28);
    append(film, text("abc def"));
    setProp(film, FP_TEXT_SHOWN, 2);
    setProp(film, FP_TEXT_POS, 100, 50);
    setProp(film, FP_TEXT_SHOWN, 3);
    EXPECT_GT(ink(film, 100, 50, 130, 80), 0) << "c at the new place";
    EXPECT_GT(filmProp(film, FP_TEXT_X), 100);
    EXPECT_EQ(filmProp(film, FP_TEXT_Y), 50);
}

TEST_F(LumoUtf8Test, BadTextPrintsToItsEnd) {
    const std::string cases[] = {
        "\xFF\xFE\xC0\xAF\xE3\x81",        // not UTF-8
        "\xCC\x81\xCC\x81" + text("abc"),  // marks with no base
        std::string(3000, 'x'),            // a long word
        [] {
            std::string zwj;
            for (int i = 0; i < 1000; ++i)
                zwj += "\xE2\x80\x8D";
            return zwj;
        }(),
        std::string(500, ' '),
        "\xF0\x90\x98\x80\xF0\x90\x98\x81",  // Linear A: no font has it
        "\xD8\xA7\xD9\x84\xD8\xB9\xD8\xAF\xD8\xAF 123 \xD9\x87\xD9\x86\xD8\xA7",
        "\x1B",                                    // an escape with nothing after
        std::string("a\tb\r\x01\x7F\xC2\x85", 8),  // control characters
    };
    for (const std::string& bytes : cases) {
        const int32_t film = textFilm(120, 60, 16, 20);
        append(film, bytes);
        const int32_t length = filmProp(film, FP_TEXT_LENGTH);
        setProp(film, FP_TEXT_SHOWN, length);
        EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), length);
        EXPECT_EQ(RemoveFilm(film), 0);
        ExeQueue();
    }
}

TEST_F(LumoUtf8Test, ArabicIsSetAgainstTheRightEdge) {
    const int32_t film = textFilm(300, 40, 20, 28);
    append(film, "مرحبا بالعالم");
    setProp(film, FP_TEXT_SHOWN, 1);
    EXPECT_GT(ink(film, 280, 0, 300, 40), 0) << "the first letter is at the right";
    EXPECT_EQ(ink(film, 0, 0, 150, 40), 0);
    setProp(film, FP_TEXT_SHOWN, 99);
    EXPECT_EQ(ink(film, 0, 0, 100, 40), 0);
    EXPECT_GT(ink(film, 150, 0, 280, 40), 0);
}

class LumoUtf8PageTest : public LumoUtf8Test, public ::testing::WithParamInterface<int> {};

TEST_P(LumoUtf8PageTest, APageInFourScriptsIsSet) {
    const int width = 470;
    const int height = 420;
    // The Japanese face the engine starts with, then a proportional one.
    const int32_t film = textFilm(width, height, 21, 30);
    if (GetParam() == 1) {
        ASSERT_EQ(SetFilmProp(film, FP_TEXT_FONT, "Noto Sans"), 0);
    }
    const std::string page[] = {
        text("Sylvie opened the letter. \"Hi!\" she said, and read it twice before the bell "
             "rang. Caf") +
            "e\xCC\x81 na\xC3\xAFve \xEF\xAC\x81ne.",
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。「" + text("PC") +
            "でできる」と3日目に言った。",
        "مرحبا بالعالم، هذا نص عربي فيه الرقم 2024 وكلمات أخرى كثيرة.",
        text("The word ") + "سلام" + text(" means peace (") + "١٢٣" + text(" = 123).") +
            " नमस्ते Ελληνικά",
    };
    for (const std::string& paragraph : page)
        append(film, paragraph + "\n\n");
    setProp(film, FP_TEXT_SHOWN, filmProp(film, FP_TEXT_LENGTH));
    EXPECT_EQ(filmProp(film, FP_TEXT_SHOWN), filmProp(film, FP_TEXT_LENGTH));
    EXPECT_LT(filmProp(film, FP_TEXT_Y), height);

    if (const char* folder = std::getenv("ZELK_LUMO_SHOTS")) {
        const LumoSurface* image = surfaceOf(film, FP_IMAGE_OBJECT);
        const LumoSurface* alpha = surfaceOf(film, FP_ALPHA_OBJECT);
        std::vector<std::uint8_t> rgb;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int a = alpha->pixels[y * alpha->stride + x];
                const std::uint8_t* p = image->pixels + y * image->stride + x * 3;
                for (int channel = 2; channel >= 0; --channel)
                    rgb.push_back(
                        static_cast<std::uint8_t>((p[channel] * a + 40 * (255 - a)) / 255));
            }
        }
        EXPECT_TRUE(
            writePng(std::string(folder) + "/lumo_text_page" + std::to_string(GetParam()) + ".png",
                     width, height, rgb));
    }
}

INSTANTIATE_TEST_SUITE_P(Faces, LumoUtf8PageTest, ::testing::Values(0, 1));
