// The text files of a new game. Comments in them say what an author changes
// where; the reference in docs/ says the rest.
#include <cstdio>

#include "new_game.h"

#include <utility>

#include "common/text.h"

namespace zelk::tool {

namespace {

std::string Num(int value) {
    return std::to_string(value);
}

std::string Spec(const std::string& picture, const Box& box) {
    return picture + "," + Num(box.x) + "," + Num(box.y) + "," + Num(box.w) + "," + Num(box.h);
}

// A box moved by `steps` of `step` across (or down).
Box Across(Box box, int steps, int step) {
    box.x += steps * step;
    return box;
}
Box Down(Box box, int steps, int step) {
    box.y += steps * step;
    return box;
}

std::string Hex3(int value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03X", value & 0xFFF);
    return digits;
}

// Every command of the player with the defaults of its arguments: "*" must
// be given, "%" means not given (the command has its own fallback).
constexpr const char* kInstructionTable =
    R"(; Every command with the defaults of its arguments: * must be given,
; % has no value unless given (the command supplies its own fallback).
[Instruction]
// text, window, waits and choices
put	*
site	*
pt
textwindow
textnovel
ts
th
wait
waitcv
waitauto	*
pause	*
pauseabs	*
item	*	*
select
er	*	*	*	*	%	%
ercg	*	%	%	%	%	%
selecter
wnd	0
alarm	%
// graphics
bg	*	%	%
bgfill	%
bglc	%	%	%
bgmv	%	%	%
fc	%
cg	*	%	%	%	%
cgh	%
cglc	*	%	%	%
cglcas	*	%	%	%
cgmv	*	%	%	%
cgmvas	*	%	%	%
cga	*	%	%
cgaas	*	%	%
cgbc	%
cgf	*	%	%
cghfas	*	%
cgvfas	*	%
cgactclear	*
cgactadd	*	%	%	%	%	%
cgactstart	*
cgactend	*
cgactcomplete	*
dd
ddb	%
ddw	%
da
daa	%
dam	*	%
wto	*
bto	*
mto	*	*	%
// sound
bgm	%	%
bgmvolumerate	%
se	%
sel	%	%
stopcv
// flow and variables
go	*
call	*
return
if	*	%	%
let	*	*
add	*	*	*
sub	*	*	*
up	*	%
down	*	%
use	%	%	%	%	%	%	%	%
nop	%	%	%	%	%	%	%	%
siting	%	%	%	%	%	%	%	%
// system
restarttitle
restartreplaymode
playending	*	%	%	%
playmovie	*	%
)";

std::string SystemInfo(const std::string& title, const NewGameLayout& l) {
    const std::string window = "DFFFFFF" + std::string("F") + Hex3(l.fontSize) + "G" +
                               Hex3(l.fontSize) + "H" + Hex3(l.linePitch);
    const std::string log =
        "F" + Hex3(l.logFontSize) + "G" + Hex3(l.logFontSize) + "H" + Hex3(l.logLinePitch);
    return "; " + title +
           " - the game's settings: its name, its screen, its text, and the first\n"
           "; settings of every reader. Colours are red-green-blue, times milliseconds.\n"
           "\n"
           "[Game]\n"
           "; The language the story is written in: the fonts and the voice that\n"
           "; reads pages aloud follow it.\n"
           "Language=ja\n"
           "Title=" +
           title +
           "\n"
           "ScenarioVer=1.0\n"
           "ScreenSizeX=" +
           Num(l.width) + "\nScreenSizeY=" + Num(l.height) +
           "\n"
           "; Scenarios place things in this space; it is the screen's.\n"
           "ScriptScaleX=" +
           Num(l.width) + "\nScriptScaleY=" + Num(l.height) +
           "\n"
           "InitialScreenColor=&h000000\n"
           "; Where a new game starts: scenario main, label start.\n"
           "EntryPoint=main.start\n"
           "QSavePageNum=5\n"
           "QSaveSlotCount=6\n"
           "CustomMouseCursor=\n"
           "BGMFadeTime=800\n"
           "InvalidFont=Terminal,System\n"
           "; Text marks before every page: colour, size, character pitch, line pitch.\n"
           "WindowBlockPrefix=" +
           window + "\nNovelBlockPrefix=" + window + "\nLogBlockPrefix=" + log +
           "\n"
           "ChoicePrefix=\n"
           "\n"
           "; Story text wraps after CharCount characters; a page holds LineCount lines.\n"
           "[TextBlock]\n"
           "CharCount=" +
           Num(l.charCount) +
           "\n"
           "LineCount=" +
           Num(l.lineCount) +
           "\n"
           "\n"
           "; Speakers as the story text writes them; Item:N shows row N of nameplate.\n"
           "; Item:0 is the narrator, who has no plate.\n"
           "[Nameplate]\n"
           "Count=2\n"
           "Item:0=\n"
           "Item:1=【ユキ】\n"
           "\n"
           "; Characters: name, id (st_<id>_<look> pictures, voices <id>_...), male.\n"
           "[CharConfig]\n"
           "ListCount=1\n"
           "Item:0=ユキ,y01,false\n"
           "MaleCID=\n"
           "\n"
           "; What a new reader starts with; each reader's own settings are kept apart.\n"
           "[Config]\n"
           "TextSpeed=2\n"
           "TextAutoClick=False\n"
           "AutoModeWait=1800\n"
           "BGMVolume=200\n"
           "SEVolume=220\n"
           "CVVolume=255\n"
           "BGMMute=False\n"
           "SEMute=False\n"
           "CVMute=False\n"
           "WndAlpha=208\n"
           "NovelAlpha=176\n"
           "CustomCursor=False\n"
           "Font=ＭＳ ゴシック\n"
           "CustomColor=&hFFFFFF,&hFFC4FF,&hC4FFC4,&hDCDCDC,&hF2C46D,&h3F7FB0,&h1B2A44,"
           "&hEFD9A7,&hC8463C,&h9A86B8,&h8FB8DE,&h5A3328,&hFDF3DE,&h22507A,&hB8863B,&h000000\n"
           "OriginalTextColor=True\n"
           "MaleVoice=True\n"
           "CVPan=False\n"
           "SkipStopUnread=True\n"
           "SkipGrpEffect=True\n"
           "SkipAfterSelect=False\n"
           "StartScreenMode=1\n"
           "FullMode=False\n"
           "StartCenter=True\n"
           "Pos=\n"
           "DeactivateMute=False\n"
           "DeactivateWnd=False\n"
           "DXFullScreen=False\n"
           "TextShadow=True\n"
           "QueryQuickSave=True\n"
           "QueryQuickLoad=True\n"
           "QueryRestartTitle=True\n"
           "QueryExit=True\n"
           "QuerySave=True\n"
           "QueryLoad=True\n"
           "LastSaveLoadPage=1\n"
           "; Per character: voice on, text colour.\n"
           "Char:0=True,&hFFC4FF\n"
           "\n"
           "; Names the scenarios use for numbers.\n"
           "[const]\n"
           "center=" +
           Num(l.width / 2) +
           "\n"
           "\n"
           "; Variables kept across games: scenes seen (the replay screen) and the\n"
           "; ending reached (the title's extras button).\n"
           "[shared]\n"
           "rep_opening=0\n"
           "clear=0\n"
           "\n"
           "; Variables of one game, saved with it. A scenario can only store into\n"
           "; a variable declared here or in [shared].\n"
           "[var]\n"
           "route=0\n"
           "\n" +
           kInstructionTable;
}

std::string TitleMode(const std::string& title, const NewGameLayout& l) {
    std::string buttons;
    const char* const keys[] = {"start", "quickload", "load", "omake", "exit"};
    const char* const pictures[] = {"tb_start", "tb_qload", "tb_load", "tb_omake", "tb_exit"};
    for (int i = 0; i < 5; ++i) {
        buttons += std::string(keys[i]) + "=" +
                   Spec(pictures[i], Down(l.titleButton, i, l.titleButtonStep)) + "\n";
    }
    return "; " + title +
           " - the logo and the title menu.\n"
           "\n"
           "[base]\n"
           "FadeTime=800\n"
           "InitColor=0\n"
           "ActiveMenu=file!qload\n"
           "; Effects for pointing at and clicking a button (sound keys; empty: none).\n"
           "PointSE=\n"
           "ClickSE=\n"
           "\n"
           "[Logo]\n"
           "bg=logo\n"
           "se=\n"
           "AutoclickTime=2000\n"
           "\n"
           "[menu]\n"
           "bg=title_bg\n"
           "; The title music (a sound key); empty: none.\n"
           "bgm=\n"
           "; Each button: picture (its rows: normal, pointed at, pressed), x, y,\n"
           "; width, height of one row.\n"
           "Buttons=start,quickload,load,omake,exit\n" +
           buttons +
           "; The extras open once one of these shared variables is not 0.\n"
           "OmakeEnableFlags=clear\n";
}

std::string GameMode(const std::string& title, const NewGameLayout& l) {
    const char* const keys[] = {"save", "load", "auto", "skip", "log"};
    std::string windowButtons;
    for (int i = 0; i < 5; ++i) {
        windowButtons +=
            std::string(keys[i]) + "=" +
            Spec(std::string("wb_") + keys[i], Across(l.windowButton, i, l.windowButtonStep)) +
            "\n";
    }
    std::string logTexts, logVoices;
    for (int i = 0; i < 4; ++i) {
        logTexts += Num(i) + "Text=" + Spec("", Down(l.logText, i, l.logStep)) + "\n";
        logVoices += Num(i) + "Voice=" + Spec("log_voice", Down(l.logVoice, i, l.logStep)) + "\n";
    }
    const char* const logKeys[] = {"pageup", "rollup", "rolldown", "pagedown"};
    std::string logButtons;
    for (int i = 0; i < 4; ++i) {
        logButtons += std::string(logKeys[i]) + "=" +
                      Spec(std::string("lb_") + logKeys[i], Down(l.logButton, i, l.logButtonStep)) +
                      "\n";
    }
    const Box shadow = {l.text.x + 2, l.text.y + 2, l.text.w, l.text.h};
    const Box novelShadow = {l.novelText.x + 2, l.novelText.y + 2, l.novelText.w, l.novelText.h};
    return "; " + title +
           " - the reading screen: the text window, the novel page and the log.\n"
           "; A film spec is: picture, x, y, width, height[, extra].\n"
           "\n"
           "[Base]\n"
           "PointSE=\n"
           "ClickSE=\n"
           "SaveMenuEnabled=true\n"
           "SaveMenuAlarmMessage=今はセーブできません。\n"
           "\n"
           "[WindowMode]\n"
           "Back=" +
           Spec("win_back", l.window) + "\nFrame=" + Spec("win_frame", l.window) +
           "\nNameplate=" + Spec("nameplate", l.nameplate) + "\nState=" + Spec("state", l.state) +
           "\n"
           "Face=,0,0,0,0\n"
           "Text=" +
           Spec("", l.text) + "\nTextShadow=" + Spec("", shadow) +
           "\n"
           "; The cursor's extra number is the time of one of its cells.\n"
           "WaitCursor=" +
           Spec("cursor", l.cursor) + ",100\nChoiceFrame=" + Spec("choice_frame", l.choice) +
           "\nChoiceText=" + Spec("", l.choiceText) + "\nChoiceTextTopOffset=" + Num(l.Scaled(8)) +
           "\nChoiceSpace=" + Num(l.choiceSpace) + "\nChoiceCenter=" + Num(l.choiceCenter) +
           "\n"
           "StateAutoIndex=1\n"
           "StateSkipIndex=2\n"
           "WndAlpha=208\n"
           "Buttons=save,load,auto,skip,log\n" +
           windowButtons +
           "\n"
           "[NovelMode]\n"
           "Back=" +
           Spec("novel_back", l.novel) + "\nText=" + Spec("", l.novelText) +
           "\nTextShadow=" + Spec("", novelShadow) + "\nWaitCursor=" +
           Spec("cursor",
                {l.novel.x + l.novel.w - l.Scaled(50), l.novelText.y, l.cursor.w, l.cursor.h}) +
           ",100\nWaitCursorOffset=" + Num(l.Scaled(46)) +
           "\n"
           "Face=,0,0,0,0\n"
           "NovelAlpha=176\n"
           "\n"
           "[wndtype:0]\n"
           "Frame=win_frame\n"
           "NamePlate=nameplate\n"
           "State=state\n"
           "\n"
           "[LogMode]\n"
           "Back=" +
           Spec("log_back", {0, 0, l.width, l.height}) + "\n" + logTexts + logVoices +
           "Buttons=pageup,rollup,rolldown,pagedown,return\n" + logButtons +
           "return=" + Spec("lb_return", l.logReturn) + "\n";
}

std::string SaveLoadMode(const std::string& title, const NewGameLayout& l) {
    std::string pages;
    for (int i = 0; i < 5; ++i) {
        pages += "PageNo0" + Num(i) + "=" +
                 Spec("sl_page" + Num(i + 1), Across(l.pageButton, i, l.pageButtonStep)) + "\n";
    }
    std::string slots;
    for (int i = 0; i < 6; ++i) {
        const int x = l.slot.x + (i / 3) * l.slotXDiff;
        const int y = l.slot.y + (i % 3) * l.slotYDiff;
        slots += "Slot0" + Num(i) + "=" + Num(x) + "," + Num(y) + "\n";
    }
    return "; " + title +
           " - the save and load screen: five pages of six slots; the last page\n"
           "; holds the quick saves.\n"
           "\n"
           "[Base]\n"
           "BGFromGame=sl_back\n"
           "TransparentBGFromGame=true\n"
           "BGFromTitle=sl_back\n"
           "TransparentBGFromTitle=false\n"
           "BGAlphaBlend=224\n"
           "SlotbaseOverThumbnail=false\n"
           "PageButtonFlipNumOnClick=2\n"
           "PageButtonFlipNumOnLock=3\n"
           "PointSE=\n"
           "ClickSE=\n"
           "QuerySaveMessage=このスロットにセーブしますか。\n"
           "QueryLoadMessage=このスロットのデータをロードしますか。\n"
           "\n"
           "[Button]\n"
           "Return=" +
           Spec("sl_return", l.returnButton) +
           "\n"
           "PageNoCount=5\n" +
           pages +
           "\n"
           "[Slots]\n"
           "SlotXCount=2\n"
           "SlotYCount=3\n"
           "FreePlaceMode=false\n"
           "SlotCount=6\n"
           "SlotXBase=" +
           Num(l.slot.x) + "\nSlotYBase=" + Num(l.slot.y) + "\nSlotXDiff=" + Num(l.slotXDiff) +
           "\nSlotYDiff=" + Num(l.slotYDiff) + "\n" + slots +
           "\n"
           "; Inside a slot: the screen's thumbnail, the plate, its buttons, its text.\n"
           "[SlotBase]\n"
           "Thumb=" +
           Spec("", l.thumb) + "\nBase=" + Spec("sl_base", {0, 0, l.slot.w, l.slot.h}) +
           "\nSave=" + Spec("sl_save", l.slotSave) + "\nLoad=" + Spec("sl_load", l.slotLoad) +
           "\nText=" + Spec("", l.slotText) +
           "\n"
           "TextFont=ＭＳ ゴシック\n"
           "TextColor=FFFFFF\n"
           "TextSize=" +
           Num(l.slotFontSize) + "\nTextWidth=" + Num(l.slotFontSize) +
           "\nTextHeight=" + Num(l.slotFontSize * 10 / 7) + "\n";
}

std::string OmakeMode(const std::string& title, const NewGameLayout& l) {
    const auto modeButtons = [&](const std::string& prefix) {
        return prefix + "ModeBtn01=" + Spec("om_mode_cg", l.modeButton) + "\n" + prefix +
               "ModeBtn02=" + Spec("om_mode_rep", Across(l.modeButton, 1, l.modeButtonStep)) + "\n";
    };
    const auto panels = [&](const std::string& prefix, const std::string& null) {
        std::string text = "PanelCount=3\n";
        for (int i = 0; i < 3; ++i)
            text += prefix + "Panel0" + Num(i + 1) + "=" +
                    Spec(null, Across(l.panel, i, l.panelStep)) + "\n";
        return text + "NullPanel=" + null + "\n";
    };
    const Box page = l.pageButton;
    return "; " + title +
           " - the extras: the picture gallery and the scene replay.\n"
           "\n"
           "[base]\n"
           "PointSE=\n"
           "ClickSE=\n"
           "FadeTime=500\n"
           "; How much of the gallery the reader has seen: pct000, pct050, pct100.\n"
           "Percent=" +
           Spec("pct000", l.percent) +
           "\n"
           "PercentImagePrefix=pct\n"
           "\n"
           "[cgmode]\n"
           "bg=om_bg_cg\n" +
           modeButtons("CG") + "CGReturn=" + Spec("om_return", l.returnButton) +
           "\n"
           "PageCount=1\n"
           "CGPageBtn01=" +
           Spec("om_page1", page) + "\n" + panels("CG", "cgp_null") +
           "\n"
           "; A panel opens once its first picture has been shown in the story; a\n"
           "; click shows its pictures one by one: picture, command, arguments.\n"
           "[cgmode_cmd]\n"
           "cmd01_01_01=ev_sky,bg,ev_sky\n"
           "cmd01_02_01=bg_room,bg,bg_room\n"
           "\n"
           "[cgmode_panel]\n"
           "panel01_01=cgp_sky\n"
           "panel01_02=cgp_room\n"
           "\n"
           "[repmode]\n"
           "bg=om_bg_rep\n" +
           modeButtons("Rep") + "RepReturn=" + Spec("om_return", l.returnButton) +
           "\n"
           "PageCount=1\n"
           "RepPageBtn01=" +
           Spec("om_page1", page) + "\n" + panels("Rep", "rpp_null") +
           "RepModeText=false\n"
           "\n"
           "; A panel: the shared variable that opens it, its picture, the label\n"
           "; the replay starts at.\n"
           "[repmode_panel]\n"
           "panel01_01=rep_opening,rpp_opening,main.replay_opening\n";
}

std::string MainScenario() {
    return "// The story. SystemInfo.ini says that a new game starts at the label\n"
           "// start: of this file (EntryPoint=main.start).\n"
           "start:\n"
           "call main.opening\n"
           "// A choice: each item is its text and the label it leads to.\n"
           "item 海へ行く, main.sea\n"
           "item 町に残る, main.town\n"
           "select\n"
           "\n"
           "sea:\n"
           "let route, 1\n"
           "bg ev_sky\n"
           "海の上には、どこまでも空が広がっていた。\n"
           "\\b\n"
           "go ending\n"
           "\n"
           "town:\n"
           "let route, 2\n"
           "町の灯りが、ひとつずつともっていく。\n"
           "\\b\n"
           "go ending\n"
           "\n"
           "ending:\n"
           "if route == 1\n"
           "【ユキ】「また、海で会おうね」\n"
           "\\b\n"
           "else\n"
           "【ユキ】「また、この町で会おうね」\n"
           "\\b\n"
           "endif\n"
           "// Reaching an ending opens the extras on the title.\n"
           "let clear, 1\n"
           "おわり\n"
           "\\b\n"
           "restarttitle\n"
           "\n"
           "// The first scene is a subroutine of its own, so that the replay screen\n"
           "// can play it alone.\n"
           "opening:\n"
           "site はじまりの部屋\n"
           "wto bg_room\n"
           "cg st_y01_normal, center\n"
           "【ユキ】「はじめまして。\n"
           "\\nここから、あなたの物語が始まります」\\b\n"
           "部屋の窓から、やわらかな光がさしこんでいる。\n"
           "\\nどこへ行こうか。\\b\n"
           "cgh\n"
           "let rep_opening, 1\n"
           "return\n"
           "\n"
           "// The replay screen starts here (omake_mode.ini, [repmode_panel]).\n"
           "replay_opening:\n"
           "call main.opening\n"
           "restartreplaymode\n";
}

// The same story in English: story text holding Latin letters starts its
// line with "> ", and a line of story text ends only where an escape ends it.
std::string MainScenarioEnglish() {
    return "// The story. SystemInfo.ini says that a new game starts at the label\n"
           "// start: of this file (EntryPoint=main.start).\n"
           "// A line of story text starts with \"> \"; \\n breaks the line, \\b ends the page.\n"
           "start:\n"
           "call main.opening\n"
           "// A choice: each item is its text and the label it leads to.\n"
           "item \"Go to the sea\", main.sea\n"
           "item \"Stay in town\", main.town\n"
           "select\n"
           "\n"
           "sea:\n"
           "let route, 1\n"
           "bg ev_sky\n"
           "> Above the sea, the sky went on forever.\\b\n"
           "go ending\n"
           "\n"
           "town:\n"
           "let route, 2\n"
           "> One by one, the lights of the town came on.\\b\n"
           "go ending\n"
           "\n"
           "ending:\n"
           "if route == 1\n"
           "> 【Yuki】\"Let's meet by the sea again.\"\\b\n"
           "else\n"
           "> 【Yuki】\"Let's meet in this town again.\"\\b\n"
           "endif\n"
           "// Reaching an ending opens the extras on the title.\n"
           "let clear, 1\n"
           "> The End\\b\n"
           "restarttitle\n"
           "\n"
           "// The first scene is a subroutine of its own, so that the replay screen\n"
           "// can play it alone.\n"
           "opening:\n"
           "site \"The first room\"\n"
           "wto bg_room\n"
           "cg st_y01_normal, center\n"
           "> 【Yuki】\"Nice to meet you.\n"
           "> \\nYour story starts here.\"\\b\n"
           "> Soft light came in through the window.\n"
           "> \\nWhere shall we go?\\b\n"
           "cgh\n"
           "let rep_opening, 1\n"
           "return\n"
           "\n"
           "// The replay screen starts here (omake_mode.ini, [repmode_panel]).\n"
           "replay_opening:\n"
           "call main.opening\n"
           "restartreplaymode\n";
}

// The Japanese game's settings, said in English: a UTF-8 game.
std::string English(std::string text) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"[Game]\n",
         "[Game]\n; The game's files are UTF-8: any language, any script.\nEncoding=UTF-8\n"},
        {"Language=ja\n", "Language=en\n"},
        {"; Story text wraps after CharCount characters; a page holds LineCount lines.",
         "; The text window is CharCount full-width characters wide (lines break by\n"
         "; width); a page holds LineCount lines."},
        {"Item:1=【ユキ】", "Item:1=【Yuki】"},
        {"Item:0=ユキ,y01,false", "Item:0=Yuki,y01,false"},
        // A face drawn for Latin text; the text window falls back per
        // character to another installed font for what it lacks.
        {"Font=ＭＳ ゴシック\n", "Font=Noto Sans\n"},
        {"今はセーブできません。", "You cannot save now."},
        {"このスロットにセーブしますか。", "Save in this slot?"},
        {"このスロットのデータをロードしますか。", "Load this slot?"},
    };
    for (const auto& [from, to] : kWords)
        text = ReplaceText(text, from, to);
    return text;
}

}  // namespace

std::vector<NewGameFile> NewGameTexts(const std::string& title, const NewGameLayout& layout,
                                      NewGameLanguage language) {
    if (language == NewGameLanguage::kEnglish) {
        return {
            {"SystemInfo.ini", English(SystemInfo(title, layout))},
            {"title_mode.ini", English(TitleMode(title, layout))},
            {"game_mode.ini", English(GameMode(title, layout))},
            {"saveload_mode.ini", English(SaveLoadMode(title, layout))},
            {"omake_mode.ini", English(OmakeMode(title, layout))},
            {"scenario/main.txt", MainScenarioEnglish()},
        };
    }
    return {
        {"SystemInfo.ini", SystemInfo(title, layout)},
        {"title_mode.ini", TitleMode(title, layout)},
        {"game_mode.ini", GameMode(title, layout)},
        {"saveload_mode.ini", SaveLoadMode(title, layout)},
        {"omake_mode.ini", OmakeMode(title, layout)},
        {"scenario/main.txt", MainScenario()},
    };
}

}  // namespace zelk::tool
