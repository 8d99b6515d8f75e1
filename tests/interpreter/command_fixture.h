// A real interpreter over the fake parts, with the demo game's instruction
// table, so that command tests run scenarios as the game writes them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/process.h"
#include "interpreter/fake_interpreter_host.h"
#include "interpreter/interpreter.h"
#include "settings/ini_file.h"

namespace zelk::testing {

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        Process().Debug.ScenarioFileMode = false;
        Process().ScreenSizeX = 640;
        Process().ScreenSizeY = 480;
        Process().ScriptScaleX = 640;
        Process().ScriptScaleY = 480;
        Process().MovieDir = "/game/movie";
        INIFile demo;
        ASSERT_TRUE(demo.Load(std::string(ZELK_SOURCE_DIR) + "/games/demo/SystemInfo.ini"));
        host.systemInfo.KeySection("Instruction").Text(demo.KeySection("Instruction").Text());
        host.systemInfo.KeySection("Game").Text(
            "WindowBlockPrefix=　\r\nNovelBlockPrefix=\r\nChoicePrefix=・\r\n");
        host.systemInfo.KeySection("Nameplate").Text("Item:1=湊\r\n");
        host.debugMode = true;
        for (const char* picture : {"bg_beach", "bg_street", "st_a01_normal", "st_b01_normal",
                                    "rule_wave", "fa_a01_smile"})
            host.graphics.pictures.insert(picture);
        for (const char* sound : {"bgm_day", "se_wave", "se_waves", "a01_001", "b01_001"})
            host.sound.sounds.insert(sound);
        host.story.longs["TextSpeed"] = 2;
        host.story.longs["AutoModeWait"] = 1000;
    }
    void TearDown() override {
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        Process().ScriptScaleX = 640;
        Process().ScriptScaleY = 480;
    }

    // Runs the scenario from its first instruction up to its first wait.
    // Loaded scripts stay cached, so each run gets a name of its own: "t",
    // then "t2", "t3"...
    void Run(const std::string& source) {
        const std::string name = ++mRuns == 1 ? "t" : "t" + std::to_string(mRuns);
        host.AddScript(name, source);
        ASSERT_TRUE(intprt.Init());
        intprt.StepStart();
        ASSERT_TRUE(intprt.GoLabel(name + ".0"));
        intprt.StepNext();
    }

    bool Reported(const std::string& message) const {
        return std::find(host.messages.begin(), host.messages.end(), message) !=
               host.messages.end();
    }

    FakeInterpreterHost host;
    clsInterpreter intprt{host};

private:
    int mRuns = 0;
};

}  // namespace zelk::testing
