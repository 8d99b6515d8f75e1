#include "platform/clipboard.h"

#include <SDL.h>

namespace zelk {

namespace {

class SdlClipboard final : public Clipboard {
public:
    bool Put(const std::string& text) override {
        const bool clipboard = SDL_SetClipboardText(text.c_str()) == 0;
        // Middle-click pasting and some tools read the primary selection.
        const bool primary = SDL_SetPrimarySelectionText(text.c_str()) == 0;
        return clipboard || primary;
    }
};

}  // namespace

std::unique_ptr<Clipboard> MakeSdlClipboard() {
    return std::make_unique<SdlClipboard>();
}

}  // namespace zelk
