#include "interpreter/commands/graphics_commands.h"

#include <string>
#include <vector>

#include "common/numbers.h"
#include "interpreter/commands/command_support.h"
#include "platform/translate.h"

namespace zelk::commands {

namespace {

// Transition kinds of the driver's DrawDeactivate and DrawActivate.
constexpr long kCut = 0;
constexpr long kFade = 1;
constexpr long kWipe = 2;
// Places a background at its default position.
constexpr long kDefaultPosition = -999999;

// Free actions that flip a character: set the cell, wait, restore it.
constexpr long kFreeActionHead = 0x20022010;
constexpr long kFlipAcross = 0x11000030;
constexpr long kFlipDown = 0x11000031;
constexpr long kFreeActionWait = 0x20020001;
constexpr long kFreeActionTail = 0x20020003;

GraphicsHost& Gfx(clsInterpreter& intprt) {
    return intprt.Host().Graphics();
}

void Check(clsInterpreter& intprt, bool ok, const std::string& message) {
    if (!ok) intprt.RuntimeError(message);
}

const std::string& Cid(clsInterpreter& intprt) {
    return intprt.Arg(1);
}

// A duration argument: the effect time when absent, 0 when effects are
// skipped.
long Duration(clsInterpreter& intprt, std::size_t n) {
    return Absent(intprt, n) ? intprt.EffectTime()
                             : intprt.EffectDuration(intprt.Sbl(intprt.Arg(n)));
}

long CenterX(clsInterpreter& intprt, std::size_t n) {
    return ScriptX(Number(intprt, n, ScriptCenterX()));
}

long CenterY(clsInterpreter& intprt, std::size_t n) {
    return ScriptY(Number(intprt, n, ScriptCenterY()));
}

void Shown(clsInterpreter& intprt, bool ok, const std::string& file, const std::string& message) {
    if (ok) {
        intprt.Host().Story().AddCGHistory(file);
    } else {
        intprt.RuntimeError(message);
    }
}

// [SECTION] Background

void Bg(clsInterpreter& intprt) {
    const std::string& file = intprt.Arg(1);
    const bool ok = Gfx(intprt).BGCenter(file, CenterX(intprt, 2), CenterY(intprt, 3),
                                         intprt.EffectTime(), true);
    Shown(intprt, ok, file, TrFormat("背景 '%s'のロードに失敗しました。", {file}));
}

void BgFill(clsInterpreter& intprt) {
    Gfx(intprt).BGFill(Number(intprt, 1), intprt.EffectTime());
}

// Without a duration the background is shown again at the new place (a
// fade); with one it slides there.
void MoveBackground(clsInterpreter& intprt, long x, long y, bool absolute) {
    GraphicsHost& gfx = Gfx(intprt);
    const bool ok = Absent(intprt, 3)
                        ? gfx.BGCenter(gfx.BGName(), x, y, intprt.EffectTime(), absolute)
                        : gfx.BGMove(x, y, Duration(intprt, 3), absolute);
    Check(intprt, ok, TrFormat("背景'%s'の移動に失敗しました。", {intprt.Arg(1)}));
}

void BgLc(clsInterpreter& intprt) {
    MoveBackground(intprt, CenterX(intprt, 1), CenterY(intprt, 2), true);
}

void BgMv(clsInterpreter& intprt) {
    MoveBackground(intprt, ScriptX(Number(intprt, 1)), ScriptY(Number(intprt, 2)), false);
}

void Fc(clsInterpreter& intprt) {
    Gfx(intprt).FaceChange(Text(intprt, 1));
}

// [SECTION] Characters

void Cg(clsInterpreter& intprt) {
    const std::string& file = intprt.Arg(1);
    const long width = Absent(intprt, 4) ? -1 : ScriptX(Number(intprt, 4));
    const long height = Absent(intprt, 5) ? -1 : ScriptY(Number(intprt, 5));
    const bool ok = Gfx(intprt).CGChange(file, CenterX(intprt, 2), CenterY(intprt, 3), width,
                                         height, intprt.EffectTime());
    Shown(intprt, ok, file, TrFormat("人物'%s'のロードに失敗しました。", {file}));
}

void Cgh(clsInterpreter& intprt) {
    if (Absent(intprt, 1)) {
        Gfx(intprt).CGHideAll(intprt.EffectTime());
        return;
    }
    Check(intprt, Gfx(intprt).CGHide(Cid(intprt), intprt.EffectTime()),
          TrFormat("人物'%s'の非表示に失敗しました。", {Cid(intprt)}));
}

// Without a duration the move happens behind a frozen scene that then
// fades in; with one the character slides.
void MoveCharacter(clsInterpreter& intprt, long x, long y, bool absolute) {
    GraphicsHost& gfx = Gfx(intprt);
    const std::string& cid = Cid(intprt);
    if (!Absent(intprt, 4)) {
        Check(intprt, gfx.CGMove(cid, x, y, absolute, Duration(intprt, 4), true),
              absolute ? TrFormat("人物'%s'の絶対位置移動（スムーズ）に失敗しました。", {cid})
                       : TrFormat("人物'%s'の相対位置移動（スムーズ）に失敗しました。", {cid}));
        return;
    }
    const bool live = intprt.Host().DrawActivity();
    if (live) gfx.DrawDeactivate(kCut, 0);
    const bool ok = gfx.CGMove(cid, x, y, absolute, 0, true);
    if (live) gfx.DrawActivate(kFade, intprt.EffectTime());
    Check(intprt, ok,
          absolute ? TrFormat("人物'%s'の絶対位置移動（フェード）に失敗しました。", {cid})
                   : TrFormat("人物'%s'の相対位置移動（フェード）に失敗しました。", {cid}));
}

void CgLc(clsInterpreter& intprt) {
    MoveCharacter(intprt, CenterX(intprt, 2), CenterY(intprt, 3), true);
}

void CgMv(clsInterpreter& intprt) {
    MoveCharacter(intprt, ScriptX(Number(intprt, 2)), ScriptY(Number(intprt, 3)), false);
}

void CgLcAs(clsInterpreter& intprt) {
    Check(intprt,
          Gfx(intprt).CGMove(Cid(intprt), CenterX(intprt, 2), CenterY(intprt, 3), true,
                             intprt.EffectDuration(Number(intprt, 4)), false),
          TrFormat("人物'%s'の非同期絶対位置移動に失敗しました。", {Cid(intprt)}));
}

void CgMvAs(clsInterpreter& intprt) {
    Check(intprt,
          Gfx(intprt).CGMove(Cid(intprt), ScriptX(Number(intprt, 2)), ScriptY(Number(intprt, 3)),
                             false, intprt.EffectDuration(Number(intprt, 4)), false),
          TrFormat("人物'%s'の非同期相対位置移動に失敗しました。", {Cid(intprt)}));
}

// Scenarios give opacity in percent; the driver's alpha runs to 256.
void ChangeAlpha(clsInterpreter& intprt, bool sync) {
    const long percent = Number(intprt, 2, 100);
    if (percent < 0 || percent > 100) {
        intprt.RuntimeError(Tr("アルファ値は０から１００"));
        return;
    }
    const long alpha = RoundToLong(percent * 256.0 / 100.0);
    Check(intprt, Gfx(intprt).CGAlpha(Cid(intprt), alpha, Duration(intprt, 3), sync),
          sync ? TrFormat("人物'%s'の透明度変更に失敗しました。", {Cid(intprt)})
               : TrFormat("人物'%s'の非同期透明度変更に失敗しました。", {Cid(intprt)}));
}

void Cga(clsInterpreter& intprt) {
    ChangeAlpha(intprt, true);
}

void CgaAs(clsInterpreter& intprt) {
    ChangeAlpha(intprt, false);
}

void CgBc(clsInterpreter& intprt) {
    Gfx(intprt).CharBlendColor(Number(intprt, 1));
}

void Cgf(clsInterpreter& intprt) {
    Check(intprt, Gfx(intprt).CGFlip(Cid(intprt), Number(intprt, 2, -1), Number(intprt, 3, -1)),
          TrFormat("人物'%s'のフリップ位置変更に失敗しました。", {Cid(intprt)}));
}

// [SECTION] Free actions

void FlipAction(clsInterpreter& intprt, long flip) {
    GraphicsHost& gfx = Gfx(intprt);
    const std::string& cid = Cid(intprt);
    const std::vector<long> words = {
        kFreeActionHead, flip, 1, kFreeActionWait, intprt.EffectDuration(Number(intprt, 2)),
        kFreeActionTail};
    const bool ok = gfx.CGActClear(cid) && gfx.CGActAdd(cid, words) && gfx.CGActStart(cid);
    Check(intprt, ok, TrFormat("人物'%s'の非同期フリップに失敗しました。", {cid}));
}

void CghFas(clsInterpreter& intprt) {
    FlipAction(intprt, kFlipAcross);
}

void CgvFas(clsInterpreter& intprt) {
    FlipAction(intprt, kFlipDown);
}

void CgActClear(clsInterpreter& intprt) {
    Check(intprt, Gfx(intprt).CGActClear(Cid(intprt)),
          TrFormat("人物'%s'の自由アクション初期化に失敗しました。", {Cid(intprt)}));
}

void CgActAdd(clsInterpreter& intprt) {
    std::vector<long> words;
    for (std::size_t n = 2; n <= 6; ++n)
        words.push_back(Number(intprt, n, -1));
    Check(intprt, Gfx(intprt).CGActAdd(Cid(intprt), words),
          TrFormat("人物'%s'の自由アクション追加に失敗しました。", {Cid(intprt)}));
}

void CgActStart(clsInterpreter& intprt) {
    Check(intprt, Gfx(intprt).CGActStart(Cid(intprt)),
          TrFormat("人物'%s'の自由アクション開始に失敗しました。", {Cid(intprt)}));
}

void CgActEnd(clsInterpreter& intprt) {
    Check(intprt, Gfx(intprt).CGActEnd(Cid(intprt)),
          TrFormat("人物'%s'の自由アクション停止に失敗しました。", {Cid(intprt)}));
}

void CgActComplete(clsInterpreter& intprt) {
    Check(intprt, Gfx(intprt).CGActComplete(Cid(intprt)),
          TrFormat("人物'%s'の自由アクション完了に失敗しました。", {Cid(intprt)}));
}

// [SECTION] Transitions

void Dd(clsInterpreter& intprt) {
    Gfx(intprt).DrawDeactivate(kCut, 1000);
}

void Ddb(clsInterpreter& intprt) {
    Gfx(intprt).DrawDeactivate(kFade, Duration(intprt, 1));
}

void Ddw(clsInterpreter& intprt) {
    Gfx(intprt).DrawDeactivate(kWipe, Duration(intprt, 1));
}

void Da(clsInterpreter& intprt) {
    Gfx(intprt).DrawActivate(kCut, 1000);
}

void Daa(clsInterpreter& intprt) {
    Gfx(intprt).DrawActivate(kFade, Duration(intprt, 1));
}

void Dam(clsInterpreter& intprt) {
    const std::string& mask = intprt.Arg(1);
    Check(intprt, Gfx(intprt).LoadBuffMask(mask),
          TrFormat("マスク'%s'のロードに失敗しました。", {mask}));
    Gfx(intprt).DrawActivate(kWipe, Duration(intprt, 2));
}

// A scene change: freeze, clear the characters and the page, show the new
// background, resume with a fade.
void SceneChange(clsInterpreter& intprt, long leave) {
    GraphicsHost& gfx = Gfx(intprt);
    const std::string& file = intprt.Arg(1);
    gfx.DrawDeactivate(leave, intprt.EffectTime());
    gfx.CGHideAll(0);
    intprt.Host().TextWindow().TextPageTurn();
    const bool ok = gfx.BGCenter(file, kDefaultPosition, kDefaultPosition, 1000, true);
    if (!ok) intprt.RuntimeError(TrFormat("通常背景'%s'のロードに失敗しました。", {file}));
    gfx.DrawActivate(kFade, intprt.EffectTime());
    if (ok) intprt.Host().Story().AddCGHistory(file);
}

void Wto(clsInterpreter& intprt) {
    SceneChange(intprt, kWipe);
}

void Bto(clsInterpreter& intprt) {
    SceneChange(intprt, kFade);
}

void Mto(clsInterpreter& intprt) {
    GraphicsHost& gfx = Gfx(intprt);
    const std::string& file = intprt.Arg(1);
    const std::string& mask = intprt.Arg(2);
    intprt.Host().CursorVisible(false);
    intprt.TextEnabled(false);
    gfx.DrawDeactivate(kCut, 0);
    gfx.CGHideAll(0);
    intprt.Host().TextWindow().TextPageTurn();
    const bool ok = gfx.BGCenter(file, kDefaultPosition, kDefaultPosition, 1000, true);
    if (!ok) intprt.RuntimeError(TrFormat("通常背景'%s'のロードに失敗しました。", {file}));
    Check(intprt, gfx.LoadBuffMask(mask), TrFormat("マスク'%s'のロードに失敗しました。", {mask}));
    gfx.DrawActivate(kWipe, Duration(intprt, 3));
    if (ok) intprt.Host().Story().AddCGHistory(file);
}

constexpr CommandEntry kGraphicsCommands[] = {
    {"bg", Bg},
    {"bgfill", BgFill},
    {"bglc", BgLc},
    {"bgmv", BgMv},
    {"fc", Fc},
    {"cg", Cg},
    {"cgh", Cgh},
    {"cglc", CgLc},
    {"cglcas", CgLcAs},
    {"cgmv", CgMv},
    {"cgmvas", CgMvAs},
    {"cga", Cga},
    {"cgaas", CgaAs},
    {"cgbc", CgBc},
    {"cgf", Cgf},
    {"cghfas", CghFas},
    {"cgvfas", CgvFas},
    {"cgactclear", CgActClear},
    {"cgactadd", CgActAdd},
    {"cgactstart", CgActStart},
    {"cgactend", CgActEnd},
    {"cgactcomplete", CgActComplete},
    {"dd", Dd},
    {"ddb", Ddb},
    {"ddw", Ddw},
    {"da", Da},
    {"daa", Daa},
    {"dam", Dam},
    {"wto", Wto},
    {"bto", Bto},
    {"mto", Mto},
};

}  // namespace

std::span<const CommandEntry> GraphicsCommands() {
    return kGraphicsCommands;
}

}  // namespace zelk::commands
