// Base film sets (the films of the window, characters, choices and buttons
// that the game-mode settings describe) and the scene transitions.
#include "common/numbers.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"

namespace zelk {

// [SECTION] Film specs --------------------------------------------------------

const INISection* clsLumoDriver::ModeSection(const std::string& name) const {
    return mHooks.GamemodeInfo ? mHooks.GamemodeInfo->FindSection(name) : nullptr;
}

FilmSpecRecord ParseFilmSpec(const std::string& spec, long offsetX, long offsetY) {
    const std::vector<std::string> items = SplitText(spec, ",");
    auto number = [&](size_t i) { return i < items.size() ? ReadNumber(items[i]) : 0.0; };
    FilmSpecRecord record;
    record.Name = TrimChars(items[0], " \t");
    record.X = RoundToLong(number(1) + static_cast<double>(offsetX));
    record.Y = RoundToLong(number(2) + static_cast<double>(offsetY));
    record.W = RoundToLong(number(3));
    record.H = RoundToLong(number(4));
    record.Extra = RoundToLong(number(5));
    record.Items = static_cast<long>(items.size());
    return record;
}

FilmSpecRecord clsLumoDriver::ReadSpec(const INISection* section, const std::string& key) const {
    return section ? ParseFilmSpec(section->KeyValue(key)) : FilmSpecRecord{};
}

long clsLumoDriver::ReadNumber(const INISection* section, const std::string& key) const {
    return section ? ReadLong(section->KeyValue(key)) : 0;
}

bool clsLumoDriver::ApplyFilmSpec(int32_t film, FilmSpecRecord& spec) {
    // Sizes beyond any screen are garbage in the settings, not a film to allocate.
    auto sane = [](long v) { return static_cast<int32_t>(v < 0 ? 0 : (v > 16384 ? 16384 : v)); };
    Set2(film, FP_POS, static_cast<int32_t>(spec.X), static_cast<int32_t>(spec.Y));
    bool loaded = true;
    if (!spec.Name.empty()) {
        loaded = LoadPng(film, spec.Name, true, true);
        if (spec.W != 0) {
            Set1(film, FP_WIDTH, sane(spec.W));
        } else {
            spec.W = Get1(film, FP_WIDTH);
        }
        if (spec.H != 0) {
            Set1(film, FP_HEIGHT, sane(spec.H));
        } else {
            spec.H = Get1(film, FP_HEIGHT);
        }
    } else {
        Set2(film, FP_SIZE, sane(spec.W), sane(spec.H));
        Set2(film, FP_IMAGE_SIZE, sane(spec.W), sane(spec.H));
    }
    Set1(film, FP_ALPHA, 256);
    return loaded;
}

// [SECTION] Base film sets ----------------------------------------------------

void clsLumoDriver::BaseFilmSet(long eNew) {
    ExeQueue();
    if (mDrawActivity) {
        AutoRedraw(false);
        Detach(mFIDBuff);
        Method(mFIDRoot, FM_MOVE_CHILDREN, mFIDBuff);
        Attach(mFIDBuff, mFIDRoot);
        ExeQueue();
    }
    mBaseFilmSet = eNew;
    ActSet(mActRule, AP_TARGET, -1);
    RemoveFilmChildren(mFIDBuff);
    ExeQueue();
    for (CharSlot& slot : mChars) {
        if (slot.action >= 0) RemoveAction(slot.action);
        slot = CharSlot{};
    }
    mBGName.clear();
    mBGFillColor = 0;
    mCurrentText.clear();
    mFaceName.clear();

    const int w = mHooks.ScreenWidth;
    const int h = mHooks.ScreenHeight;
    mFIDBuff = MakeFilm(FT_IMAGE, 0, 0, w, h);
    Set2(mFIDBuff, FP_MASK_SIZE, w, h);
    mFIDBack = MakeFilm(FT_IMAGE, 0, 0, w, h);
    ExeQueue();
    Attach(mFIDBuff, mFIDRoot);
    Attach(mFIDBack, mFIDBuff);
    CallFilmMethod(mFIDBack, FM_INVALIDATE, nullptr);
    ActSet(mActFadeOut, AP_TARGET, mFIDRoot);
    ActSet(mActWhiteOut, AP_TARGET, mFIDRoot);
    ActSet(mActCrossFade, AP_TARGET, mFIDRoot);
    ActSet(mActRule, AP_TARGET, mFIDBuff);
    ActSet(mActCursor, AP_TARGET, -1);
    ActSet(mActText, AP_TARGET, -1);
    ActSet(mActShadow, AP_TARGET, -1);

    mWnd = WindowFilms{};
    if (mHooks.EvRects) {
        mHooks.EvRects->RemoveByTag("selectionitem");
        mHooks.EvRects->RemoveByTag("wndbutton");
    }
    for (ChoiceSlot& choice : mChoices)
        choice = ChoiceSlot{};
    mChoiceCount = 0;
    mChoiceVisible = false;
    mCursorVisible = false;
    mNameFlip = 0;

    if (eNew == 2 || eNew == 3) BuildTextFilms();
    if (eNew == 2) BuildWindowMode(ModeSection("WindowMode"));
    if (eNew == 3) BuildNovelMode(ModeSection("NovelMode"));
    if (eNew == 2 || eNew == 3) {
        TextFontSetting(mHooks.ConfigString ? mHooks.ConfigString("Font") : std::string(),
                        0xFFFFFF);
    }
    // The window starts hidden: every window film is moved aside.
    mTextVisible = true;
    TextVisible(false);
    ExeQueue();
    CallFilmMethod(mFIDBuff, FM_INVALIDATE, nullptr);
    ExeQueue();
    mDrawActivity = false;
}

void clsLumoDriver::BuildTextFilms() {
    for (int i = kCharSlots - 1; i >= 0; --i) {
        CharSlot& slot = mChars[static_cast<size_t>(i)];
        slot.film = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
        Attach(slot.film, mFIDBuff);
        Set1(slot.film, FP_ALPHA, 0);
        slot.action = AddActByParam({});
        ActSet(slot.action, AP_SPEED, 1000);
        ActSet(slot.action, AP_TARGET, slot.film);
    }
    mWnd.text = MakeFilm(FT_TEXT, 0, 0, 0, 0);
    Attach(mWnd.text, mFIDBuff);
    Set1(mWnd.text, FP_ALPHA, 256);
    Set1(mWnd.text, FP_TEXT_DELAY, static_cast<int32_t>(mTextDelay));
    ActSet(mActText, AP_TARGET, mWnd.text);
    mWnd.shadow = MakeFilm(FT_TEXT, 0, 0, 0, 0);
    Set1(mWnd.shadow, FP_INSERT_BEFORE, mWnd.text);
    Set1(mWnd.shadow, FP_ALPHA, 256);
    Set1(mWnd.shadow, FP_TEXT_DELAY, static_cast<int32_t>(mTextDelay));
    ActSet(mActShadow, AP_TARGET, mWnd.shadow);
    ExeQueue();
}

// The wait cursor (timed by its spec's extra number) and the text films'
// places are the same in both window styles.
void clsLumoDriver::BuildCursorAndText(const INISection* section) {
    FilmSpecRecord cursor = ReadSpec(section, "WaitCursor");
    mWnd.cursor = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    Set1(mWnd.cursor, FP_INSERT_AFTER, mWnd.text);
    ApplyFilmSpec(mWnd.cursor, cursor);
    ActSet(mActCursor, AP_TARGET, mWnd.cursor);
    ActSet(mActCursor, AP_SPEED, static_cast<int32_t>(cursor.Extra > 0 ? cursor.Extra : 1000));
    CallActMethod(mActCursor, AM_START, nullptr);
    Set1(mWnd.cursor, FP_X, static_cast<int32_t>(cursor.X - mHooks.ScreenWidth));

    FilmSpecRecord text = ReadSpec(section, "Text");
    ApplyFilmSpec(mWnd.text, text);
    FilmSpecRecord shadow = ReadSpec(section, "TextShadow");
    ApplyFilmSpec(mWnd.shadow, shadow);
}

// The window back, under `above`; the reader's opacity wins over the game's.
void clsLumoDriver::BuildWindowBack(const INISection* section, int32_t above,
                                    const std::string& alphaKey) {
    FilmSpecRecord back = ReadSpec(section, "Back");
    mWnd.back = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    Set1(mWnd.back, FP_INSERT_BEFORE, above);
    ApplyFilmSpec(mWnd.back, back);
    const long alpha = ReadNumber(section, alphaKey);
    Set1(mWnd.back, FP_ALPHA,
         static_cast<int32_t>(mHooks.ConfigLong ? mHooks.ConfigLong(alphaKey, alpha) : alpha));
}

void clsLumoDriver::BuildWindowMode(const INISection* section) {
    if (!section) Log("lumo: the game mode settings have no [WindowMode]");
    BuildCursorAndText(section);

    FilmSpecRecord frame = ReadSpec(section, "Frame");
    mWnd.frame = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    Set1(mWnd.frame, FP_INSERT_BEFORE, mWnd.shadow);
    ApplyFilmSpec(mWnd.frame, frame);

    BuildWindowBack(section, mWnd.frame, "WndAlpha");

    FilmSpecRecord state = ReadSpec(section, "State");
    mWnd.state = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    Set1(mWnd.state, FP_INSERT_AFTER, mWnd.frame);
    ApplyFilmSpec(mWnd.state, state);
    UpdateWindowMode();

    FilmSpecRecord nameplate = ReadSpec(section, "Nameplate");
    mWnd.nameplate = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
    Set1(mWnd.nameplate, FP_INSERT_AFTER, mWnd.frame);
    ApplyFilmSpec(mWnd.nameplate, nameplate);

    const FilmSpecRecord face = ReadSpec(section, "Face");
    mWnd.face =
        MakeFilm(FT_ALPHA, static_cast<int32_t>(face.X), static_cast<int32_t>(face.Y), 0, 0);
    Set1(mWnd.face, FP_INSERT_BEFORE, mWnd.shadow);
    Set1(mWnd.face, FP_ALPHA, 0);
    ExeQueue();

    const FilmSpecRecord choiceFrame = ReadSpec(section, "ChoiceFrame");
    const FilmSpecRecord choiceText = ReadSpec(section, "ChoiceText");
    for (int i = 0; i < kChoiceSlots; ++i) {
        ChoiceSlot& choice = mChoices[static_cast<size_t>(i)];
        FilmSpecRecord f = choiceFrame;
        FilmSpecRecord t = choiceText;
        choice.frame = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
        Attach(choice.frame, mFIDBuff);
        ApplyFilmSpec(choice.frame, f);
        choice.text = MakeFilm(FT_TEXT, 0, 0, 0, 0);
        Set1(choice.text, FP_INSERT_AFTER, choice.frame);
        ApplyFilmSpec(choice.text, t);
        ExeQueue();
        if (mHooks.EvRects) {
            clsEventRect& rect = mHooks.EvRects->Add(i, "selectionitem");
            rect.FitFilm(choice.frame);
            rect.KBOrder = i;
            rect.Enabled = false;
            rect.FilmID = choice.frame;
            choice.rect = rect.Index;
        }
        FilmAvoid(choice.frame, false);
        FilmAvoid(choice.text, false);
    }
    CallFilmMethod(mWnd.back, FM_INVALIDATE, nullptr);

    const std::vector<std::string> names =
        SplitText(section ? section->KeyValue("Buttons") : std::string(), ",");
    for (const std::string& item : names) {
        const std::string name = TrimChars(item, " \t");
        if (name.empty()) continue;
        FilmSpecRecord spec = ReadSpec(section, name);
        const int32_t film = MakeFilm(FT_ALPHA, 0, 0, 0, 0);
        Set1(film, FP_INSERT_AFTER, mWnd.frame);
        ApplyFilmSpec(film, spec);
        // The tag is the button's place among the films built, which
        // ButtonFlip counts in; an empty name in the list builds nothing.
        const auto tag = static_cast<long>(mWnd.buttons.size());
        mWnd.buttons.push_back(film);
        if (mHooks.EvRects) {
            clsEventRect& rect = mHooks.EvRects->Add(tag, "wndbutton");
            rect.Move(spec.X, spec.Y, spec.W, spec.H);
            rect.FilmID = film;
            rect.Extension = name;
        }
    }
    ExeQueue();
}

void clsLumoDriver::BuildNovelMode(const INISection* section) {
    if (!section) Log("lumo: the game mode settings have no [NovelMode]");
    BuildCursorAndText(section);

    BuildWindowBack(section, mWnd.shadow, "NovelAlpha");

    const FilmSpecRecord face = ReadSpec(section, "Face");
    mWnd.face =
        MakeFilm(FT_ALPHA, static_cast<int32_t>(face.X), static_cast<int32_t>(face.Y), 0, 0);
    Set1(mWnd.face, FP_INSERT_BEFORE, mWnd.shadow);
    Set1(mWnd.face, FP_ALPHA, 0);
    ExeQueue();
}

// [SECTION] Scene transitions -------------------------------------------------

bool clsLumoDriver::DrawDeactivate(long eMethod, long time) {
    const bool cursor = mCursorVisible;
    CursorVisible(false);
    if (!mDrawActivity) DrawActivate(0, 1000);
    AutoRedraw(false);
    Method(mFIDRoot, FM_MOVE_CHILDREN, mFIDBuff);
    Attach(mFIDBuff, mFIDRoot);
    CallFilmMethod(mFIDBack, FM_INVALIDATE, nullptr);
    CallFilmMethod(mFIDBuff, FM_REDRAW, nullptr);
    ExeQueue();
    if (time != 0 && (eMethod == 1 || eMethod == 2)) {
        InstallRedraw(mFIDRoot, RF_LEVEL);
        Set1(mFIDRoot, FP_PARAM1, 128);
        Set1(mFIDRoot, FP_PARAM2, 0);
        const int32_t act = eMethod == 1 ? mActFadeOut : mActWhiteOut;
        ActSet(act, AP_SPEED, static_cast<int32_t>(time));
        CallActMethod(act, AM_START, nullptr);
        AutoRedraw(true);
        WaitEnd(act);
    }
    AutoRedraw(false);
    ExeQueue();
    InstallRedraw(mFIDRoot, 0);
    ExeQueue();
    CursorVisible(cursor);
    mDrawActivity = false;
    return true;
}

bool clsLumoDriver::DrawActivate(long eMethod, long time) {
    const bool cursor = mCursorVisible;
    CursorVisible(false);
    if (mDrawActivity) DrawDeactivate(0, 1000);
    CallFilmMethod(mFIDBack, FM_INVALIDATE, nullptr);
    CallFilmMethod(mFIDBuff, FM_REDRAW, nullptr);
    ExeQueue();
    if (time != 0 && eMethod == 1) {
        InstallRedraw(mFIDRoot, RF_FADE_MMX);
        Set1(mFIDRoot, FP_PARAM1, 256);
        ActSet(mActCrossFade, AP_SPEED, static_cast<int32_t>(time));
        CallActMethod(mActCrossFade, AM_START, nullptr);
        AutoRedraw(true);
        WaitEnd(mActCrossFade);
    } else if (time != 0 && eMethod == 2) {
        Set1(mFIDBuff, FP_SOFTNESS, 30);
        Set1(mFIDBuff, FP_PARAM1, 286);
        InstallRedraw(mFIDRoot, RF_RULE);
        ActSet(mActRule, AP_SPEED, static_cast<int32_t>(time));
        CallActMethod(mActRule, AM_START, nullptr);
        AutoRedraw(true);
        WaitEnd(mActRule);
    }
    AutoRedraw(false);
    Detach(mFIDBuff);
    Method(mFIDBuff, FM_MOVE_CHILDREN, mFIDRoot);
    ExeQueue();
    InstallRedraw(mFIDRoot, 0);
    // A transition cut short left its last step on the screen: the live
    // scene is composed whole once more.
    Blt(mFIDRoot);
    AutoRedraw(true);
    CursorVisible(cursor);
    // The live scene must reach the screen now, not whenever the next caller
    // happens to run the queue: a screen built unseen (a menu page, a
    // gallery) would otherwise show the old picture until then.
    ExeQueue();
    mDrawActivity = true;
    return true;
}

}  // namespace zelk
