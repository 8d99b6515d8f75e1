// The preview label of the face list: a sample of the game's language set
// in the chosen face. ImGui's own atlas cannot take a new face while a frame is
// being built, so the sample is set with FreeType into a texture of the
// dialog's renderer and shown as a picture.
#pragma once

#include <string>

struct SDL_Renderer;
struct SDL_Texture;

namespace zelk {

class FontPreview {
public:
    explicit FontPreview(SDL_Renderer* renderer);
    ~FontPreview();
    FontPreview(const FontPreview&) = delete;
    FontPreview& operator=(const FontPreview&) = delete;

    // Draws the sample of the language (a tag: `ja`, `en`, `ar-EG`) in the
    // face, `height` pixels high, inside the current ImGui window; in the
    // dialog's own face when it cannot be set.
    void Draw(const std::string& face, float height, const std::string& language = "ja");

    // The font file the face resolved to, "" when none or not yet drawn.
    const std::string& FontFile() const { return mFile; }
    // Whether the sample was set into a picture (else it shows in the
    // dialog's face).
    bool HasPicture() const { return mTexture != nullptr; }

private:
    bool Render(const std::string& face, int pixels, const std::string& language);

    SDL_Renderer* mRenderer;
    SDL_Texture* mTexture = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    std::string mFace;
    std::string mLanguage;
    int mPixels = 0;
    bool mTried = false;
    std::string mFile;
};

// The fontconfig pattern for a face name: the Windows Japanese faces mapped
// to the installed ones, coverage of the language asked for (none when the
// tag names none).
std::string FacePattern(const std::string& face, const std::string& language = "ja");

// A few letters of the language's script and Latin ones: what a reader
// judges a face by.
const char* FaceSample(const std::string& language);

}  // namespace zelk
