// clsGameLog: the game mode's log mode. Four lines of the text history over
// a background, the newest at the bottom, scrolled by buttons and the wheel;
// a line with voices shows an icon that replays them one after the other,
// driven by the root's auto click on a hidden rectangle.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/text_encoding.h"

namespace zelk {

class PlayerRoot;
class clsEventRect;
class clsModeGame;
class clsLumoDriver;
struct FilmSpecRecord;

// Activates drawing without a transition and presents the screen at once.
void ShowAtOnce(clsLumoDriver& lumo);

// The story text of a history entry as the scenario holds it, escapes and
// all; nothing for an entry the history or the scripts do not have.
std::optional<std::string> HistorySource(PlayerRoot& root, long entry);
// The same as the reader's tools get it (see PlainPageText).
std::string HistoryPlainText(PlayerRoot& root, long entry);

class clsGameLog {
public:
    static constexpr int kLines = 4;
    // The auto click's longest single interval; a longer wait is armed in
    // pieces of this size.
    static constexpr long kLongestWait = 50000;

    clsGameLog(PlayerRoot& root, clsModeGame& game);

    void Start();
    void End();
    bool Active() const { return mActive; }
    long TextIndex() const { return mIndex; }
    void TextIndex(long a);
    void PlayCVAry(long lLogItem);
    void OnScreenCmd(long eEvent, clsEventRect& er);

    // What a line shows: the prefixed text and its voices.
    const std::string& LineText(int slot) const { return mLines.at(slot).shown; }
    const std::vector<std::string>& LineVoices(int slot) const { return mLines.at(slot).voices; }
    long PlayingLine() const { return mPlaying; }

    // Plays a voice and gives its length in milliseconds, or -1 when it
    // does not play. The sound driver's by default; tests replace it.
    std::function<long(const std::string&)> PlayVoice;

private:
    // The film engine's text encoding: the game's.
    TextEncoding EngineEncoding() const;
    std::string LogFont() const;
    struct Line {
        int32_t text = -1;
        int32_t icon = -1;
        int32_t action = -1;
        long rect = -1;
        std::vector<std::string> voices;
        std::string shown;
        // The history entry shown, and the button that goes back to it.
        long entry = -1;
        int32_t backText = -1;
        long backRect = -1;
    };

    void VoiceStep();
    void MakeBackButton(Line& line, const FilmSpecRecord& text);
    void ShowSlot(Line& line, long entry);
    void HighlightOff();
    void Highlight(long film, bool on);
    clsEventRect* Rect(long index) const;

    PlayerRoot& mRoot;
    clsModeGame& mGame;
    bool mActive = false;
    std::array<Line, kLines> mLines;
    int32_t mBack = -1;
    long mBackRect = -1;
    long mPlayRect = -1;
    bool mSavedText = false;
    bool mSavedCursor = false;
    long mSavedAutoClick = 0;
    long mIndex = -1;
    long mPlaying = -1;
    size_t mNextVoice = 0;
    long mRemainingWait = 0;
};

}  // namespace zelk
