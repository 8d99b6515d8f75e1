#include "new_game_layout.h"

#include <algorithm>
#include <cmath>

namespace zelk::tool {

int NewGameLayout::Scaled(int v) const {
    return static_cast<int>(std::lround(v * (height / 480.0)));
}

NewGameLayout::NewGameLayout(int screenWidth, int screenHeight)
    : width(screenWidth), height(screenHeight) {
    const auto S = [this](int v) { return Scaled(v); };

    titleButton = {S(60), height - S(236), S(180), S(36)};
    titleButtonStep = S(44);

    window = {S(10), height - S(140), width - 2 * S(10), S(132)};
    fontSize = S(21);
    linePitch = S(30);
    lineCount = 3;
    text = {window.x + S(24), window.y + S(20), window.w - S(24) - S(48),
            lineCount * linePitch + S(4)};
    charCount = std::max(1, text.w / fontSize);
    nameplate = {window.x + S(8), window.y - S(34), S(160), S(32)};
    state = {window.x + window.w - S(80), window.y - S(26), S(72), S(20)};
    windowButton = {nameplate.x + nameplate.w + S(20), window.y - S(26), S(64), S(20)};
    windowButtonStep = S(68);
    cursor = {window.x + window.w - S(36), window.y + window.h - S(34), S(20), S(20)};

    choice = {(width - S(400)) / 2, 0, S(400), S(40)};
    // As far from the frame's right as from its left, so that a right-to-left
    // choice, set against the right, sits as an English one does.
    choiceText = {choice.x + S(32), 0, choice.w - S(64), S(28)};
    choiceSpace = S(52);
    choiceCenter = window.y / 2;

    novel = {S(30), S(20), width - 2 * S(30), height - 2 * S(20)};
    novelText = {novel.x + S(55), novel.y + S(24), novel.w - 2 * S(55), novel.h - S(40)};

    logFontSize = S(16);
    logLinePitch = S(20);
    logText = {S(80), S(44), width - S(80) - S(100), S(80)};
    logStep = S(100);
    logVoice = {S(40), S(46), S(28), S(28)};
    logButton = {width - S(72), S(150), S(64), S(28)};
    logButtonStep = S(36);
    logReturn = {width - S(72), height - S(50), S(64), S(28)};

    thumb = {S(8), S(8), static_cast<int>(std::lround(S(96) * double(width) / height)), S(96)};
    slot = {0, S(64), thumb.w + S(172), S(112)};
    slotXDiff = slot.w + S(12);
    slotYDiff = S(122);
    slot.x = (width - (slot.w + slotXDiff)) / 2;
    slotText = {thumb.w + S(18), S(10), slot.w - thumb.w - S(26), S(62)};
    slotSave = {thumb.w + S(18), S(78), S(64), S(24)};
    slotLoad = {thumb.w + S(90), S(78), S(64), S(24)};
    pageButton = {S(40), height - S(42), S(44), S(28)};
    pageButtonStep = S(50);
    returnButton = {width - S(120), height - S(42), S(96), S(30)};
    slotFontSize = S(14);

    modeButton = {width - S(24) - 2 * S(96) - S(8), S(12), S(96), S(30)};
    modeButtonStep = S(104);
    // Panels show the pictures they open, so they share the screen's shape.
    panel = {S(60), S(90), static_cast<int>(std::lround(S(120) * double(width) / height)), S(120)};
    panelStep = panel.w + S(20);
    percent = {(width - S(140)) / 2, height - S(48), S(140), S(28)};

    character = {0, 0, S(240), S(440)};
}

}  // namespace zelk::tool
