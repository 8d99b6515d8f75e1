// The music room: each entry plays once; at its end the next one follows
// by the play mode (the same again, the next in order, or any at random).
#include <algorithm>

#include "drivers/event_rect.h"
#include "drivers/wavo_driver.h"
#include "modes/mode_omake.h"
#include "view/player_root.h"

namespace zelk {

long clsModeOmake::DrawEntry(std::mt19937& generator, long count) {
    if (count <= 1) return 0;
    std::uniform_int_distribution<long> pick(0, count - 1);
    return pick(generator);
}

long clsModeOmake::EntryOfPanel(long page, long panel) const {
    for (const MusicEntry& entry : mEntries)
        if (entry.page == page && entry.panel == panel) return entry.index;
    return -1;
}

void clsModeOmake::ExecuteSound(long n) {
    const long count = static_cast<long>(mEntries.size());
    if (!Started() || n < 0 || n >= count) return;
    clsWavoDriver* wavo = Wavo();
    if (wavo) wavo->StopBGM(false);
    const MusicEntry& entry = mEntries[static_cast<std::size_t>(n)];
    if (mSubMode == kSubMusic && mLastEntry >= 0 && mLastEntry < count &&
        mEntries[static_cast<std::size_t>(mLastEntry)].page == mCurrentPage &&
        entry.page != mCurrentPage) {
        ShowOmakePage(kSubMusic, entry.page, false);
        Activate(0, 1000);
    }
    mPlayingEntry = n;
    mLastEntry = n;
    if (wavo) wavo->PlayBGM(entry.musicKey, false, false);
    if (mSubMode == kSubMusic) SetSndPanel();
}

void clsModeOmake::ExecuteSoundAuto() {
    const long count = static_cast<long>(mEntries.size());
    if (count == 0) return;
    long next = mLastEntry;
    if (mPlayMode == kPlayAll)
        next = (std::max(mPlayingEntry, -1L) + 1) % count;
    else if (mPlayMode == kPlayRandom)
        next = std::clamp(mRandom(count), 0L, count - 1);
    ExecuteSound(next);
}

void clsModeOmake::SetSndPanel() {
    for (long k = 0; k < static_cast<long>(mPanelButtons.size()); ++k) {
        const long rect = mPanelButtons[static_cast<std::size_t>(k)];
        if (EntryOfPanel(mCurrentPage, k) >= 0)
            EnableButton(rect, true, 255, 0);
        else
            EnableButton(rect, false, 0, 0);
    }
    if (mPlayingEntry >= 0 && mPlayingEntry < static_cast<long>(mEntries.size())) {
        const MusicEntry& entry = mEntries[static_cast<std::size_t>(mPlayingEntry)];
        if (entry.page == mCurrentPage) EnableButton(PanelRect(entry.panel), false, 255, 2);
    }
}

void clsModeOmake::OnMusicCommand(long command) {
    const long count = static_cast<long>(mEntries.size());
    if (command == 2) {
        if (mPlayingEntry >= 0)
            if (clsWavoDriver* wavo = Wavo()) wavo->StopBGM(false);
        mPlayingEntry = -1;
        SetSndPanel();
        return;
    }
    if (count == 0) return;
    const long from = mPlayingEntry >= 0 ? mPlayingEntry : mLastEntry;
    if (command == 0)
        ExecuteSound(from <= 0 ? count - 1 : from - 1);
    else if (command == 1)
        ExecuteSound(mLastEntry);
    else if (command == 3)
        ExecuteSound((from + 1) % count);
}

void clsModeOmake::OnPlayMode(long mode) {
    if (mode < kPlaySingle || mode > kPlayRandom) return;
    mPlayMode = mode;
    for (long i = 0; i < 3; ++i) {
        const long rect = mPlayModeButtons[static_cast<std::size_t>(i)];
        if (i == mode)
            SelectButton(rect);
        else
            EnableButton(rect, true, 255, 0);
    }
}

}  // namespace zelk
