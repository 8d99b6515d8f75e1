#include "platform/imgui_host.h"

#include <fontconfig/fontconfig.h>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include <string>

namespace zelk {

namespace {

// Switches to a host's context for one call and back, so that hosts never
// leak their context into each other.
class ContextScope {
public:
    explicit ContextScope(ImGuiContext* context) : mPrevious(ImGui::GetCurrentContext()) {
        ImGui::SetCurrentContext(context);
    }
    ~ContextScope() { ImGui::SetCurrentContext(mPrevious); }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ImGuiContext* mPrevious;
};

constexpr float kFontSize = 18.0f;

}  // namespace

std::string FindFontFile(const char* family) {
    std::string path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (!pattern) return path;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

ImGuiHost::ImGuiHost(SDL_Window* window, SDL_Renderer* renderer)
    : mWindow(window), mRenderer(renderer) {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    mContext = ImGui::CreateContext();
    ImGui::SetCurrentContext(mContext);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the interface is remembered on disk
    ImGui::StyleColorsDark();
    const std::string font = FindFontFile("IPAGothic:lang=ja");
    if (font.empty() || !io.Fonts->AddFontFromFileTTF(font.c_str(), kFontSize, nullptr,
                                                      io.Fonts->GetGlyphRangesJapanese())) {
        io.Fonts->AddFontDefault();
    }
    ImGui_ImplSDL2_InitForSDLRenderer(window);
    ImGui_ImplSDLRenderer_Init(renderer);
    ImGui::SetCurrentContext(previous);
}

ImGuiHost::~ImGuiHost() {
    {
        ContextScope scope(mContext);
        ImGui_ImplSDLRenderer_Shutdown();
        ImGui_ImplSDL2_Shutdown();
    }
    ImGui::DestroyContext(mContext);
}

bool ImGuiHost::ProcessEvent(const SDL_Event& event) {
    ContextScope scope(mContext);
    ImGui_ImplSDL2_ProcessEvent(&event);
    if (event.type == SDL_MOUSEMOTION) {
        mPointer = {event.motion.x, event.motion.y};
        mPointerKnown = true;
    } else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
        mPointer = {event.button.x, event.button.y};
        mPointerKnown = true;
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_LEAVE) {
        mPointerKnown = false;
    }
    const ImGuiIO& io = ImGui::GetIO();
    switch (event.type) {
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            return io.WantCaptureMouse;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
            return io.WantCaptureKeyboard;
        default:
            return false;
    }
}

void ImGuiHost::Frame(const std::function<void()>& draw) {
    ContextScope scope(mContext);
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    if (mPointerKnown) ImGui::GetIO().MousePos = ImVec2(float(mPointer.x), float(mPointer.y));
    ImGui::NewFrame();
    draw();
    ImGui::Render();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}

}  // namespace zelk
