// The settings dialog over a configuration of its own: a system file like
// the demo game's, the reader's file in a fresh folder, and records of the
// change events and messages. The screen variant adds an SDL window, a
// renderer and an ImGui host, so Draw runs inside real frames.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/process.h"
#include "common/temp_folder.h"
#include "common/text.h"
#include "platform/imgui_host.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/frm_config.h"

namespace zelk::testing {

inline const char* const kDialogSystemInfo =
    "[Game]\r\n"
    "InvalidFont=Terminal\r\n"
    "[CharConfig]\r\n"
    "ListCount=4\r\n"
    "Item:0=灯里,a01,false\r\n"
    "Item:1= 湊 ,b01, TRUE\r\n"
    "Item:2=千鶴,c01\r\n"
    "Item:3=千鶴の母,d01,false\r\n"
    "MaleCID=b01\r\n"
    "[Config]\r\n"
    "TextSpeed=2\r\n"
    "TextAutoClick=False\r\n"
    "AutoModeWait=1800\r\n"
    "BGMVolume=200\r\n"
    "SEVolume=220\r\n"
    "CVVolume=255\r\n"
    "BGMMute=False\r\n"
    "SEMute=False\r\n"
    "CVMute=False\r\n"
    "WndAlpha=208\r\n"
    "NovelAlpha=176\r\n"
    "CustomCursor=False\r\n"
    "Font=ＭＳ ゴシック\r\n"
    "CustomColor=&hFFFFFF,&hFFC4FF,&hC4FFC4,&hDCDCDC,&hF2C46D,&h3F7FB0,&h1B2A44,&hEFD9A7,"
    "&hC8463C,&h9A86B8,&h8FB8DE,&h5A3328,&hFDF3DE,&h22507A,&hB8863B,&h000000\r\n"
    "OriginalTextColor=True\r\n"
    "MaleVoice=True\r\n"
    "CVPan=False\r\n"
    "SkipStopUnread=True\r\n"
    "SkipGrpEffect=True\r\n"
    "SkipAfterSelect=False\r\n"
    "StartScreenMode=1\r\n"
    "FullMode=False\r\n"
    "StartCenter=True\r\n"
    "Pos=\r\n"
    "DeactivateMute=False\r\n"
    "DeactivateWnd=False\r\n"
    "DXFullScreen=False\r\n"
    "TextShadow=True\r\n"
    "QueryQuickSave=True\r\n"
    "QueryQuickLoad=True\r\n"
    "QueryRestartTitle=True\r\n"
    "QueryExit=True\r\n"
    "QuerySave=True\r\n"
    "QueryLoad=True\r\n"
    "Char:0=True,&hFFC4FF\r\n"
    "Char:1=True,&hC4FFC4\r\n"
    "Char:2=True,&hDCDCDC\r\n"
    "Char:3=False,&h0000FF\r\n";

// Every key the dialog's table edits.
inline const std::vector<std::string> kDialogKeys = {"QueryExit",
                                                     "CustomCursor",
                                                     "DeactivateMute",
                                                     "DeactivateWnd",
                                                     "StartScreenMode",
                                                     "StartCenter",
                                                     "QueryRestartTitle",
                                                     "QueryQuickLoad",
                                                     "QueryQuickSave",
                                                     "QueryLoad",
                                                     "QuerySave",
                                                     "DXFullScreen",
                                                     "WndAlpha",
                                                     "NovelAlpha",
                                                     "SkipStopUnread",
                                                     "SkipGrpEffect",
                                                     "SkipAfterSelect",
                                                     "AutoModeWait",
                                                     "Font",
                                                     "TextShadow",
                                                     "BGMVolume",
                                                     "SEVolume",
                                                     "CVVolume",
                                                     "BGMMute",
                                                     "SEMute",
                                                     "CVMute",
                                                     "CVPan",
                                                     "MaleVoice",
                                                     "OriginalTextColor",
                                                     "Char:0",
                                                     "Char:1",
                                                     "Char:2",
                                                     "Char:3",
                                                     "CustomColor"};

class FrmConfigTest : public ::testing::Test {
protected:
    FrmConfigTest() {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder.Path();
        system.Text(kDialogSystemInfo);
    }
    ~FrmConfigTest() override {
        dialog.reset();
        cfg.reset();
        Process().ResetFolders("");
    }

