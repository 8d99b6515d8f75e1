// Colours of the settings dialog. The colour box and ImGui speak
// red-green-blue; the stored character colours and the chooser's custom
// colours are kept in the system order (blue-green-red). Every colour read
// is cut to 24 bits, so a stray high byte never reaches a picture.
#pragma once

#include <array>
#include <cstdint>

#include "platform/translate.h"

namespace zelk {

// Red and blue swapped, to 24 bits: red-green-blue <-> the system order.
std::uint32_t SwapRedBlue(std::int64_t color);

// The chooser: an ImGui colour picker in a modal popup, with the dialog's 16
// custom colours as a palette the reader can fill.
class ColorChooser {
public:
    static constexpr const char* kTitle = TrMark("色の設定");
    enum class Result { None, Ok, Cancel };

    // Opens on the next Draw with this red-green-blue colour.
    void Open(std::uint32_t rgb);
    bool IsOpen() const { return mOpen || mOpenRequest; }

    // Builds the popup while it is open; the custom colours (system order)
    // are filled in place. Ok or Cancel in the frame the reader ends it.
    Result Draw(std::array<std::uint32_t, 16>& custom);

    // The colour being chosen, red-green-blue.
    std::uint32_t Color() const;
    void Color(std::uint32_t rgb);
    // The custom colour box that "作成した色に追加" fills next.
    int Slot() const { return mSlot; }
    // Takes a custom colour as the chosen one and selects its box.
    void PickCustomColor(int slot, const std::array<std::uint32_t, 16>& custom);
    // Puts the chosen colour into the selected box and moves to the next.
    void AddCustomColor(std::array<std::uint32_t, 16>& custom);

private:
    bool mOpenRequest = false;
    bool mOpen = false;
    float mColor[3] = {1.0f, 1.0f, 1.0f};
    int mSlot = 0;
};

}  // namespace zelk
