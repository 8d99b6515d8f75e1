#include "routes_host.h"

#include <algorithm>

#include "common/message_box.h"
#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "game_media.h"
#include "interpreter/interpreter.h"

namespace zelk::tool {

const char* const RoutesHost::kFrozenMessage = "描画停止状態でのクリック待ちは禁止されています。";

namespace {

// Choice slots of the text window.
constexpr std::size_t kChoiceSlots = 5;
// The ending mode and the extras, as the root numbers its modes.
constexpr long kEndingMode = 4;
constexpr long kExtrasMode = 5;

}  // namespace

RoutesHost::RoutesHost(INIFile& systemInfo, const GameMedia& media)
    : mSystemInfo(systemInfo), mMedia(media) {}

// [SECTION] ScenarioHost

std::optional<std::string> RoutesHost::ReadArchiveText(const std::string& key) {
    return mMedia.ArchiveText(key);
}

long RoutesHost::Msg(const std::string&, long buttons) {
    // "Quit?" after an error is answered No: the reader's game goes on.
    return buttons == kMsgYesNo ? kResultNo : kResultOK;
}

void RoutesHost::ScenarioError(const std::string& place, const std::string& message) {
    if (message == kFrozenMessage) return;
    errors.push_back({place, message});
}

// [SECTION] InterpreterHost

void RoutesHost::ProcessPendingEvents() {
    // Called once before every instruction: a step that runs on without a
    // wait is stopped here, as a close would stop it.
    if (--budget < 0) {
        events.cutShort = true;
        Process().ShutdownRequested = true;
    }
}

bool RoutesHost::ConfigBool(const std::string&) {
    return false;
}

bool RoutesHost::CmdExists(const std::string&, long) {
    return false;
}

void RoutesHost::AddCmdHistory(const std::string& script, long address) {
    if (mLastMarks == nullptr || !EqualsNoCase(script, lastScript)) {
        lastScript = ToLowerAscii(script);
        mLastMarks = &executed[lastScript];
    }
    if (address >= 0) {
        const auto at = static_cast<std::size_t>(address);
        if (mLastMarks->size() <= at) mLastMarks->resize(at + 1);
        (*mLastMarks)[at] = true;
    }
    lastAddress = address;
}

// [SECTION] Graphics

bool RoutesHost::DrawDeactivate(long, long) {
    scene.drawActive = false;
    return true;
}

bool RoutesHost::DrawActivate(long, long) {
    scene.drawActive = true;
    scene.frozenTold = false;
    return true;
}

bool RoutesHost::LoadBuffMask(const std::string& sMask) {
    return mMedia.HasPicture(sMask);
}

bool RoutesHost::BGCenter(const std::string& sNewFile, long, long, long, bool) {
    if (!mMedia.HasPicture(sNewFile)) return false;
    scene.background = ToLowerAscii(sNewFile);
    return true;
}

bool RoutesHost::BGFill(long, long) {
    scene.background.clear();
    return true;
}

bool RoutesHost::FaceChange(const std::string&) {
    return true;
}

bool RoutesHost::CGChange(const std::string& sFile, long, long, long, long, long) {
    if (!mMedia.HasPicture(sFile)) return false;
    const std::string cid = clsLumoDriver::CIDOf(sFile);
    scene.characters[cid == "?" ? ToLowerAscii(sFile) : cid] = ToLowerAscii(sFile);
    return true;
}

bool RoutesHost::OnScreen(const std::string& sCID) const {
    const std::string wanted = ToLowerAscii(sCID);
    if (scene.characters.contains(wanted)) return true;
    return std::any_of(scene.characters.begin(), scene.characters.end(),
                       [&](const auto& ch) { return ch.second == wanted; });
}

bool RoutesHost::CGHide(const std::string& sCID, long) {
    const std::string wanted = ToLowerAscii(sCID);
    if (scene.characters.erase(wanted) == 1) return true;
    return std::erase_if(scene.characters, [&](const auto& ch) { return ch.second == wanted; }) > 0;
}

bool RoutesHost::CGHideAll(long) {
    scene.characters.clear();
    return true;
}

bool RoutesHost::CGMove(const std::string& sCID, long, long, bool, long, bool) {
    return OnScreen(sCID);
}

bool RoutesHost::CGAlpha(const std::string& sCID, long, long, bool) {
    return OnScreen(sCID);
}

bool RoutesHost::CGFlip(const std::string& sCID, long, long) {
    return OnScreen(sCID);
}

bool RoutesHost::CGActClear(const std::string& sCID) {
    return OnScreen(sCID);
}

bool RoutesHost::CGActAdd(const std::string& sCID, const std::vector<long>&) {
    return OnScreen(sCID);
}

bool RoutesHost::CGActStart(const std::string& sCID) {
    return OnScreen(sCID);
}

bool RoutesHost::CGActEnd(const std::string& sCID) {
    return OnScreen(sCID);
}

bool RoutesHost::CGActComplete(const std::string& sCID) {
    return OnScreen(sCID);
}

long RoutesHost::GetCharFilmID(const std::string& sCID) {
    if (!OnScreen(sCID)) return -1;
    const auto found = scene.characters.find(ToLowerAscii(sCID));
    return found == scene.characters.end()
               ? 0
               : static_cast<long>(std::distance(scene.characters.begin(), found));
}

// [SECTION] Text window

bool RoutesHost::TextStart(const std::string& sText, bool) {
    if (!sText.empty()) scene.windowText = true;
    return true;
}

// A window type is a section of the reading screen's settings with its
// frame, name plate and state pictures.
bool RoutesHost::ChangeWindowType(long lTypeNumber) {
    const INISection* type =
        mGameMode ? mGameMode->FindSection("wndtype:" + std::to_string(lTypeNumber)) : nullptr;
    if (type == nullptr || type->KeyValue("Frame").empty() || type->KeyValue("NamePlate").empty() ||
        type->KeyValue("State").empty()) {
        return false;
    }
    scene.windowType = lTypeNumber;
    return true;
}

bool RoutesHost::AddChoiceItem(const std::string& sText, const std::string& OnClick) {
    if (scene.filmSet != 2 || scene.choices.size() >= kChoiceSlots) return false;
    scene.choices.push_back({sText, OnClick, lastScript, lastAddress});
    return true;
}

// [SECTION] Sound

bool RoutesHost::PlayBGM(const std::string& file, bool, bool) {
    return mMedia.HasSound(file);
}

bool RoutesHost::PlaySE(const std::string& file, bool) {
    return mMedia.HasSound(file);
}

bool RoutesHost::PlaySELoop(const std::string& file, long, bool) {
    return mMedia.HasSound(file);
}

bool RoutesHost::PlayCV(const std::string& file, bool, long) {
    return mMedia.HasSound(file);
}

// [SECTION] View

long RoutesHost::AddEventRect(const EventRectSpec& rect) {
    scene.areas.push_back({rect, true, lastScript, lastAddress});
    return static_cast<long>(scene.areas.size()) - 1;
}

void RoutesHost::RemoveByTag(const std::string& STag) {
    std::erase_if(scene.areas, [&](const RoutesScene::Area& a) { return a.spec.STag == STag; });
}

void RoutesHost::EnabledByTag(const std::string& STag, bool bNew) {
    for (RoutesScene::Area& area : scene.areas)
        if (area.spec.STag == STag) area.enabled = bNew;
}

// [SECTION] Story

void RoutesHost::ChangeMode(long eMode, long, const std::string& vParam) {
    ++mModeSerial;
    if (eMode == kEndingMode) {
        events.endings.push_back({vParam, lastScript, lastAddress});
        // The staff roll shows its own pictures; it stops drawing again when
        // it hands back to the story (ResumeAfterEnding).
        scene.drawActive = true;
    }
    if (eMode == kExtrasMode) events.exit = RoutesMark{"extras", lastScript, lastAddress};
}

bool RoutesHost::PlayMovie(const std::string& file, long) {
    return mMedia.HasMovie(file);
}

long RoutesHost::LongVal(const std::string& key) {
    return ReadLong(mSystemInfo.KeySection("Config").KeyValue(key));
}

}  // namespace zelk::tool
