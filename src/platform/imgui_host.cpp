#include "platform/imgui_host.h"

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>
#include <imgui_internal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/display_order.h"

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
constexpr const char* kInterfaceFace = "IPAGothic:lang=ja";
// Characters beyond the interface font's, from other fonts; more show as
// the font's own stand-in.
constexpr std::size_t kMostOtherGlyphs = 256;

// The interface font's file, mapped rather than read: the atlases touch a
// small part of its megabytes, and mapped pages are the system's file
// cache, shared with every program using the font, not the player's heap
// (and not copied before the window can show).
class FontFile {
public:
    FontFile() = default;
    ~FontFile() {
        if (mData != nullptr) munmap(mData, mSize);
    }
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    void Map(const std::string& path) {
        if (path.empty()) return;
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat info {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
            info.st_size < INT_MAX) {
            void* data =
                mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (data != MAP_FAILED) {
                mData = data;
                mSize = static_cast<size_t>(info.st_size);
            }
        }
        close(fd);
    }
    bool Empty() const { return mData == nullptr; }
    // The atlas only reads the bytes, though its interface takes them as
    // writable.
    void* Data() const { return mData; }
    int Size() const { return static_cast<int>(mSize); }
    // Lets the pages go from the player's memory; they stay in the system's
    // file cache and come back when an atlas reads them again.
    void Evict() const {
        if (mData != nullptr) madvise(mData, mSize, MADV_DONTNEED);
    }

private:
    void* mData = nullptr;
    size_t mSize = 0;
};

// A font of an atlas: a file and the glyphs it gives; the first is the
// atlas's font, the others fill in the characters it lacks.
struct AtlasSource {
    const FontFile* file;
    const ImWchar* ranges;
};

// An atlas of the fonts with their glyphs, rasterised; the default font
// when the first cannot be used. One horizontal sample per pixel: Japanese
// glyphs are drawn whole pixels wide, and the atlas is a third of the
// default's size. A font that will not build is left out.
std::unique_ptr<ImFontAtlas> BuildAtlas(const std::vector<AtlasSource>& sources) {
    for (std::size_t used = sources.size(); used > 0; --used) {
        auto atlas = std::make_unique<ImFontAtlas>();
        bool added = true;
        for (std::size_t i = 0; i < used && added; ++i) {
            ImFontConfig config;
            config.FontDataOwnedByAtlas = false;
            config.OversampleH = 1;
            config.OversampleV = 1;
            config.PixelSnapH = true;
            config.MergeMode = i > 0;
            const FontFile& file = *sources[i].file;
            added =
                !file.Empty() && atlas->AddFontFromMemoryTTF(file.Data(), file.Size(), kFontSize,
                                                             &config, sources[i].ranges) != nullptr;
        }
        if (!added || !atlas->Build()) continue;
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        atlas->GetTexDataAsRGBA32(&pixels, &width, &height);
        // The atlas builds from a copy of the whole file that it keeps for
        // its life; once the texture's pixels exist they are all it reads,
        // so the copy goes, and the file's pages with it.
        atlas->ClearInputData();
        for (const AtlasSource& source : sources)
            source.file->Evict();
        return atlas;
    }
    auto atlas = std::make_unique<ImFontAtlas>();
    atlas->AddFontDefault();
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    atlas->GetTexDataAsRGBA32(&pixels, &width, &height);
    atlas->ClearInputData();
    return atlas;
}

std::unique_ptr<ImFontAtlas> BuildAtlas(const FontFile& file, const ImWchar* ranges) {
    return BuildAtlas({AtlasSource{&file, ranges}});
}

// The glyph ranges of the Latin letters and of the characters of `text`.
ImVector<ImWchar> LatinAnd(const std::string& text) {
    ImVector<ImWchar> ranges;
    ImFontGlyphRangesBuilder builder;
    ImFontAtlas defaults;
    builder.AddRanges(defaults.GetGlyphRangesDefault());
    builder.AddText(text.c_str());
    builder.BuildRanges(&ranges);
    return ranges;
}

}  // namespace

