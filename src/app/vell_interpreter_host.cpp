#include "app/vell_interpreter_host.h"

#include <SDL.h>

#include <any>
#include <chrono>

#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "drivers/lumo_driver.h"
#include "drivers/quor_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/page_log.h"
#include "modes/mode.h"
#include "modes/save_data.h"
#include "platform/event_pump.h"
#include "scenario/shared_data.h"
#include "settings/configuration.h"
#include "view/game_view.h"
#include "view/reader_aids.h"

namespace zelk {

namespace {

// The current mode's game members; null in any other mode or without a root.
GameModeMembers* GameModeOf(clsVell* root) {
    clsModeBase* mode = root == nullptr ? nullptr : root->ModeObject();
    return mode == nullptr ? nullptr : mode->GameMembers();
}

clsGameView* ViewOf(clsVell* root) {
    return root == nullptr ? nullptr : root->GameView();
}
}  // namespace

// [SECTION] ScenarioHost

INIFile* VellInterpreterHost::SystemInfo() {
    return mParts.root == nullptr ? nullptr : mParts.root->SystemInfo();
}

INISection* VellInterpreterHost::GameVariables() {
    return mParts.saveData == nullptr ? nullptr : &mParts.saveData->Var();
}

INISection* VellInterpreterHost::SharedVariables() {
    return mParts.sharedData == nullptr ? nullptr : &mParts.sharedData->Var();
}

std::optional<std::string> VellInterpreterHost::ReadArchiveText(const std::string& key) {
    if (mParts.quor == nullptr) return std::nullopt;
    const std::int32_t id = mParts.quor->FileKeyToID(key);
    std::string text;
    if (id < 0 || !mParts.quor->LoadTextFile(id, text)) return std::nullopt;
    return text;
}

long VellInterpreterHost::Msg(const std::string& prompt, long buttons) {
    return Launch() == nullptr ? kResultOK : Launch()->Msg(prompt, buttons);
}

bool VellInterpreterHost::IsDebugMode() {
    return Launch() != nullptr && Launch()->IsDebugMode();
}

void VellInterpreterHost::ScenarioError(const std::string& place, const std::string& message) {
    if (!IsDebugMode()) return;
    const std::string note = place + ": " + message;
    Log(note);
    SaveLog();
    if (clsGameView* view = ViewOf(mParts.root)) view->ScenarioError(note);
}

// [SECTION] Window and input

bool VellInterpreterHost::CtrlSkipHeld() {
    clsGameView* view = ViewOf(mParts.root);
    return view != nullptr && view->CtrlHeld();
}

void VellInterpreterHost::ProcessPendingEvents() {
    zelk::ProcessPendingEvents();
}

void VellInterpreterHost::EventEnabled(bool enabled) {
    if (clsGameView* view = ViewOf(mParts.root)) view->EventEnabled(enabled);
}

void VellInterpreterHost::MenuEnableByText(const std::string& items) {
    if (clsGameView* view = ViewOf(mParts.root)) view->MenuEnableByText(items);
}

// [SECTION] Root and mode

bool VellInterpreterHost::IsSkipMode() {
    return mParts.root != nullptr && mParts.root->IsSkipMode();
}

void VellInterpreterHost::IsSkipMode(bool skip) {
    if (mParts.root != nullptr) mParts.root->IsSkipMode(skip);
}

long VellInterpreterHost::ModeSerial() {
    return mParts.root == nullptr ? 0 : mParts.root->ModeSerial();
}

bool VellInterpreterHost::IsReplayMode() {
    const GameModeMembers* game = GameModeOf(mParts.root);
    return game != nullptr && game->IsReplayMode();
}

void VellInterpreterHost::MakeAutoClickTimer(long milliseconds) {
    if (mParts.root != nullptr) mParts.root->MakeAutoClickTimer(milliseconds, 1, -1);
}

bool VellInterpreterHost::ConfigBool(const std::string& key) {
    return mParts.cfg != nullptr && mParts.cfg->BoolVal(key);
}

void VellInterpreterHost::CloseVell() {
    if (Launch() != nullptr) Launch()->CloseVell();
}

bool VellInterpreterHost::CmdExists(const std::string& script, long address) {
    return mParts.sharedData != nullptr && mParts.sharedData->CmdExists(script, address);
}

void VellInterpreterHost::AddCmdHistory(const std::string& script, long address) {
    if (mParts.sharedData != nullptr) mParts.sharedData->AddCmdHistory(script, address);
}

// [SECTION] Graphics driver
// Without a root or its driver the scene counts as live, as an idle player's.

namespace {
clsLumoDriver* LumoOf(clsVell* root) {
    return root == nullptr ? nullptr : root->Lumo();
}
}  // namespace

bool VellInterpreterHost::DrawActivity() {
    clsLumoDriver* lumo = LumoOf(mParts.root);
    return lumo == nullptr || lumo->DrawActivity();
}
void VellInterpreterHost::CursorVisible(bool visible) {
    if (clsLumoDriver* lumo = LumoOf(mParts.root)) lumo->CursorVisible(visible);
}
void VellInterpreterHost::TextVisible(bool visible) {
    if (clsLumoDriver* lumo = LumoOf(mParts.root)) lumo->TextVisible(visible);
}

// [SECTION] Save data and log

INISection* VellInterpreterHost::IntprtStatus() {
    return mParts.saveData == nullptr ? nullptr : &mParts.saveData->IntprtStatus();
}

void VellInterpreterHost::Log(const std::string& line) {
    if (Launch() != nullptr) Launch()->Log().PutMsg(line);
}

void VellInterpreterHost::SaveLog() {
    if (Launch() != nullptr) Launch()->Log().Save();
}

void VellInterpreterHost::ClearScenarioError() {
    if (clsGameView* view = ViewOf(mParts.root)) view->ClearScenarioError();
}

// [SECTION] Commands' parts

// [SECTION] GraphicsHost
// Without the driver every scene command fails, and the command reports it.

#define ZELK_LUMO_OR(fallback)                 \
    clsLumoDriver* lumo = LumoOf(mParts.root); \
    if (lumo == nullptr) return fallback

bool VellInterpreterHost::DrawDeactivate(long eMethod, long time) {
    ZELK_LUMO_OR(false);
    return lumo->DrawDeactivate(eMethod, time);
}

bool VellInterpreterHost::DrawActivate(long eMethod, long time) {
    ZELK_LUMO_OR(false);
    return lumo->DrawActivate(eMethod, time);
}

bool VellInterpreterHost::LoadBuffMask(const std::string& sMask) {
    ZELK_LUMO_OR(false);
    return lumo->LoadBuffMask(sMask);
}

bool VellInterpreterHost::BGCenter(const std::string& sNewFile, long xPos, long yPos, long time,
                                   bool bAbsolute) {
    ZELK_LUMO_OR(false);
    return lumo->BGCenter(sNewFile, xPos, yPos, time, bAbsolute);
}

bool VellInterpreterHost::BGFill(long lColor, long time) {
    ZELK_LUMO_OR(false);
    return lumo->BGFill(lColor, time);
}

bool VellInterpreterHost::BGMove(long xPos, long yPos, long time, bool bAbsolute) {
    ZELK_LUMO_OR(false);
    return lumo->BGMove(xPos, yPos, time, bAbsolute);
}

std::string VellInterpreterHost::BGName() {
    ZELK_LUMO_OR({});
    return lumo->BGName();
}

bool VellInterpreterHost::FaceChange(const std::string& sFaceFile) {
    ZELK_LUMO_OR(false);
    return lumo->FaceChange(sFaceFile);
}

long VellInterpreterHost::CharBlendColor() {
    ZELK_LUMO_OR(0);
    return lumo->CharBlendColor();
}

void VellInterpreterHost::CharBlendColor(long color) {
    ZELK_LUMO_OR();
    lumo->CharBlendColor(color);
}

bool VellInterpreterHost::CGChange(const std::string& sFile, long xPos, long yPos, long width,
                                   long height, long time) {
    ZELK_LUMO_OR(false);
    return lumo->CGChange(sFile, xPos, yPos, width, height, time);
}

bool VellInterpreterHost::CGHide(const std::string& sCID, long time) {
    ZELK_LUMO_OR(false);
    return lumo->CGHide(sCID, time);
}

bool VellInterpreterHost::CGHideAll(long time) {
    ZELK_LUMO_OR(false);
    return lumo->CGHideAll(time);
}

bool VellInterpreterHost::CGMove(const std::string& sCID, long xPos, long yPos, bool bAbsolute,
                                 long time, bool bSync) {
    ZELK_LUMO_OR(false);
    return lumo->CGMove(sCID, xPos, yPos, bAbsolute, time, bSync);
}

bool VellInterpreterHost::CGAlpha(const std::string& sCID, long lAlpha, long time, bool bSync) {
    ZELK_LUMO_OR(false);
    return lumo->CGAlpha(sCID, lAlpha, time, bSync);
}

bool VellInterpreterHost::CGFlip(const std::string& sCID, long cellX, long cellY) {
    ZELK_LUMO_OR(false);
    return lumo->CGFlip(sCID, cellX, cellY);
}

bool VellInterpreterHost::CGActClear(const std::string& sCID) {
    ZELK_LUMO_OR(false);
    return lumo->CGActClear(sCID);
}

bool VellInterpreterHost::CGActAdd(const std::string& sCID, const std::vector<long>& words) {
    ZELK_LUMO_OR(false);
    std::vector<std::string> texts;
    texts.reserve(words.size());
    for (long word : words)
        texts.push_back(std::to_string(word));
    return lumo->CGActAdd(sCID, texts);
}

bool VellInterpreterHost::CGActStart(const std::string& sCID) {
    ZELK_LUMO_OR(false);
    return lumo->CGActStart(sCID);
}

bool VellInterpreterHost::CGActEnd(const std::string& sCID) {
    ZELK_LUMO_OR(false);
    return lumo->CGActEnd(sCID);
}

bool VellInterpreterHost::CGActComplete(const std::string& sCID) {
    ZELK_LUMO_OR(false);
    return lumo->CGActComplete(sCID);
}

long VellInterpreterHost::GetCharXPos(const std::string& sCID) {
    ZELK_LUMO_OR(320);
    return lumo->GetCharXPos(sCID);
}

long VellInterpreterHost::GetCharFilmID(const std::string& sCID) {
    ZELK_LUMO_OR(-1);
    return lumo->GetCharFilmID(sCID);
}

// [SECTION] TextWindowHost

long VellInterpreterHost::BaseFilmSet() {
    ZELK_LUMO_OR(2);
    return lumo->BaseFilmSet();
}

void VellInterpreterHost::BaseFilmSet(long eNew) {
    ZELK_LUMO_OR();
    lumo->BaseFilmSet(eNew);
}

bool VellInterpreterHost::TextStart(const std::string& sText, bool bWait) {
    ZELK_LUMO_OR(false);
    return lumo->TextStart(sText, bWait);
}

void VellInterpreterHost::TextPageTurn() {
    ZELK_LUMO_OR();
    lumo->TextPageTurn();
}

std::string VellInterpreterHost::CurrentText() {
    ZELK_LUMO_OR({});
    return lumo->CurrentText();
}

bool VellInterpreterHost::EngineReadsUtf8() {
    ZELK_LUMO_OR(false);
    return lumo->Encoding().IsUtf8();
}

void VellInterpreterHost::TextSpeedSetting(long lSpeed) {
    ZELK_LUMO_OR();
    lumo->TextSpeedSetting(lSpeed);
}

void VellInterpreterHost::WindowNameFlip(long n) {
    ZELK_LUMO_OR();
    lumo->WindowNameFlip(n);
}

bool VellInterpreterHost::ChangeWindowType(long lTypeNumber) {
    ZELK_LUMO_OR(false);
    return lumo->ChangeWindowType(lTypeNumber);
}

void VellInterpreterHost::WaitCancelEnabled(bool enabled) {
    ZELK_LUMO_OR();
    lumo->WaitCancelEnabled(enabled);
}

bool VellInterpreterHost::AddChoiceItem(const std::string& sText, const std::string& OnClick) {
    ZELK_LUMO_OR(false);
    return lumo->AddChoiceItem(sText, OnClick);
}

long VellInterpreterHost::ChoiceCount() {
    ZELK_LUMO_OR(0);
    return lumo->ChoiceCount();
}

void VellInterpreterHost::ChoiceArrange() {
    ZELK_LUMO_OR();
    lumo->ChoiceArrange();
}

void VellInterpreterHost::ChoiceVisible(bool bNew) {
    ZELK_LUMO_OR();
    lumo->ChoiceVisible(bNew);
}

#undef ZELK_LUMO_OR

// [SECTION] SoundHost
// Without the sound driver (a machine with no sound device) the game runs
// silent: starts report success, as a silent channel would.

namespace {
clsWavoDriver* WavoOf(clsVell* root) {
    return root == nullptr ? nullptr : root->Wavo();
}
}  // namespace

bool VellInterpreterHost::PlayBGM(const std::string& file, bool sync, bool loop) {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->PlayBGM(file, sync, loop);
}

bool VellInterpreterHost::StopBGM(bool sync) {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->StopBGM(sync);
}

bool VellInterpreterHost::PlaySE(const std::string& file, bool sync) {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->PlaySE(file, sync);
}

bool VellInterpreterHost::StopSE() {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->StopSE();
}

bool VellInterpreterHost::PlaySELoop(const std::string& file, long count, bool sync) {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->PlaySELoop(file, count, sync);
}

bool VellInterpreterHost::StopSELoop() {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->StopSELoop();
}

bool VellInterpreterHost::PlayCV(const std::string& file, bool sync, long pan) {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->PlayCV(file, sync, pan);
}

bool VellInterpreterHost::StopCV() {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr || wavo->StopCV();
}

bool VellInterpreterHost::IsPlayingCV() {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo != nullptr && wavo->IsPlayingCV();
}

void VellInterpreterHost::BGMVolumeRate(long rate) {
    if (clsWavoDriver* wavo = WavoOf(mParts.root)) wavo->BGMVolumeRate(rate);
}

long VellInterpreterHost::SOLength() {
    clsWavoDriver* wavo = WavoOf(mParts.root);
    return wavo == nullptr ? 0 : wavo->SOLength();
}

void VellInterpreterHost::SOLength(long milliseconds) {
    if (clsWavoDriver* wavo = WavoOf(mParts.root)) wavo->SOLength(milliseconds);
}

// [SECTION] ViewHost

void VellInterpreterHost::SiteName(const std::string& name) {
    if (clsGameView* view = ViewOf(mParts.root)) view->SiteName(name);
}

void VellInterpreterHost::SelectionClear() {
    if (clsGameView* view = ViewOf(mParts.root)) view->SelectionClear();
}

long VellInterpreterHost::AddEventRect(const EventRectSpec& spec) {
    clsGameView* view = ViewOf(mParts.root);
    if (view == nullptr) return -1;
    clsEventRect& rect = view->EvRects().Add(spec.lTag, spec.STag);
    rect.RectType = spec.RectType;
    if (spec.FilmID != -1) {
        rect.FitFilm(spec.FilmID);
    } else {
        rect.x1 = spec.x1;
        rect.y1 = spec.y1;
        rect.x2 = spec.x2;
        rect.y2 = spec.y2;
    }
    rect.TargetCID = spec.TargetCID;
    rect.ClickScript = spec.ClickScript;
    rect.PointScript = spec.PointScript;
    return rect.Index;
}

void VellInterpreterHost::RemoveByTag(const std::string& STag) {
    if (clsGameView* view = ViewOf(mParts.root)) view->EvRects().RemoveByTag(STag);
}

void VellInterpreterHost::EnabledByTag(const std::string& STag, bool bNew) {
    if (clsGameView* view = ViewOf(mParts.root)) view->EvRects().EnabledByTag(STag, bNew);
}

// [SECTION] StoryHost

void VellInterpreterHost::ChangeMode(long eMode, long eSub, const std::string& vParam) {
    if (mParts.root != nullptr) mParts.root->ChangeMode(eMode, eSub, std::any(vParam));
}

bool VellInterpreterHost::PlayMovie(const std::string& file, long eMovieCancel) {
    return mParts.root != nullptr && mParts.root->PlayMovie(file, eMovieCancel);
}

void VellInterpreterHost::RestartTitle() {
    if (Launch() != nullptr) Launch()->RestartTitle();
}

// Outside the game mode nothing hides the text films.
bool VellInterpreterHost::TextFilmsVisible() {
    const GameModeMembers* game = GameModeOf(mParts.root);
    return game == nullptr || game->TextFilmsVisible();
}

void VellInterpreterHost::WaitTimed(long milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!Process().ShutdownRequested && !Process().StatusRestored) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        EventPump::Instance().WaitAndProcess(left);
    }
}

