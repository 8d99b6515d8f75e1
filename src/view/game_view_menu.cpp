// The game view's menus: the bar, the commands of its items, and the two
// windows they open over the game (the settings and the about box).
#include <imgui.h>

#include <algorithm>
#include <iterator>

#include "common/process.h"
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "interpreter/interpreter.h"
#include "platform/display_order.h"
#include "platform/event_pump.h"
#include "platform/imgui_host.h"
#include "platform/translate.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "view/frm_about.h"
#include "view/frm_config.h"
#include "view/game_view.h"
#include "view/game_view_impl.h"
#include "view/player_root.h"
#include "view/reader_aids.h"

namespace zelk {

namespace {

constexpr long kYesNo = 4;
constexpr long kYes = 6;

const char* const kSpeedNames[] = {"fast", "semifast", "normal", "semislow", "slow"};

}  // namespace

ViewMenuItem* clsGameView::MenuItem(const std::string& sName) {
    return mImpl->menus.Item(sName);
}

const ViewMenus& clsGameView::Menus() const {
    return mImpl->menus;
}

void clsGameView::MenuEnableByText(const std::string& sList) {
    for (const char* tag : {"file!saveload", "file!qsave", "file!qload", "file!title",
                            "message!skip", "message!auto", "message!log", "message!back"}) {
        if (ViewMenuItem* item = MenuItem(tag)) item->Enabled = false;
    }
    for (const std::string& name : SplitText(sList, ",")) {
        if (ViewMenuItem* item = MenuItem(TrimChars(name, " \t"))) item->Enabled = true;
    }
}

void clsGameView::UpdateReaderItems() {
    ReaderAids* aids = mRoot.Aids();
    if (ViewMenuItem* item = MenuItem("message!clipboard")) {
        item->Checked = aids && aids->ClipboardOn();
    }
    if (ViewMenuItem* item = MenuItem("message!voice")) {
        const bool available = aids && aids->VoiceAvailable();
        item->Enabled = available;
        item->Checked = aids && aids->VoiceOn();
        item->Tooltip = available || !aids ? std::string() : aids->VoiceProblem();
    }
}

void clsGameView::ToggleReaderAid(const char* key) {
    Configuration* cfg = mRoot.Cfg();
    if (cfg == nullptr) return;
    cfg->BoolVal(key, !cfg->BoolVal(key));
    UpdateReaderItems();
    ReaderAids* aids = mRoot.Aids();
    // Turned off, it stops talking at once; turned on, it says so.
    if (aids && key == std::string(kSelfVoicingKey)) {
        aids->Announce(aids->VoiceOn() ? Tr("読み上げ") : std::string());
        if (!aids->VoiceOn()) aids->Silence();
    }
}

void clsGameView::SaveMenuStatus() {
    mImpl->savedMenus = mImpl->menus.SaveStatus();
}

void clsGameView::LoadMenuStatus() {
    mImpl->menus.LoadStatus(mImpl->savedMenus);
}

void clsGameView::ChooseMenu(const std::string& tag) {
    const size_t bang = tag.find('!');
    if (bang == std::string::npos) return;
    MenuCmd(tag.substr(0, bang), tag.substr(bang + 1));
}

void clsGameView::MenuCmd(const std::string& sSec, const std::string& sCmd) {
    Configuration* cfg = mRoot.Cfg();
    auto query = [cfg](const char* key) { return cfg && cfg->BoolVal(key); };

    if (sSec == "file") {
        if (sCmd == "saveload") {
            INIFile* info = mRoot.GamemodeInfo();
            const INISection* base = info ? &info->KeySection("Base") : nullptr;
            if (base && ReadBool(base->KeyValue("SaveMenuEnabled"))) {
                mRoot.SDMakeData();
                mRoot.ChangeMode(3, 13);
            } else if (base) {
                mRoot.Msg(base->KeyValue("SaveMenuAlarmMessage"));
            }
        } else if (sCmd == "qsave") {
            mRoot.QuickSave(query("QueryQuickSave"));
        } else if (sCmd == "qload") {
            mRoot.QuickLoad(mRoot.VellMode() != 1 && query("QueryQuickLoad"));
        } else if (sCmd == "title") {
            if (query("QueryRestartTitle") &&
                mRoot.Msg(Tr("タイトルにもどりますか。"), kYesNo) != kYes) {
                return;
            }
            EventEnabled(false);
            mRoot.RestartTitle();
        } else if (sCmd == "exit") {
            if (query("QueryExit") && mRoot.Msg(Tr("ゲームを終了しますか。"), kYesNo) != kYes)
                return;
            mRoot.CloseVell();
        }
    } else if (sSec == "screen") {
        if (sCmd == "window") ScreenMode(kScreenWindow);
        if (sCmd == "full" && Process().FullScreenAvailable) ScreenMode(kScreenFull);
    } else if (sSec == "property") {
        OpenConfig(sCmd);
    } else if (sSec == "help") {
        ShowAbout();
    } else if (sSec == "message") {
        const auto speed = std::find(std::begin(kSpeedNames), std::end(kSpeedNames), sCmd);
        const bool isSpeed = speed != std::end(kSpeedNames);
        if ((isSpeed || sCmd == "auto") && cfg) {
            // A new speed keeps the auto click as it is; "auto" toggles it.
            if (isSpeed) cfg->LongVal("TextSpeed", speed - std::begin(kSpeedNames));
            const bool autoClick = cfg->BoolVal("TextAutoClick");
            cfg->BoolVal("TextAutoClick", isSpeed ? autoClick : !autoClick);
            cfg->RaiseChangeEvent("TextSpeed,TextAutoClick");
            // The wait under way counts at the new pace, and the window's
            // state picture follows.
            if (mAutoClickEnabled) {
                clsInterpreter* intprt = mRoot.Intprt();
                mRoot.MakeAutoClickTimer(intprt ? intprt->LastAutoClickTimer() : 0, kCmdClick);
            }
            if (clsLumoDriver* lumo = mRoot.Lumo()) lumo->UpdateWindowMode();
        } else if (sCmd == "skip") {
            mRoot.IsSkipMode(!mRoot.IsSkipMode());
            mRoot.MakeAutoClickTimer(1, kCmdClick);
        } else if (sCmd == "log" && mRoot.VellMode() == 2) {
            mRoot.ModeLogStart();
        } else if (sCmd == "back") {
            RaiseScreenCmd(kCmdPageBack, nullptr);
        } else if ((sCmd == "clipboard" || sCmd == "voice") && cfg) {
            ToggleReaderAid(sCmd == "voice" ? kSelfVoicingKey : kTextToClipboardKey);
        }
    }
}

// Both windows over the game stop the system timer and the focus sense
// while they are open, so that neither a start nor a deactivation runs
// behind the reader's back.
void clsGameView::OpenConfig(const std::string& page) {
    Configuration* cfg = mRoot.Cfg();
    if (!cfg || !mImpl->window || mImpl->config) return;
    const bool sense = mDeactivateSense;
    mDeactivateSense = false;
    frmConfigHost host;
    host.SystemInfo = mRoot.SystemInfo();
    host.Renderer = mImpl->window->Renderer();
    host.Messages = Reporter{[this](const std::string& text) { mRoot.Msg(text); },
                             [this](const std::string& text) { mRoot.Log(text); }};
    mImpl->config = std::make_unique<frmConfig>(*cfg, std::move(host));
    mImpl->config->LoadData();
    mImpl->config->SetView(page);
    // The game's names, in whatever script it is written.
    std::string shown;
    for (const ConfigCharacter& character : mImpl->config->Controls().Characters)
        shown += character.Name;
    for (const std::string& face : mImpl->config->Controls().cmbGrpFontList)
        shown += face;
    RunModal([this] { return mImpl->config->Draw(); }, shown + mImpl->config->Controls().FontText);
    // Ended by the program's end rather than by a button, the dialog had
    // neither OK nor Cancel: what it only previewed goes back, so that the
    // reader's settings are written by OK alone.
    if (mImpl->config->IsOpen()) mImpl->config->ClickCancel();
    mImpl->config.reset();
    cfg->Save();
    mDeactivateSense = sense;
}

bool clsGameView::MenusShown() const {
    return mImpl->menuShown;
}

frmConfig* clsGameView::ConfigDialog() const {
    return mImpl->config.get();
}

void clsGameView::ShowAbout() {
    if (!mImpl->window) return;
    const bool sense = mDeactivateSense;
    mDeactivateSense = false;
    const std::vector<std::string> lines = AboutLines(mRoot.SystemInfo());
    bool first = true;
    const char* const title = Tr("バージョン情報");
    std::string shown;
    for (const std::string& line : lines)
        shown += line;
    RunModal(
        [&] {
            bool open = true;
            if (first) ImGui::OpenPopup(title);
            first = false;
            const ImVec2 centre = ImGui::GetMainViewport()->GetCenter();
            ImGui::SetNextWindowPos(centre, ImGuiCond_Always, ImVec2(0.5f, 0.5f));
            if (ImGui::BeginPopupModal(
                    title, nullptr,
                    ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings)) {
                for (const std::string& line : lines)
                    ImGui::TextUnformatted(DisplayOrder(line).c_str());
                ImGui::Spacing();
                if (ImGui::Button("OK", ImVec2(120, 0)) ||
                    ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) ||
                    ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter)) ||
                    ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape))) {
                    ImGui::CloseCurrentPopup();
                    open = false;
                }
                ImGui::EndPopup();
            } else {
                open = false;
            }
            return open;
        },
        shown);
    mDeactivateSense = sense;
}

void clsGameView::DrawOverlay() {
    Impl& impl = *mImpl;
    const bool bar = mScreenMode == kScreenWindow || impl.menuShown;
    if (bar && impl.modals.empty()) {
        const std::string chosen = impl.menus.DrawBar();
        if (!chosen.empty()) impl.chosenMenu = chosen;
    } else if (bar) {
        impl.menus.DrawBar();
    }
    for (auto& modal : impl.modals)
        modal();
    // A menu that closed (an item chosen, a click elsewhere) leaves the bar
    // to the pointer again: below the band it hides, as a move there would.
    const bool open = impl.window && impl.window->Gui().PopupOpen();
    const bool closed = impl.popupWasOpen && !open;
    impl.popupWasOpen = open;
    if (closed && mScreenMode == kScreenFull && impl.pointerWindowY > kMenuHideAbove) {
        impl.menuShown = false;
    }
}

}  // namespace zelk
