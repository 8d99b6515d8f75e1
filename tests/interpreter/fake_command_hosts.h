// Fakes of the parts that scenario commands drive. Each keeps the state a
// real part would hold afterwards (the background shown, the characters on
// screen with their place and opacity, the page's text, the playing
// channels, the rectangles), so tests assert on what the reader would see
// and hear, not on which calls were made.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "interpreter/command_hosts.h"

namespace zelk::testing {

struct FakeCharacter {
    std::string file;
    long x = 0, y = 0;
    long alpha = 256;
    long cellX = 0, cellY = 0;
    std::vector<long> actions;
    bool acting = false;
};

class FakeGraphics : public GraphicsHost {
public:
    bool DrawDeactivate(long eMethod, long time) override {
        drawActive = false;
        transitions.push_back("off" + std::to_string(eMethod) + ":" + std::to_string(time));
        return true;
    }
    bool DrawActivate(long eMethod, long time) override {
        drawActive = true;
        transitions.push_back("on" + std::to_string(eMethod) + ":" + std::to_string(time));
        return true;
    }
    bool LoadBuffMask(const std::string& sMask) override {
        if (!pictures.contains(sMask)) return false;
        mask = sMask;
        return true;
    }
    bool BGCenter(const std::string& sNewFile, long xPos, long yPos, long time,
                  bool bAbsolute) override {
        if (!pictures.contains(sNewFile)) return false;
        background = sNewFile;
        if (xPos == -999999) xPos = 320;
        if (yPos == -999999) yPos = 240;
        bgX = bAbsolute ? xPos : bgX + xPos;
        bgY = bAbsolute ? yPos : bgY + yPos;
        bgTime = time;
        return true;
    }
    bool BGFill(long lColor, long) override {
        background.clear();
        fill = lColor;
        return true;
    }
    bool BGMove(long xPos, long yPos, long time, bool bAbsolute) override {
        bgX = bAbsolute ? xPos : bgX + xPos;
        bgY = bAbsolute ? yPos : bgY + yPos;
        bgTime = time;
        return true;
    }
    std::string BGName() override { return background; }
    bool FaceChange(const std::string& sFaceFile) override {
        face = sFaceFile;
        return true;
    }
    long CharBlendColor() override { return blend; }
    void CharBlendColor(long color) override { blend = color; }
    bool CGChange(const std::string& sFile, long xPos, long yPos, long, long, long time) override {
        if (!pictures.contains(sFile)) return false;
        // The first three characters after the kind prefix name the character.
        const std::string cid = sFile.size() >= 6 ? sFile.substr(3, 3) : sFile;
        FakeCharacter& ch = characters[cid];
        ch.file = sFile;
        ch.x = xPos;
        ch.y = yPos;
        cgTime = time;
        return true;
    }
    bool CGHide(const std::string& sCID, long) override { return characters.erase(sCID) == 1; }
    bool CGHideAll(long) override {
        characters.clear();
        return true;
    }
    bool CGMove(const std::string& sCID, long xPos, long yPos, bool bAbsolute, long time,
                bool) override {
        FakeCharacter* ch = Find(sCID);
        if (ch == nullptr) return false;
        ch->x = bAbsolute ? xPos : ch->x + xPos;
        ch->y = bAbsolute ? yPos : ch->y + yPos;
        cgTime = time;
        return true;
    }
    bool CGAlpha(const std::string& sCID, long lAlpha, long, bool) override {
        FakeCharacter* ch = Find(sCID);
        if (ch == nullptr) return false;
        ch->alpha = lAlpha;
        return true;
    }
    bool CGFlip(const std::string& sCID, long cellX, long cellY) override {
        FakeCharacter* ch = Find(sCID);
        if (ch == nullptr) return false;
        if (cellX != -1) ch->cellX = cellX;
        if (cellY != -1) ch->cellY = cellY;
        return true;
    }
    bool CGActClear(const std::string& sCID) override {
        FakeCharacter* ch = Find(sCID);
        if (ch == nullptr) return false;
        ch->actions.clear();
        ch->acting = false;
        return true;
    }
    bool CGActAdd(const std::string& sCID, const std::vector<long>& words) override {
        FakeCharacter* ch = Find(sCID);
        if (ch == nullptr) return false;
        for (long word : words) {
            if (word == -1) break;
            ch->actions.push_back(word);
        }
        return true;
    }
    bool CGActStart(const std::string& sCID) override { return SetActing(sCID, true); }
    bool CGActEnd(const std::string& sCID) override { return SetActing(sCID, false); }
    bool CGActComplete(const std::string& sCID) override { return SetActing(sCID, false); }
    long GetCharXPos(const std::string& sCID) override {
        FakeCharacter* ch = Find(sCID);
        return ch == nullptr ? 320 : ch->x;
    }
    long GetCharFilmID(const std::string& sCID) override {
        const auto found = characters.find(sCID);
        return found == characters.end()
                   ? -1
                   : 10 + static_cast<long>(std::distance(characters.begin(), found));
    }

