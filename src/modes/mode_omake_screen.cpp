// The extras screens: the frame every sub-screen shares (background, mode,
// return and page buttons), the panels of a page and when they open, and
// the CG completion figure.
#include <algorithm>
#include <cstdio>

#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "modes/mode_buttons.h"
#include "modes/mode_films.h"
#include "modes/mode_omake.h"
#include "scenario/shared_data.h"
#include "settings/ini_file.h"
#include "view/player_root.h"

namespace zelk {

namespace {

// BGCenter's "middle of the screen".
constexpr long kCentre = -999999;

// The collection index of a button just made, -1 when none was.
long IndexOf(const clsEventRect* rect) {
    return rect ? rect->Index : -1;
}

std::string Two(long n) {
    char text[24];
    std::snprintf(text, sizeof text, "%02ld", n);
    return text;
}

struct SubScreenNames {
    const char* section;
    const char* prefix;
    const char* panels;
};

constexpr SubScreenNames kNames[3] = {
    {"cgmode", "CG", "cgmode_panel"},
    {"repmode", "Rep", "repmode_panel"},
    {"SndMode", "Snd", "sndmode_panel"},
};

}  // namespace

// [SECTION] Key names and the completion figure ------------------------------

std::string clsModeOmake::PanelKey(long page, long panel) {
    return "panel" + Two(page + 1) + "_" + Two(panel + 1);
}

std::string clsModeOmake::CommandKey(long page, long panel, long command) {
    return "cmd" + Two(page + 1) + "_" + Two(panel + 1) + "_" + Two(command + 1);
}

long clsModeOmake::CGPercent() const {
    if (Process().Debug.AllCG) return 100;
    const INISection* commands = Section("cgmode_cmd");
    if (!commands) return 0;
    long total = 0;
    long seen = 0;
    for (int i = 0; i < commands->Count(); ++i) {
        if (!ToLowerAscii(commands->LineKey(i)).starts_with("cmd")) continue;
        ++total;
        const std::vector<std::string> items = SplitText(commands->LineValue(i), ",");
        if (!items.empty() && CGSeen(TrimChars(items[0], " \t"))) ++seen;
    }
    if (seen == 0) return 0;
    if (seen == total) return 100;
    return seen * 100 / total;
}

// [SECTION] Open tests -------------------------------------------------------

bool clsModeOmake::CGSeen(const std::string& name) const {
    if (Process().Debug.AllCG) return true;
    SharedData* shared = Root().SharedData();
    return shared && ReadNumber(shared->CGHistory().KeyValue(name)) != 0;
}

bool clsModeOmake::CommandOpen(long page, long panel, long command) const {
    const INISection* commands = Section("cgmode_cmd");
    const std::string key = CommandKey(page, panel, command);
    if (!commands || !commands->KeyExists(key)) return false;
    const std::vector<std::string> items = SplitText(commands->KeyValue(key), ",");
    return Process().Debug.AllCG || (!items.empty() && CGSeen(TrimChars(items[0], " \t")));
}

bool clsModeOmake::CGPanelOpen(long page, long panel) const {
    const INISection* commands = Section("cgmode_cmd");
    if (!commands) return false;
    for (long c = 0; commands->KeyExists(CommandKey(page, panel, c)); ++c)
        if (CommandOpen(page, panel, c)) return true;
    return false;
}

bool clsModeOmake::ReplayPanelOpen(const std::string& variable) const {
    if (Process().Debug.AllCG) return true;
    SharedData* shared = Root().SharedData();
    return shared && !variable.empty() && ReadNumber(shared->Var().KeyValue(variable)) != 0;
}

// [SECTION] Music entries ----------------------------------------------------

void clsModeOmake::ReadMusicEntries() {
    mEntries.clear();
    const INISection* panels = Section("sndmode_panel");
    if (!panels) return;
    const long pages = ReadLong(Value("SndMode", "PageCount"));
    const long count = ReadLong(Value("SndMode", "PanelCount"));
    for (long p = 0; p < pages; ++p)
        for (long k = 0; k < count; ++k) {
            const std::string key = PanelKey(p, k);
            if (!panels->KeyExists(key)) continue;
            MusicEntry entry;
            entry.key = key;
            entry.value = panels->KeyValue(key);
            std::vector<std::string> items = SplitText(entry.value, ",");
            items.resize(std::max<std::size_t>(items.size(), 2));
            entry.picture = TrimChars(items[0], " \t");
            entry.musicKey = TrimChars(items[1], " \t");
            entry.index = static_cast<std::int32_t>(mEntries.size());
            entry.page = static_cast<std::int32_t>(p);
            entry.panel = static_cast<std::int32_t>(k);
            mEntries.push_back(std::move(entry));
        }
}

// [SECTION] Screens ----------------------------------------------------------

void clsModeOmake::ResetScreen() {
    clsEventRects* rects = Rects();
    rects->Clear();
    mModeButtons.fill(-1);
    mCommandButtons.fill(-1);
    mPlayModeButtons.fill(-1);
    mReturnButton = -1;
    mPageButtons.clear();
    mPanelButtons.clear();
    mPanelHeights.clear();
    mPercentFilm = -1;
    mTextFilm = -1;

    // Movies and music end on their own; the root's automatic click on this
    // rectangle is how the screen notices.
    clsEventRect& observer = rects->Add(0, "mediaobserver");
    observer.Move(-10, -10, 1, 1);
    observer.FilmID = -1;
    mObserverRect = observer.Index;
    ArmObserver();

    clsLumoDriver& lumo = *Lumo();
    if (lumo.DrawActivity()) lumo.DrawDeactivate(0, 1000);
    lumo.BaseFilmSet(1);
}

void clsModeOmake::ShowSubMode(long mode, long page) {
    mode = std::clamp(mode, kSubCG, kSubMusic);
    mSubMode = mode;
    ResetScreen();
    clsLumoDriver& lumo = *Lumo();
    const SubScreenNames& names = kNames[mode];
    const std::string section = names.section;
    const std::string prefix = names.prefix;
    auto button = [&](long lTag, const char* sTag, const std::string& spec, long cells = 1) {
        return IndexOf(MakeButton(lumo, *Rects(), lTag, sTag, spec, cells));
    };

    lumo.BGCenter(Value(section, "bg"), kCentre, kCentre, 1000, true);
    for (long i = 0; i < 3; ++i)
        mModeButtons[static_cast<std::size_t>(i)] =
            button(i, "mode", Value(section, prefix + "ModeBtn" + Two(i + 1)));
    mReturnButton = button(0, "ret", Value(section, prefix + "Return"));

    mPageCount = std::max<long>(0, ReadLong(Value(section, "PageCount")));
    for (long i = 0; i < mPageCount; ++i)
        mPageButtons.push_back(button(i, "page", Value(section, prefix + "PageBtn" + Two(i + 1))));
    mPanelCount = std::max<long>(0, ReadLong(Value(section, "PanelCount")));
    for (long k = 0; k < mPanelCount; ++k) {
        const std::string spec = Value(section, prefix + "Panel" + Two(k + 1));
        mPanelButtons.push_back(button(k, "panel", spec, mode == kSubMusic ? 4 : 2));
        mPanelHeights.push_back(ParseFilmSpec(spec).H);
    }

    if (mode == kSubCG) {
        const long at = button(0, "percent", Value("base", "Percent"));
        if (clsEventRect* rect = Rect(at)) {
            rect->Enabled = false;
            mPercentFilm = static_cast<std::int32_t>(rect->FilmID);
            char digits[24];
            std::snprintf(digits, sizeof digits, "%03ld", CGPercent());
            mPercentPicture = Value("base", "PercentImagePrefix") + digits;
            lumo.LoadPng(mPercentFilm, mPercentPicture, true, false);
        }
    } else if (mode == kSubReplay && mReplayText) {
        const long at = button(0, "repmodetext", Value("repmode", "RepModeTextFilm"));
        if (clsEventRect* rect = Rect(at)) {
            rect->Enabled = false;
            mTextFilm = static_cast<std::int32_t>(rect->FilmID);
            // It describes the panel under the pointer: none yet.
            films::Set(mTextFilm, FP_ALPHA, 0);
        }
    } else if (mode == kSubMusic) {
        static constexpr const char* kCommands[4] = {"SndBack", "SndPlay", "SndStop", "SndNext"};
        static constexpr const char* kPlayModes[3] = {"SndSingle", "SndAll", "SndRandom"};
        for (long i = 0; i < 4; ++i)
            mCommandButtons[static_cast<std::size_t>(i)] =
                button(i, "command", Value(section, kCommands[i]));
        for (long i = 0; i < 3; ++i)
            mPlayModeButtons[static_cast<std::size_t>(i)] =
                button(i, "playmode", Value(section, kPlayModes[i]));
        SelectButton(mPlayModeButtons[static_cast<std::size_t>(std::clamp(mPlayMode, 0L, 2L))]);
    }
    SelectButton(mModeButtons[static_cast<std::size_t>(mode)]);
    lumo.EXEQ();
    if (page != -1) ShowOmakePage(mode, page, false);
}

void clsModeOmake::ShowOmakePage(long mode, long page, bool activate) {
    clsLumoDriver& lumo = *Lumo();
    if (lumo.DrawActivity()) lumo.DrawDeactivate(0, 1000);
    // A page stored by an earlier session may no longer exist.
    page = std::clamp(page, 0L, std::max(0L, mPageCount - 1));
    for (long index : mPageButtons)
        EnableButton(index, true, 255, 0);
    SelectButton(PageRect(page));
    mCurrentPage = page;
    mCGIndex = -1;

    for (long k = 0; k < static_cast<long>(mPanelButtons.size()); ++k) {
        clsEventRect* rect = Rect(mPanelButtons[static_cast<std::size_t>(k)]);
        if (!rect) continue;
        if (mode == kSubCG)
            ShowCGPanel(page, k, *rect);
        else if (mode == kSubReplay)
            ShowReplayPanel(page, k, *rect);
        else
            ShowMusicPanel(page, k, *rect);
    }
    if (mode == kSubMusic && mPlayingEntry >= 0 &&
        mPlayingEntry < static_cast<long>(mEntries.size())) {
        const MusicEntry& entry = mEntries[static_cast<std::size_t>(mPlayingEntry)];
        if (entry.page == page) EnableButton(PanelRect(entry.panel), false, 255, 2);
    }
    ResetEnabledCells();
    lumo.EXEQ();
    if (activate) Activate(1, mFadeTime);
}

void clsModeOmake::ShowCGPanel(long page, long k, clsEventRect& rect) {
    const INISection* commands = Section("cgmode_cmd");
    if (!commands || !commands->KeyExists(CommandKey(page, k, 0))) {
        EnableButton(rect.Index, false, 0, 0);
        return;
    }
    if (CGPanelOpen(page, k)) {
        LoadPanelPicture(k, Value("cgmode_panel", PanelKey(page, k)));
        EnableButton(rect.Index, true, 255, 0);
    } else {
        LoadPanelPicture(k, Value("cgmode", "NullPanel"));
        EnableButton(rect.Index, true, 255, 0);
        rect.Enabled = false;
    }
}

void clsModeOmake::ShowReplayPanel(long page, long k, clsEventRect& rect) {
    const INISection* panels = Section("repmode_panel");
    const std::string key = PanelKey(page, k);
    if (!panels || !panels->KeyExists(key)) {
        EnableButton(rect.Index, false, 0, 0);
        return;
    }
    std::vector<std::string> items = SplitText(panels->KeyValue(key), ",");
    items.resize(std::max<std::size_t>(items.size(), 3));
    for (std::string& item : items)
        item = TrimChars(item, " \t");
    if (ReplayPanelOpen(items[0])) {
        LoadPanelPicture(k, items[1]);
        rect.ClickScript = items[2];
        EnableButton(rect.Index, true, 255, 0);
    } else {
        LoadPanelPicture(k, Value("repmode", "NullPanel"));
        rect.ClickScript.clear();
        EnableButton(rect.Index, false, 255, 0);
    }
}

void clsModeOmake::ShowMusicPanel(long page, long k, clsEventRect& rect) {
    const long entry = EntryOfPanel(page, k);
    if (entry < 0) {
        EnableButton(rect.Index, false, 0, 0);
        return;
    }
    LoadPanelPicture(k, mEntries[static_cast<std::size_t>(entry)].picture);
    rect.ClickScript = std::to_string(entry);
    EnableButton(rect.Index, true, 255, 0);
}

// [SECTION] Buttons ----------------------------------------------------------

void clsModeOmake::LoadPanelPicture(long panel, const std::string& picture) {
    clsEventRect* rect = Rect(PanelRect(panel));
    if (!rect || rect->FilmID < 0) return;
    const auto film = static_cast<std::int32_t>(rect->FilmID);
    Lumo()->LoadPng(film, picture, true, true);
    const long height = mPanelHeights[static_cast<std::size_t>(panel)];
    if (height > 0) films::Set(film, FP_HEIGHT, height);
    ExeQueue();
    rect->FitFilm(film);
}

void clsModeOmake::SelectButton(long rectIndex) {
    EnableButton(rectIndex, false, 255, 2);
}

void clsModeOmake::EnableButton(long rectIndex, bool enabled, long alpha, long cell) {
    clsEventRect* rect = Rect(rectIndex);
    if (!rect) return;
    rect->Enabled = enabled;
    if (rect->FilmID < 0) return;
    films::Set(static_cast<std::int32_t>(rect->FilmID), FP_ALPHA, alpha);
    films::Set(static_cast<std::int32_t>(rect->FilmID), FP_CELL_Y, cell);
}

void clsModeOmake::ResetEnabledCells() {
    for (const auto& rect : *Rects())
        if (rect->Enabled && rect->FilmID >= 0)
            films::Set(static_cast<std::int32_t>(rect->FilmID), FP_CELL_Y, 0);
}

}  // namespace zelk
