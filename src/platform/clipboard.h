// Clipboard: plain text handed to the desktop's clipboard and primary
// selection, where dictionary tools pick it up.
#pragma once

#include <memory>
#include <string>

namespace zelk {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // False when the desktop took neither.
    virtual bool Put(const std::string& text) = 0;
};

// SDL's clipboard of the video driver in use; the window's thread only.
std::unique_ptr<Clipboard> MakeSdlClipboard();

}  // namespace zelk
