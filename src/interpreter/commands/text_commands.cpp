#include "interpreter/commands/text_commands.h"

#include <string>

#include "common/message_box.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/utf8.h"
#include "interpreter/commands/command_support.h"
#include "interpreter/text_markup.h"
#include "platform/translate.h"
#include "settings/ini_file.h"

namespace zelk::commands {

namespace {

constexpr const char* kNovelChoice = TrMark("ノベルモードにおける選択肢命令は対応できません。");

TextWindowHost& Window(clsInterpreter& intprt) {
    return intprt.Host().TextWindow();
}

std::string GameValue(clsInterpreter& intprt, const std::string& section, const std::string& key) {
    INIFile* info = intprt.Host().SystemInfo();
    return info == nullptr ? std::string() : info->KeySection(section).KeyValue(key);
}

// The escapes of a page reach the text window, the configuration's
// characters and the name plates.
class PageMarkupHost final : public MarkupHost {
public:
    explicit PageMarkupHost(clsInterpreter& intprt) : mIntprt(intprt) {}
    void TextSpeedSetting(long speed) override { Window(mIntprt).TextSpeedSetting(speed); }
    void WindowNameFlip(long plate) override { Window(mIntprt).WindowNameFlip(plate); }
    std::string NameplateText(long plate) override {
        return GameValue(mIntprt, "Nameplate", "Item:" + std::to_string(plate));
    }
    std::optional<long> CharacterTextColor(const std::string& cid) override {
        if (!mIntprt.Host().ConfigBool("OriginalTextColor")) return std::nullopt;
        StoryHost& story = mIntprt.Host().Story();
        const long index = story.GetIndexByCID(cid);
        if (index < 0) return std::nullopt;
        return story.CharColor(index);
    }
    bool EngineReadsUtf8() override { return Window(mIntprt).EngineReadsUtf8(); }

private:
    clsInterpreter& mIntprt;
};

MarkupScale PageScale() {
    const auto& p = Process();
    MarkupScale scale;
    if (p.ScriptScaleX != 0) scale.x = static_cast<double>(p.ScreenSizeX) / p.ScriptScaleX;
    if (p.ScriptScaleY != 0) scale.y = static_cast<double>(p.ScreenSizeY) / p.ScriptScaleY;
    return scale;
}

// Whether a window event loaded a game or closed the player meanwhile; the
// step then ends at once.
bool Interrupted(clsInterpreter& intprt) {
    if (Process().ShutdownRequested) {
        intprt.EndStep();
        return true;
    }
    if (Process().StatusRestored) {
        intprt.EndStep(true);
        return true;
    }
    return false;
}

void RemoveButtons(clsInterpreter& intprt) {
    intprt.Host().View().RemoveByTag(kGameButtonTag);
}

void EnableButtons(clsInterpreter& intprt) {
    intprt.Host().View().EnabledByTag(kGameButtonTag, true);
}

// Choices and selections end skipping, unless the reader asked otherwise.
void StopSkipAtChoice(clsInterpreter& intprt) {
    if (!intprt.Host().ConfigBool("SkipAfterSelect")) intprt.Host().IsSkipMode(false);
}

// [SECTION] Story pages

void PlayVoice(clsInterpreter& intprt, const std::string& voice) {
    InterpreterHost& host = intprt.Host();
    StoryHost& story = host.Story();
    const std::u32string wide = DecodeUtf8(voice);
    const std::string cid = EncodeUtf8(std::u32string_view(wide).substr(0, 3));
    const long index = story.GetIndexByCID(cid);
    const bool plays = index == -1 || (story.CharVoiceEnabled(index) &&
                                       (!story.CharIsMale(cid) || host.ConfigBool("MaleVoice")));
    if (!plays) return;
    long pan = 0;
    if (host.ConfigBool("CVPan") && Process().ScreenSizeX != 0) {
        const double x = static_cast<double>(host.Graphics().GetCharXPos(cid));
        pan = RoundToLong((2.0 * x / Process().ScreenSizeX - 1.0) * 30.0);
    }
    if (!host.Sound().PlayCV(voice, false, pan))
        intprt.SoundError(TrFormat("CV '%s' 再生失敗", {voice}));
}

void Put(clsInterpreter& intprt) {
    InterpreterHost& host = intprt.Host();
    TextWindowHost& window = Window(intprt);
    StoryHost& story = host.Story();
    if (intprt.RestText().empty()) intprt.PageShown();
    intprt.TextEnabled(true);
    window.WaitCancelEnabled(true);
    intprt.WaitMode(kWaitTyping);
    host.EventEnabled(true);
    host.Sound().SOLength(0);
    const long textSpeed = story.LongVal("TextSpeed");
    window.TextSpeedSetting(textSpeed * 15);

    const long style = window.BaseFilmSet();
    PageMarkupHost markupHost(intprt);
    const auto compile = [&](const std::string& source) {
        return CompileMarkup(source, static_cast<MarkupStyle>(style), PageScale(), markupHost);
    };
    CompiledText page;
    std::string text;
    const bool rest = !intprt.RestText().empty();
    const std::string source = rest ? intprt.RestText() : Value(intprt, 1);
    if (rest) {
        page = compile(source);
        text = page.text;
    } else if (style == kMarkupNovel) {
        page = compile(source);
        text = GameValue(intprt, "Game", "NovelBlockPrefix") + page.text;
        if (!window.CurrentText().empty()) text.insert(0, 1, '\n');
    } else {
        if (style == kMarkupWindow) window.TextPageTurn();
        page = compile(source);
        text = (style == kMarkupWindow ? GameValue(intprt, "Game", "WindowBlockPrefix")
                                       : std::string()) +
               page.text;
    }
    intprt.RestText(page.rest);
    // The rest of the page is shown by this same instruction on the next
    // click.
    if (!page.rest.empty()) intprt.HoldAddress();

    if (!intprt.IsSkipping() && !page.voice.empty()) PlayVoice(intprt, page.voice);
    // A page passed over in skip mode is not read; one that waits is.
    if (!intprt.IsSkipping())
        story.PageShown(PlainPageText(source, markupHost), host.Sound().SOLength());

    if (intprt.IsSkipping()) {
        window.TextStart(text, false);
        intprt.WaitMode(kWaitSkipped);
        RemoveButtons(intprt);
    } else {
        window.TextStart(text, true);
        if (Interrupted(intprt)) return;
        if (story.TextFilmsVisible()) host.CursorVisible(true);
        if (page.click) {
            intprt.WaitMode(kWaitClick);
            EnableButtons(intprt);
        } else {
            intprt.WaitMode(kWaitRunning);
            host.EventEnabled(false);
        }
    }

    const long autoWait = story.LongVal("AutoModeWait");
    const long voiceLength = host.Sound().SOLength();
    if (voiceLength != 0) {
        intprt.VoiceTimer(voiceLength + autoWait);
        intprt.LastAutoClickTimer(voiceLength + autoWait);
    } else {
        const auto length = static_cast<long>(Utf8Length(page.text));
        intprt.LastAutoClickTimer((textSpeed + 3) * 5 * length + autoWait);
    }

    if (page.rest.empty() && intprt.CurrentScript()) {
        story.AddHistory(intprt.CurrentScript()->Name(), intprt.Address());
    }
}

void Site(clsInterpreter& intprt) {
    intprt.Host().View().SiteName(Value(intprt, 1));
}

void Pt(clsInterpreter& intprt) {
    Window(intprt).TextPageTurn();
}

void SwitchStyle(clsInterpreter& intprt, long style) {
    if (Window(intprt).BaseFilmSet() == style) return;
    Window(intprt).BaseFilmSet(style);
    intprt.TextEnabled(false);
}

void TextWindow(clsInterpreter& intprt) {
    SwitchStyle(intprt, kMarkupWindow);
}

void TextNovel(clsInterpreter& intprt) {
    SwitchStyle(intprt, kMarkupNovel);
}

void Ts(clsInterpreter& intprt) {
    intprt.TextEnabled(true);
    intprt.Host().CursorVisible(false);
}

void Th(clsInterpreter& intprt) {
    intprt.Host().CursorVisible(false);
    intprt.TextEnabled(false);
}

// [SECTION] Waits

// A click wait; skip mode passes over it. `autoClick` is the auto mode's
// time for this wait.
void ClickWait(clsInterpreter& intprt, long autoClick) {
    if (intprt.IsSkipping()) {
        intprt.WaitMode(kWaitSkipped);
        RemoveButtons(intprt);
        return;
    }
    intprt.LastAutoClickTimer(autoClick);
    intprt.WaitMode(kWaitClick);
    EnableButtons(intprt);
    if (intprt.TextEnabled()) intprt.Host().CursorVisible(true);
}

void Wait(clsInterpreter& intprt) {
    ClickWait(intprt, RoundToLong(intprt.Host().Story().LongVal("AutoModeWait") * 1.5) + 1000);
}

void WaitCv(clsInterpreter& intprt) {
    ClickWait(intprt, intprt.VoiceTimer());
}

// The click comes after the given time whether auto mode is on or not; in
// auto mode the interpreter arms the same time again, so it is kept as the
// wait's auto-click time rather than 0, which would disarm it.
void WaitAuto(clsInterpreter& intprt) {
    if (intprt.IsSkipping()) {
        ClickWait(intprt, 0);
        return;
    }
    const long milliseconds = Number(intprt, 1);
    intprt.Host().MakeAutoClickTimer(milliseconds);
    ClickWait(intprt, milliseconds);
}

void Block(clsInterpreter& intprt) {
    intprt.Host().Story().WaitTimed(Number(intprt, 1));
    Interrupted(intprt);
}

void Pause(clsInterpreter& intprt) {
    if (!intprt.IsSkipping()) Block(intprt);
}

void PauseAbs(clsInterpreter& intprt) {
    Block(intprt);
}

// [SECTION] Choices and clickable areas

void Item(clsInterpreter& intprt) {
    TextWindowHost& window = Window(intprt);
    if (window.BaseFilmSet() == kMarkupNovel) intprt.RuntimeError(Tr(kNovelChoice));
    const std::string item = Value(intprt, 1);
    const std::string text = GameValue(intprt, "Game", "ChoicePrefix") +
                             (window.EngineReadsUtf8() ? EscapeEngineText(item) : item);
    PageMarkupHost markupHost(intprt);
    intprt.AddChoiceText(PlainPageText(item, markupHost));
    if (!window.AddChoiceItem(text, intprt.Arg(2))) {
        intprt.RuntimeError(TrFormat("選択肢%sを追加できません。", {intprt.Arg(1)}));
    }
}

// With nothing to choose the reader could only leave by the menus; the
// story goes on instead.
void Select(clsInterpreter& intprt) {
    TextWindowHost& window = Window(intprt);
    if (window.BaseFilmSet() == kMarkupNovel) intprt.RuntimeError(Tr(kNovelChoice));
    if (window.ChoiceCount() == 0) {
        intprt.RuntimeError(Tr("選択肢が登録されていません。"));
        return;
    }
    window.ChoiceArrange();
    RemoveButtons(intprt);
    window.ChoiceVisible(true);
    intprt.Host().Log("SelectItem Command");
    intprt.Host().CursorVisible(false);
    window.TextPageTurn();
    intprt.Host().Story().ChoicesShown(intprt.OpenChoices());
    intprt.WaitMode(kWaitChoice);
    StopSkipAtChoice(intprt);
}

void Er(clsInterpreter& intprt) {
    EventRectSpec rect;
    rect.STag = kGameButtonTag;
    rect.x1 = ScriptX(Number(intprt, 1));
    rect.y1 = ScriptY(Number(intprt, 2));
    rect.x2 = rect.x1 + ScriptX(Number(intprt, 3));
    rect.y2 = rect.y1 + ScriptY(Number(intprt, 4));
    if (!Absent(intprt, 5)) {
        rect.ClickScript = intprt.Arg(5);
        rect.RectType += 1;
    }
    if (!Absent(intprt, 6)) {
        rect.PointScript = intprt.Arg(6);
        rect.RectType += 4;
    }
    intprt.Host().View().AddEventRect(rect);
}

void ErCg(clsInterpreter& intprt) {
    const std::string& cid = intprt.Arg(1);
    const long film = intprt.Host().Graphics().GetCharFilmID(cid);
    if (film == -1) return;
    EventRectSpec rect;
    rect.STag = kGameButtonTag;
    rect.FilmID = film;
    rect.TargetCID = cid;
    if (!Absent(intprt, 5)) {
        rect.ClickScript = intprt.Arg(2);
        rect.RectType += 1;
    }
    if (!Absent(intprt, 6)) {
        rect.PointScript = intprt.Arg(3);
        rect.RectType += 4;
    }
    intprt.Host().View().AddEventRect(rect);
}

void SelectEr(clsInterpreter& intprt) {
    intprt.Host().Log("SelectButton Command");
    EnableButtons(intprt);
    intprt.Host().View().SelectionClear();
    intprt.WaitMode(kWaitSelection);
    StopSkipAtChoice(intprt);
}

// [SECTION] Window and messages

void Wnd(clsInterpreter& intprt) {
    const std::string type = Text(intprt, 1, "0");
    if (!Window(intprt).ChangeWindowType(ReadLong(type))) {
        intprt.RuntimeError(TrFormat("ウィンドウタイプ %s の変更に失敗しました。", {type}));
    }
}

void Alarm(clsInterpreter& intprt) {
    const std::string text = Absent(intprt, 1) ? std::string(Tr("アラーム")) : Value(intprt, 1);
    intprt.Host().Msg(text, kMsgOK);
}

constexpr CommandEntry kTextCommands[] = {
    {"put", Put},
    {"site", Site},
    {"pt", Pt},
    {"textwindow", TextWindow},
    {"textnovel", TextNovel},
    {"ts", Ts},
    {"th", Th},
    {"wait", Wait},
    {"waitcv", WaitCv},
    {"waitauto", WaitAuto},
    {"pause", Pause},
    {"pauseabs", PauseAbs},
    {"item", Item},
    {"select", Select},
    {"er", Er},
    {"ercg", ErCg},
    {"selecter", SelectEr},
    {"wnd", Wnd},
    {"alarm", Alarm},
};

}  // namespace

std::span<const CommandEntry> TextCommands() {
    return kTextCommands;
}

}  // namespace zelk::commands
