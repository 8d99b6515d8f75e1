// Dear ImGui bound to one SDL window and its renderer: the menus and dialogs
// of the game window, and the standalone question box when no game window
// is shown. Each host owns its own ImGui context.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>

struct ImGuiContext;

namespace zelk {

class ImGuiHost {
public:
    ImGuiHost(SDL_Window* window, SDL_Renderer* renderer);
    ~ImGuiHost();
    ImGuiHost(const ImGuiHost&) = delete;
    ImGuiHost& operator=(const ImGuiHost&) = delete;

    SDL_Window* Window() const { return mWindow; }
    SDL_Renderer* Renderer() const { return mRenderer; }

    // Feeds one SDL event to this host's context; true when ImGui wants it
    // (the game should then ignore the mouse or key).
    bool ProcessEvent(const SDL_Event& event);
    // Starts a frame, lets draw() build the interface, renders it over what
    // the renderer already holds. The caller presents.
    void Frame(const std::function<void()>& draw);

private:
    ImGuiContext* mContext = nullptr;
    SDL_Window* mWindow;
    SDL_Renderer* mRenderer;
    // Where the last pointer event in the window put the pointer: the
    // platform backend asks SDL's own pointer state, which events that were
    // pushed into the queue (the scripted input) never move.
    SDL_Point mPointer{0, 0};
    bool mPointerKnown = false;
};

// The file of an installed font family (fontconfig), or "" when none.
std::string FindFontFile(const char* family);

}  // namespace zelk
