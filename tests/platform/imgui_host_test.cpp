// The interface's host: what its windows see of the keys.
#include "platform/imgui_host.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <imgui.h>

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

// A key pressed and let go while no frame was drawn (the game in full
// screen, where the interface draws nothing) is not taken as pressed by a
// window that opens long after.
TEST(ImGuiHostKeys, AKeyFromBeforeAWindowOpensIsNotPressedInIt) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("keys", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr);
    {
        ImGuiHost host(window, renderer);
        auto escapePressed = [&] {
            bool pressed = false;
            host.Frame([&] { pressed = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape)); });
            return pressed;
        };
        host.Frame([] {});
        // Seen pressed by the next frame: a quick tap still counts.
        host.ProcessEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
        host.ProcessEvent(Key(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
        EXPECT_TRUE(escapePressed());
        EXPECT_FALSE(escapePressed());
        // Forgotten when a window opens.
        host.ProcessEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
        host.ProcessEvent(Key(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
        host.ForgetKeys();
        EXPECT_FALSE(escapePressed());
        // A key pressed after it opened counts again.
        host.ProcessEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
        EXPECT_TRUE(escapePressed());
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace zelk