    std::string UserPath() const { return folder / "config.ini"; }

    // The reader's file before the configuration starts: the defaults with
    // some lines replaced ("Key=value" lines).
    void WriteUserFile(const std::string& text) {
        INIFile file;
        file.Text(text);
        ASSERT_TRUE(WriteIniFile(file, UserPath()));
    }

    std::string UserFileBytes() const {
        std::ifstream in(UserPath(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    INISection UserSection() const {
        INIFile file;
        ReadIniFile(file, UserPath());
        return file.KeySection("Config");
    }

    virtual SDL_Renderer* DialogRenderer() { return nullptr; }

    void Start() {
        Reporter reporter;
        reporter.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        cfg = std::make_unique<Configuration>(reporter);
        ASSERT_TRUE(cfg->Init(system));
        cfg->ChangeSetting = [this](const std::string& key) { events.push_back(key); };
        frmConfigHost host;
        host.SystemInfo = &system;
        host.Renderer = DialogRenderer();
        host.Messages = reporter;
        dialog = std::make_unique<frmConfig>(*cfg, host);
        dialog->LoadData();
        events.clear();
    }

    // One "dialog ..." line without the word "dialog"; "" or the error.
    std::string Cmd(const std::string& line) {
        output.clear();
        return dialog->Command(SplitText(line, " "), output);
    }
    std::string Get(const std::string& control) {
        const std::string error = Cmd("get " + control);
        EXPECT_EQ(error, "") << control;
        EXPECT_EQ(output.size(), 1u) << control;
        if (output.empty()) return "?";
        const std::string prefix = "value " + control + " ";
        EXPECT_EQ(output[0].rfind(prefix, 0), 0u) << output[0];
        return output[0].substr(prefix.size());
    }

    TempFolder folder;
    INIFile system;
    std::unique_ptr<Configuration> cfg;
    std::unique_ptr<frmConfig> dialog;
    std::vector<std::string> events;
    std::vector<std::string> messages;
    std::vector<std::string> output;
};

class FrmConfigScreenTest : public FrmConfigTest {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("zelk", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        ASSERT_NE(renderer, nullptr) << SDL_GetError();
        host = std::make_unique<ImGuiHost>(window, renderer);
    }
    void TearDown() override {
        dialog.reset();
        host.reset();
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Renderer* DialogRenderer() override { return renderer; }

    // One frame over a plain game picture; what Draw answered.
    bool Frame() {
        bool open = false;
        SDL_SetRenderDrawColor(renderer, 40, 60, 90, 255);
        SDL_RenderClear(renderer);
        host->Frame([&] { open = dialog->Draw(); });
        SDL_RenderPresent(renderer);
        return open;
    }
    void Frames(int count) {
        for (int i = 0; i < count; ++i)
            Frame();
    }

    // A key pressed in one frame and released in the next, as ImGui sees
    // keys by their state at each frame's start.
    // ImGui's SDL backend takes the modifiers from SDL's own state, not from
    // the event.
    void Key(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
        SDL_SetModState(static_cast<SDL_Keymod>(mod));
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        event.key.keysym.mod = mod;
        event.key.windowID = SDL_GetWindowID(window);
        host->ProcessEvent(event);
        Frame();
        event.type = SDL_KEYUP;
        host->ProcessEvent(event);
        Frame();
        SDL_SetModState(KMOD_NONE);
    }

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<ImGuiHost> host;
};

}  // namespace zelk::testing