long VellInterpreterHost::LongVal(const std::string& key) {
    return mParts.cfg == nullptr ? 0 : mParts.cfg->LongVal(key);
}

long VellInterpreterHost::GetIndexByCID(const std::string& cid) {
    return mParts.cfg == nullptr ? -1 : mParts.cfg->GetIndexByCID(cid);
}

long VellInterpreterHost::CharColor(long index) {
    return mParts.cfg == nullptr ? 0 : mParts.cfg->CharColor(index);
}

bool VellInterpreterHost::CharVoiceEnabled(long index) {
    return mParts.cfg != nullptr && mParts.cfg->CharVoiceEnabled(index);
}

bool VellInterpreterHost::CharIsMale(const std::string& cid) {
    return mParts.cfg != nullptr && mParts.cfg->CharIsMale(cid);
}

bool VellInterpreterHost::AddHistory(const std::string& scenario, long number) {
    return mParts.saveData != nullptr && mParts.saveData->AddHistory(scenario, number);
}

void VellInterpreterHost::PageShown(const std::string& text, long voiceMs) {
    if (ReaderAids* aids = mParts.root ? mParts.root->Aids() : nullptr) aids->Page(text, voiceMs);
}

void VellInterpreterHost::ChoicesShown(const std::string& items) {
    if (ReaderAids* aids = mParts.root ? mParts.root->Aids() : nullptr) aids->Choices(items);
}

void VellInterpreterHost::AddCGHistory(const std::string& cGName) {
    if (mParts.sharedData != nullptr) mParts.sharedData->AddCGHistory(cGName);
}

}  // namespace zelk
