// The interface's host: what its windows see of the keys, and the glyphs
// they draw.
#include "platform/imgui_host.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <memory>

namespace zelk {
namespace {

SDL_Event Key(Uint32 type, SDL_Scancode code, SDL_Keycode sym) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = code;
    event.key.keysym.sym = sym;
    return event;
}

// A hidden window with a software renderer for a host.
class ImGuiHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("host", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr);
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        ASSERT_NE(renderer, nullptr);
        host = std::make_unique<ImGuiHost>(window, renderer);
    }
    void TearDown() override {
        host.reset();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<ImGuiHost> host;
};

// A key pressed and let go while no frame was drawn (the game in full
// screen, where the interface draws nothing) is not taken as pressed by a
// window that opens long after.
TEST_F(ImGuiHostTest, AKeyFromBeforeAWindowOpensIsNotPressedInIt) {
    auto escapePressed = [&] {
        bool pressed = false;
        host->Frame([&] { pressed = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape)); });
        return pressed;
    };
    host->Frame([] {});
    // Seen pressed by the next frame: a quick tap still counts.
    host->ProcessEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    host->ProcessEvent(Key(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    EXPECT_TRUE(escapePressed());
    EXPECT_FALSE(escapePressed());
    // Forgotten when a window opens.
    host->ProcessEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    host->ProcessEvent(Key(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    host->ForgetKeys();
    EXPECT_FALSE(escapePressed());
    // A key pressed after it opened counts again.
    host->ProcessEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
    EXPECT_TRUE(escapePressed());
}

// The interface font is Japanese; a name in another script gets its glyphs
// from a font that holds them, shaped forms included.
TEST_F(ImGuiHostTest, ANameInAScriptTheInterfaceFontLacksIsDrawnFromAnother) {
    if (FindFontFileFor("IPAGothic:lang=ja", U'ي').empty())
        GTEST_SKIP() << "no font for Arabic is installed";
    auto holds = [&](ImWchar c) {
        bool found = false;
        host->Frame([&] { found = ImGui::GetFont()->FindGlyphNoFallback(c) != nullptr; });
        return found;
    };
    host->NeedEveryGlyph();
    EXPECT_TRUE(holds(u'灯'));
    EXPECT_FALSE(holds(0xFEF2));
    host->NeedGlyphsOf("يوكي");
    EXPECT_TRUE(holds(u'灯')) << "the interface font stays";
    EXPECT_TRUE(holds(0x064A));
    EXPECT_TRUE(holds(0xFEF2)) << "the form that is drawn";
    host->NeedGlyphsOf("يوكي 灯里");  // nothing new: the same atlas
    EXPECT_TRUE(holds(0xFEF3));
    // A hostile name of thousands of characters fills a bounded number.
    std::string many;
    for (char32_t c = 0xAC00; c < 0xAC00 + 4000; ++c) {
        many += static_cast<char>(0xE0 | (c >> 12));
        many += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        many += static_cast<char>(0x80 | (c & 0x3F));
    }
    host->NeedGlyphsOf(many);
    EXPECT_TRUE(holds(0xFEF3)) << "what was asked before stays";
    EXPECT_FALSE(holds(0xAC00 + 3999));
}

}  // namespace
}  // namespace zelk
