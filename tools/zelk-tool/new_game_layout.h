// Where everything of a new game stands on its screen, worked out once from
// the screen's size: the system files place the films there and the
// placeholder pictures are drawn to the same sizes.
#pragma once

#include <string>

namespace zelk::tool {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
};

struct NewGameLayout {
    explicit NewGameLayout(int width, int height);

    // Sizes at 640 x 480 grow with the screen's height.
    int Scaled(int v) const;

    int width;
    int height;

    // Title.
    Box titleButton;  // the first; the others follow below
    int titleButtonStep;

    // Reading: the text window, its parts and its buttons.
    Box window;
    Box text;
    Box nameplate;
    Box state;
    Box windowButton;  // the first; the others follow to the right
    int windowButtonStep;
    Box cursor;
    int fontSize;
    int linePitch;
    int charCount;
    int lineCount;
    Box choice;
    Box choiceText;
    int choiceSpace;
    int choiceCenter;
    Box novel;
    Box novelText;

    // The log.
    Box logText;  // the first of four
    int logStep;
    Box logVoice;
    Box logButton;  // the first; the others follow below
    int logButtonStep;
    Box logReturn;
    int logFontSize;
    int logLinePitch;

    // Save and load.
    Box slot;  // the first slot; its size is the slot plate's
    int slotXDiff;
    int slotYDiff;
    Box thumb;  // inside a slot
    Box slotText;
    Box slotSave;
    Box slotLoad;
    Box pageButton;  // the first; the others follow to the right
    int pageButtonStep;
    Box returnButton;  // of the save/load and extras screens
    int slotFontSize;

    // Extras.
    Box modeButton;  // the first; the other follows to the right
    int modeButtonStep;
    Box panel;  // the first; the others follow to the right
    int panelStep;
    Box percent;

    // The story's character.
    Box character;
};

}  // namespace zelk::tool
