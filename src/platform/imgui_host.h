// Dear ImGui bound to one SDL window and its renderer: the menus and dialogs
// of the game window, and the standalone question box when no game window
// is shown. Each host owns its own ImGui context.
#pragma once

#include <SDL.h>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

struct ImGuiContext;
struct ImFontAtlas;

namespace zelk {

// The interface font, made ready off the user-interface thread. Finding the
// Japanese font, reading it and rasterising its glyphs takes longer than the
// rest of the start together, and a game window's first frames show only the
// menus: loading starts as soon as the menus' text is known, with the glyphs
// of that text and the Latin ones. Every other glyph is rasterised only when
// a text not known in advance (a question, a dialog) is first drawn.
class InterfaceFont {
public:
    explicit InterfaceFont(const std::string& firstText);
    ~InterfaceFont();
    InterfaceFont(const InterfaceFont&) = delete;
    InterfaceFont& operator=(const InterfaceFont&) = delete;

    // The first atlas (waiting for it the first time), then new ones.
    std::unique_ptr<ImFontAtlas> FirstGlyphs();
    // Japanese and Latin, and the `others` (characters the interface font
    // lacks: a game's names in other scripts) from the fonts that hold them.
    std::unique_ptr<ImFontAtlas> EveryGlyph(const std::u32string& others = {});

private:
    struct Loaded;
    std::string mFirstText;
    std::future<std::shared_ptr<Loaded>> mLoading;
    std::shared_ptr<Loaded> mLoaded;
};

class ImGuiHost {
public:
    // Without a font given, the host loads its own with every glyph.
    ImGuiHost(SDL_Window* window, SDL_Renderer* renderer,
              std::shared_ptr<InterfaceFont> font = nullptr);
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
    // The next frames draw text that is not known in advance.
    void NeedEveryGlyph();
    // ... and `text`, whatever its script: the characters the interface font
    // lacks come from fonts that hold them (set one by one, unshaped).
    void NeedGlyphsOf(const std::string& text);
    bool HasEveryGlyph() const { return mEveryGlyph; }
    // Lets go of every key pressed before now. A key's release waits for a
    // frame to see it pressed; where no frame was drawn for a while (the
    // game in full screen), a modal window opening then would take that
    // old key as pressed in it.
    void ForgetKeys();
    // A menu or another popup was open at the end of the last frame.
    bool PopupOpen() const;

private:
    ImGuiContext* mContext = nullptr;
    SDL_Window* mWindow;
    SDL_Renderer* mRenderer;
    std::shared_ptr<InterfaceFont> mFont;
    std::unique_ptr<ImFontAtlas> mAtlas;  // the context's
    bool mEveryGlyph = false;
    std::u32string mOtherGlyphs;  // those asked for beyond the interface font's
    // Where the last pointer event in the window put the pointer: the
    // platform backend asks SDL's own pointer state, which events that were
    // pushed into the queue (the scripted input) never move.
    SDL_Point mPointer{0, 0};
    bool mPointerKnown = false;
    // This ImGui knows only whether a key is down when a frame starts: a key
    // pressed and released between two frames (a quick tap, a scripted key)
    // would never be seen pressed. Such a release waits for the next frame.
    std::vector<SDL_Scancode> mPressedSinceFrame;
    std::vector<SDL_Event> mHeldReleases;
};

// The file of an installed font family (fontconfig), or "" when none.
std::string FindFontFile(const char* family);
// The font file of the pattern that holds the character: the pattern's own
// when it does, else the nearest that does; "" when no font holds it.
std::string FindFontFileFor(const char* family, char32_t character);

}  // namespace zelk
