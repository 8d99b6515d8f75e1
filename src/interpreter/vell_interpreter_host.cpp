#include "interpreter/vell_interpreter_host.h"

#include <SDL.h>

#include "app/launch.h"
#include "app/vell.h"
#include "drivers/lumo_driver.h"
#include "drivers/quor_driver.h"
#include "interpreter/page_log.h"
#include "modes/save_data.h"
#include "platform/event_pump.h"
#include "scenario/shared_data.h"
#include "settings/configuration.h"

namespace zelk {

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

// [SECTION] Window and input

bool VellInterpreterHost::CtrlSkipHeld() {
    // Keyboard focus is SDL's word for "the game window is the active one".
    return (SDL_GetModState() & KMOD_CTRL) != 0 && SDL_GetKeyboardFocus() != nullptr;
}

void VellInterpreterHost::ProcessPendingEvents() {
    zelk::ProcessPendingEvents();
}

// The game view joins here when it is built: EventEnabled, MenuEnableByText.
void VellInterpreterHost::EventEnabled(bool) {}
void VellInterpreterHost::MenuEnableByText(const std::string&) {}

// [SECTION] Root and mode

bool VellInterpreterHost::IsSkipMode() {
    return mParts.root != nullptr && mParts.root->IsSkipMode();
}

void VellInterpreterHost::IsSkipMode(bool skip) {
    if (mParts.root != nullptr) mParts.root->IsSkipMode(skip);
}

// The mode object's IsReplayMode joins here with the game mode.
bool VellInterpreterHost::IsReplayMode() {
    return false;
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

}  // namespace zelk