    FakeCharacter* Find(const std::string& cid) {
        const auto found = characters.find(cid);
        return found == characters.end() ? nullptr : &found->second;
    }

    // Pictures that load; everything else fails as a missing file would.
    std::set<std::string> pictures;
    bool drawActive = true;
    std::string background;
    long bgX = 0, bgY = 0, bgTime = -1, cgTime = -1;
    long fill = -1;
    long blend = 0;
    std::string face;
    std::string mask;
    std::map<std::string, FakeCharacter> characters;
    std::vector<std::string> transitions;

private:
    bool SetActing(const std::string& cid, bool acting) {
        FakeCharacter* ch = Find(cid);
        if (ch == nullptr) return false;
        ch->acting = acting;
        return true;
    }
};

class FakeTextWindow : public TextWindowHost {
public:
    long BaseFilmSet() override { return filmSet; }
    void BaseFilmSet(long eNew) override { filmSet = eNew; }
    bool TextStart(const std::string& sText, bool bWait) override {
        text += sText;
        if (bWait) ++typedPages;
        if (onType) onType();
        return true;
    }
    void TextPageTurn() override {
        text.clear();
        nameplate = 0;
    }
    std::string CurrentText() override { return text; }
    void TextSpeedSetting(long lSpeed) override { speed = lSpeed; }
    void WindowNameFlip(long n) override { nameplate = n; }
    bool ChangeWindowType(long lTypeNumber) override {
        if (lTypeNumber < 0 || lTypeNumber > 1) return false;
        windowType = lTypeNumber;
        return true;
    }
    void WaitCancelEnabled(bool enabled) override { waitCancel = enabled; }
    bool AddChoiceItem(const std::string& sText, const std::string& OnClick) override {
        if (filmSet != 2 || choices.size() >= 5) return false;
        choices.emplace_back(sText, OnClick);
        return true;
    }
    long ChoiceCount() override { return static_cast<long>(choices.size()); }
    void ChoiceArrange() override { arranged = true; }
    void ChoiceVisible(bool bNew) override { choicesVisible = bNew; }

    long filmSet = 2;
    std::string text;
    long speed = 0;
    long nameplate = 0;
    long windowType = 0;
    bool waitCancel = false;
    bool arranged = false;
    bool choicesVisible = false;
    int typedPages = 0;
    std::vector<std::pair<std::string, std::string>> choices;
    std::function<void()> onType;
};

class FakeSound : public SoundHost {
public:
    bool PlayBGM(const std::string& file, bool, bool loop) override {
        if (!sounds.contains(file)) return false;
        bgm = file;
        bgmLoop = loop;
        return true;
    }
    bool StopBGM(bool sync) override {
        bgm.clear();
        bgmStopSync = sync;
        return true;
    }
    bool PlaySE(const std::string& file, bool) override {
        if (!sounds.contains(file)) return false;
        se = file;
        return true;
    }
    bool StopSE() override {
        se.clear();
        return true;
    }
    bool PlaySELoop(const std::string& file, long count, bool) override {
        if (!sounds.contains(file)) return false;
        seLoop = file;
        seLoopCount = count;
        return true;
    }
    bool StopSELoop() override {
        seLoop.clear();
        return true;
    }
    bool PlayCV(const std::string& file, bool, long pan) override {
        if (!sounds.contains(file)) return false;
        cv = file;
        cvPan = pan;
        length = voiceLength;
        return true;
    }
    bool StopCV() override {
        cv.clear();
        return true;
    }
    bool IsPlayingCV() override { return !cv.empty(); }
    void BGMVolumeRate(long rate) override { bgmRate = rate; }
    long SOLength() override { return length; }
    void SOLength(long milliseconds) override { length = milliseconds; }

