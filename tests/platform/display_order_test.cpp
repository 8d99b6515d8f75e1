// Game text in the interface's windows: right-to-left lines in the order
// they are seen, Arabic joined, and glyphs for any script the interface
// font lacks.
#include "platform/display_order.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <memory>
#include <string>

#include "platform/imgui_host.h"

namespace zelk {
namespace {

TEST(DisplayOrder, LeftToRightTextComesBackAsItIs) {
    for (const std::string text : {"", "Akari", "灯里「PC」", "Zoë\nÉcoute", "\xFF\xFE broken"})
        EXPECT_EQ(DisplayOrder(text), text);
}

TEST(DisplayOrder, ArabicIsReversedAndJoinedLineByLine) {
    // يوكي: yeh, waw, kaf, yeh. Seen from the left: the last yeh in its
    // final form, kaf in its initial form (waw joins nothing after it), waw
    // in its final form, the first yeh in its initial form.
    EXPECT_EQ(DisplayOrder("يوكي"), "\uFEF2\uFEDB\uFEEE\uFEF3");
    // Each line on its own; digits keep their order inside.
    EXPECT_EQ(DisplayOrder("يوكي\nيوكي"), "\uFEF2\uFEDB\uFEEE\uFEF3\n\uFEF2\uFEDB\uFEEE\uFEF3");
    EXPECT_EQ(DisplayOrder("ب 12"), "12 \uFE8F");
    // A Latin line with an Arabic word stays a Latin line.
    EXPECT_EQ(DisplayOrder("Hi يوكي!"), "Hi \uFEF2\uFEDB\uFEEE\uFEF3!");
    // Hebrew joins nothing: reversed only.
    EXPECT_EQ(DisplayOrder("אבג"), "גבא");
}

// A right-to-left line with bytes that are no UTF-8, or a sequence cut
// short at its end, shows them as U+FFFD.
TEST(DisplayOrder, DamagedTextShowsReplacementCharacters) {
    EXPECT_EQ(DisplayOrder("\xD8\xA8\xFF"), "\uFFFD\uFE8F");
    EXPECT_EQ(DisplayOrder("\xD8\xA8 \xF0\x9F"), "\uFFFD \uFE8F");
    EXPECT_EQ(DisplayOrder("\xD8\xA8 \xC0\x80"), "\uFFFD\uFFFD \uFE8F") << "overlong";
    EXPECT_EQ(DisplayOrder("\xD8\xA8 \xED\xA0\x80"), "\uFFFD \uFE8F") << "a surrogate";
    EXPECT_EQ(DisplayOrder("\xD8"), "\uFFFD");
    std::string arabic;
    for (int i = 0; i < 5000; ++i)
        arabic += "\xD8\xA8";
    EXPECT_EQ(DisplayOrder(arabic).size(), 5000u * 3);
}

// The interface font is Japanese; a name in another script gets its glyphs
// from a font that holds them, shaped forms included.
TEST(InterfaceGlyphs, ANameInAScriptTheInterfaceFontLacksIsDrawnFromAnother) {
    if (FindFontFileFor("IPAGothic:lang=ja", U'ي').empty())
        GTEST_SKIP() << "no font for Arabic is installed";
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("glyphs", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr);
    {
        ImGuiHost host(window, renderer);
        auto holds = [&](ImWchar c) {
            bool found = false;
            host.Frame([&] { found = ImGui::GetFont()->FindGlyphNoFallback(c) != nullptr; });
            return found;
        };
        EXPECT_TRUE(holds(u'灯'));
        EXPECT_FALSE(holds(0xFEF2));
        host.NeedGlyphsOf("يوكي");
        EXPECT_TRUE(holds(u'灯')) << "the interface font stays";
        EXPECT_TRUE(holds(0x064A));
        EXPECT_TRUE(holds(0xFEF2)) << "the form that is drawn";
        host.NeedGlyphsOf("يوكي 灯里");  // nothing new: the same atlas
        EXPECT_TRUE(holds(0xFEF3));
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace zelk
