// Plays the demo game's scenarios through a real interpreter over the fake
// parts, as a reader who skips: every choice and button in turn, every
// replay entry. Shared by the demo test and the skip-speed benchmark.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "common/process.h"
#include "interpreter/fake_interpreter_host.h"
#include "interpreter/interpreter.h"
#include "scenario/scenario_converter.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk::testing {

class DemoPlayer {
public:
    DemoPlayer() {
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        Process().Debug.ScenarioFileMode = false;
        const std::string game = std::string(ZELK_SOURCE_DIR) + "/games/demo";
        if (!host.systemInfo.Load(game + "/SystemInfo.ini")) {
            throw std::runtime_error("SystemInfo.ini is missing");
        }
        host.sharedData.KeySection("Var").Text(host.systemInfo.KeySection("shared").Text());
        ScenarioConverter converter;
        converter.Init(host.systemInfo);
        for (const auto& entry : std::filesystem::directory_iterator(game + "/scenario")) {
            std::string text;
            if (!ReadTextFile(entry.path().string(), text) || !converter.Assemble(text)) {
                throw std::runtime_error("cannot convert " + entry.path().string());
            }
            host.archive[entry.path().stem().string()] = converter.RegularScript();
        }
        for (const char* folder : {"image", "sound"}) {
            for (const auto& entry : std::filesystem::directory_iterator(game + "/" + folder)) {
                const std::string stem = entry.path().stem().string();
                host.graphics.pictures.insert(stem);
                host.sound.sounds.insert(stem);
            }
        }
        host.debugMode = true;
        host.config["SkipGrpEffect"] = true;
        host.config["SkipAfterSelect"] = true;
        intprt = std::make_unique<clsInterpreter>(host);
        if (!intprt->Init()) throw std::runtime_error("the interpreter does not start");
    }

    // Plays from `entry` until the story leaves for the title or the
    // extras, or the script ends; `pick` chooses among choices and buttons.
    // The number of instructions run.
    long Play(const std::string& entry, std::size_t pick) {
        // A new game starts with the game's own variables fresh.
        host.saveData.KeySection("Var").Text(host.systemInfo.KeySection("var").Text());
        intprt->StepStart();
        host.story.mode = 2;
        const int titles = host.story.titleRestarts;
        if (!intprt->GoLabel(entry)) return 0;
        const std::size_t before = host.executed.size();
        for (int guard = 0; guard < 100000; ++guard) {
            host.skipMode = true;
            intprt->StepNext();
            if (Process().ShutdownRequested || host.story.titleRestarts != titles ||
                host.story.mode == 5) {
                break;
            }
            if (intprt->WaitMode() == kWaitChoice) {
                const auto& choices = host.window.choices;
                const std::string target = choices.at(pick % choices.size()).second;
                host.window.choices.clear();
                host.window.choicesVisible = false;
                intprt->GoSelectedItem(target);
            } else if (intprt->WaitMode() == kWaitSelection) {
                std::vector<std::string> targets;
                for (const auto& rect : host.view.rects)
                    if (rect.enabled && !rect.spec.ClickScript.empty())
                        targets.push_back(rect.spec.ClickScript);
                if (targets.empty()) break;
                host.view.rects.clear();
                intprt->GoSelectedItem(targets[pick % targets.size()]);
            }
        }
        return static_cast<long>(host.executed.size() - before);
    }

    // Every road through the demo: both endings, both buttons, each replay.
    long PlayEverything() {
        long run = Play("main.start", 0);
        run += Play("main.start", 1);
        for (int n = 1; n <= 5; ++n)
            run += Play("replay.rep" + std::to_string(n), 0);
        return run;
    }

    FakeInterpreterHost host;
    std::unique_ptr<clsInterpreter> intprt;
};

}  // namespace zelk::testing