    std::set<std::string> sounds;
    std::string bgm, se, seLoop, cv;
    bool bgmLoop = false;
    bool bgmStopSync = false;
    long seLoopCount = 0;
    long cvPan = 0;
    long bgmRate = 100;
    long length = 0;
    // What a started voice reports as its length.
    long voiceLength = 0;
};

class FakeView : public ViewHost {
public:
    void SiteName(const std::string& name) override { site = name; }
    void SelectionClear() override { ++selectionClears; }
    long AddEventRect(const EventRectSpec& rect) override {
        rects.push_back({rect, true});
        return static_cast<long>(rects.size()) - 1;
    }
    void RemoveByTag(const std::string& STag) override {
        std::erase_if(rects, [&](const auto& r) { return r.spec.STag == STag; });
    }
    void EnabledByTag(const std::string& STag, bool bNew) override {
        for (auto& r : rects)
            if (r.spec.STag == STag) r.enabled = bNew;
    }

    struct Rect {
        EventRectSpec spec;
        bool enabled;
    };
    std::string site;
    std::vector<Rect> rects;
    int selectionClears = 0;
};

class FakeStory : public StoryHost {
public:
    void ChangeMode(long eMode, long eSub, const std::string& vParam) override {
        mode = eMode;
        modeSub = eSub;
        modeParam = vParam;
    }
    bool PlayMovie(const std::string& file, long eMovieCancel) override {
        if (!movieWorks) return false;
        movie = file;
        movieCancel = eMovieCancel;
        return true;
    }
    void RestartTitle() override { ++titleRestarts; }
    bool TextFilmsVisible() override { return textFilmsVisible; }
    void WaitTimed(long milliseconds) override { waited += milliseconds; }
    long LongVal(const std::string& key) override { return longs[key]; }
    long GetIndexByCID(const std::string& cid) override {
        for (std::size_t i = 0; i < cids.size(); ++i)
            if (cids[i].cid == cid) return static_cast<long>(i);
        return -1;
    }
    long CharColor(long index) override { return cids.at(index).color; }
    bool CharVoiceEnabled(long index) override { return cids.at(index).voice; }
    bool CharIsMale(const std::string& cid) override {
        const long index = GetIndexByCID(cid);
        return index >= 0 && cids[index].male;
    }
    bool AddHistory(const std::string& scenario, long number) override {
        history.emplace_back(scenario, number);
        return true;
    }
    void AddCGHistory(const std::string& cGName) override { cgHistory.push_back(cGName); }
    void PageShown(const std::string& text, long voiceMs) override {
        readerTexts.push_back(text + "@" + std::to_string(voiceMs));
    }
    void ChoicesShown(const std::string& items) override { readerTexts.push_back(items); }

    struct Character {
        std::string cid;
        long color = 0;
        bool voice = true;
        bool male = false;
    };
    std::vector<Character> cids;
    // What reached the reader's tools, a page with "@" and its voice's length.
    std::vector<std::string> readerTexts;
    std::map<std::string, long> longs;
    long mode = 0, modeSub = 0;
    std::string modeParam;
    bool movieWorks = true;
    std::string movie;
    long movieCancel = -1;
    int titleRestarts = 0;
    bool textFilmsVisible = true;
    long waited = 0;
    std::vector<std::pair<std::string, long>> history;
    std::vector<std::string> cgHistory;
};

}  // namespace zelk::testing
