// ImGui pieces of the settings dialog that ImGui itself lacks: captioned
// frames around groups of controls, and a keyboard order in which Tab walks
// every control (ImGui's own Tab reaches only text fields) and the arrows
// move a focused slider.
#pragma once

#include <vector>

namespace zelk {

// A captioned frame around the controls built while it lives, its caption
// set into the top edge.
class FrameBox {
public:
    FrameBox(const char* caption, float width);
    ~FrameBox();
    FrameBox(const FrameBox&) = delete;
    FrameBox& operator=(const FrameBox&) = delete;

private:
    const char* mCaption;
    float mWidth;
    float mStartX;
    float mStartY;
    float mPadding;
};

// The Tab order of one window, rebuilt every frame in the order the
// controls are built.
class DialogKeyboard {
public:
    enum class Kind { Control, Button };
    enum class Place { Header, Body };

    // Before the window's first control.
    void Begin();
    // The control just built takes part in the order (disabled ones do not).
    void Add(Kind kind = Kind::Control, Place place = Place::Body);
    // Tab and Shift+Tab move the keyboard focus along the order; the
    // dialog's window must be the current one.
    void End();

    // Whether the keyboard focus is on a button of the order (Enter then
    // presses it rather than the dialog's OK).
    bool FocusOnButton() const;
    // Presses the focused button on the next frame.
    void PressFocusedButton() const;
    // Left/Right (and Page Up/Down) on the slider just built while it has
    // the keyboard focus: the step to apply, 0 when none. The arrows then
    // stop moving the focus.
    static long SliderStep();

private:
    struct Stop {
        unsigned int Id;
        float MinX, MinY, MaxX, MaxY;
        unsigned int FocusScope;
        // The ImGui window holding the control (a list's own child window).
        void* Window;
        Kind What;
    };
    std::vector<Stop> mHeader;
    std::vector<Stop> mBody;
    std::vector<Stop> mLastOrder;
};

}  // namespace zelk