namespace {

// The file of the font fontconfig matches to the pattern, when `accept`
// takes the match; "" otherwise.
template <typename Accept>
std::string MatchedFile(const char* family, std::optional<char32_t> character, Accept accept) {
    std::string path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    if (!pattern) return path;
    // fontconfig weighs coverage above the family: the family's own face
    // when it holds the character, else the nearest one that does.
    if (FcCharSet* wanted = character ? FcCharSetCreate() : nullptr) {
        FcCharSetAddChar(wanted, *character);
        FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
        FcCharSetDestroy(wanted);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file &&
            accept(match)) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

}  // namespace

std::string FindFontFile(const char* family) {
    return MatchedFile(family, std::nullopt, [](FcPattern*) { return true; });
}

std::string FindFontFileFor(const char* family, char32_t character) {
    return MatchedFile(family, character, [character](FcPattern* match) {
        FcCharSet* held = nullptr;
        return FcPatternGetCharSet(match, FC_CHARSET, 0, &held) == FcResultMatch &&
               FcCharSetHasChar(held, character);
    });
}

// The file stays mapped for the atlases made later.
struct InterfaceFont::Loaded {
    FontFile file;
    std::unique_ptr<ImFontAtlas> first;
};

InterfaceFont::InterfaceFont(const std::string& firstText) : mFirstText(firstText) {
    mLoading = std::async(std::launch::async, [text = mFirstText] {
        auto loaded = std::make_shared<Loaded>();
        loaded->file.Map(FindFontFile(kInterfaceFace));
        loaded->first = BuildAtlas(loaded->file, LatinAnd(text).Data);
        return loaded;
    });
}

InterfaceFont::~InterfaceFont() {
    if (mLoading.valid()) mLoading.wait();
}

std::unique_ptr<ImFontAtlas> InterfaceFont::FirstGlyphs() {
    if (mLoading.valid()) mLoaded = mLoading.get();
    if (mLoaded->first) return std::move(mLoaded->first);
    return BuildAtlas(mLoaded->file, LatinAnd(mFirstText).Data);
}

std::unique_ptr<ImFontAtlas> InterfaceFont::EveryGlyph(const std::u32string& others) {
    if (mLoading.valid()) mLoaded = mLoading.get();
    ImFontAtlas japanese;
    std::vector<AtlasSource> sources{{&mLoaded->file, japanese.GetGlyphRangesJapanese()}};
    // Each other character from the font fontconfig finds for it, its
    // characters gathered into ranges of one, kept until the atlas is built.
    std::map<std::string, std::vector<ImWchar>> byFile;
    for (char32_t c : others) {
        if (c > 0xFFFF) continue;  // beyond this build's glyph type
        const std::string file = FindFontFileFor(kInterfaceFace, c);
        if (file.empty()) continue;
        std::vector<ImWchar>& ranges = byFile[file];
        ranges.push_back(static_cast<ImWchar>(c));
        ranges.push_back(static_cast<ImWchar>(c));
    }
    std::vector<std::unique_ptr<FontFile>> files;
    for (auto& [path, ranges] : byFile) {
        ranges.push_back(0);
        files.push_back(std::make_unique<FontFile>());
        files.back()->Map(path);
        sources.push_back({files.back().get(), ranges.data()});
    }
    return BuildAtlas(sources);
}

ImGuiHost::ImGuiHost(SDL_Window* window, SDL_Renderer* renderer,
                     std::shared_ptr<InterfaceFont> font)
    : mWindow(window), mRenderer(renderer), mFont(std::move(font)) {
    if (mFont) {
        mAtlas = mFont->FirstGlyphs();
    } else {
        mFont = std::make_shared<InterfaceFont>("");
        mAtlas = mFont->EveryGlyph();
        mEveryGlyph = true;
    }
    ImGuiContext* previous = ImGui::GetCurrentContext();
    mContext = ImGui::CreateContext(mAtlas.get());
    ImGui::SetCurrentContext(mContext);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the interface is remembered on disk
    ImGui::StyleColorsDark();
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

bool ImGuiHost::PopupOpen() const {
    ContextScope scope(mContext);
    return ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
}

void ImGuiHost::NeedGlyphsOf(const std::string& logical) {
    NeedEveryGlyph();
    // The shaped forms are what will be drawn.
    const std::string text = logical + DisplayOrder(logical);
    const ImFont* font = mAtlas->Fonts.empty() ? nullptr : mAtlas->Fonts[0];
    if (font == nullptr) return;
    std::u32string more;
    const char* const end = text.data() + text.size();
    for (const char* at = text.data(); at < end;) {
        unsigned int c = 0;
        at += std::max(1, ImTextCharFromUtf8(&c, at, end));
        if (c < 0x20 || c > 0xFFFF || mOtherGlyphs.find(c) != std::u32string::npos ||
            more.find(c) != std::u32string::npos)
            continue;
        if (font->FindGlyphNoFallback(static_cast<ImWchar>(c)) == nullptr) more += c;
        // Each one is a font look-up and a place in the atlas: a game's
        // names of thousands of rare characters would hang the window.
        if (mOtherGlyphs.size() + more.size() >= kMostOtherGlyphs) break;
    }
    if (more.empty()) return;
    mOtherGlyphs += more;
    std::unique_ptr<ImFontAtlas> atlas = mFont->EveryGlyph(mOtherGlyphs);
    ContextScope scope(mContext);
    ImGui_ImplSDLRenderer_DestroyFontsTexture();
    ImGui::GetIO().Fonts = atlas.get();
    mAtlas = std::move(atlas);
}

void ImGuiHost::NeedEveryGlyph() {
    if (mEveryGlyph) return;
    mEveryGlyph = true;
    std::unique_ptr<ImFontAtlas> atlas = mFont->EveryGlyph(mOtherGlyphs);
    // Between frames nothing refers to the old atlas but the texture made
    // from it.
    ContextScope scope(mContext);
    ImGui_ImplSDLRenderer_DestroyFontsTexture();
    ImGui::GetIO().Fonts = atlas.get();
    mAtlas = std::move(atlas);
}

bool ImGuiHost::ProcessEvent(const SDL_Event& event) {
    ContextScope scope(mContext);
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        const SDL_Scancode key = event.key.keysym.scancode;
        const bool pressedSinceFrame =
            std::find(mPressedSinceFrame.begin(), mPressedSinceFrame.end(), key) !=
            mPressedSinceFrame.end();
        if (event.type == SDL_KEYDOWN && !pressedSinceFrame) mPressedSinceFrame.push_back(key);
        if (event.type == SDL_KEYUP && pressedSinceFrame) {
            mHeldReleases.push_back(event);
            return ImGui::GetIO().WantCaptureKeyboard;
        }
    }
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

void ImGuiHost::ForgetKeys() {
    ContextScope scope(mContext);
    mPressedSinceFrame.clear();
    mHeldReleases.clear();
    ImGui::GetIO().ClearInputKeys();
}

void ImGuiHost::Frame(const std::function<void()>& draw) {
    ContextScope scope(mContext);
    ImGui_ImplSDLRenderer_NewFrame();
    // The texture holds the glyphs now; the atlas's own copy can go.
    if (ImGui::GetIO().Fonts->TexPixelsRGBA32) ImGui::GetIO().Fonts->ClearTexData();
    ImGui_ImplSDL2_NewFrame();
    if (mPointerKnown) ImGui::GetIO().MousePos = ImVec2(float(mPointer.x), float(mPointer.y));
    ImGui::NewFrame();
    mPressedSinceFrame.clear();
    draw();
    ImGui::Render();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    // The keys this frame saw pressed go up before the next one.
    for (const SDL_Event& release : std::exchange(mHeldReleases, {}))
        ImGui_ImplSDL2_ProcessEvent(&release);
}

}  // namespace zelk
