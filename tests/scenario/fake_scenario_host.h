// A player without a window: the system file, the two variable documents
// and the archive are plain values, and message boxes are recorded.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "scenario/scenario_host.h"
#include "settings/ini_file.h"

namespace zelk::testing {

class FakeScenarioHost : public ScenarioHost {
public:
    FakeScenarioHost() {
        systemInfo.Text("[TextBlock]\r\nCharCount=20\r\nLineCount=3\r\n[const]\r\n");
    }

    INIFile* SystemInfo() override { return &systemInfo; }
    INISection* GameVariables() override { return &saveData.KeySection("Var"); }
    INISection* SharedVariables() override { return &sharedData.KeySection("Var"); }

    std::optional<std::string> ReadArchiveText(const std::string& key) override {
        ++archiveReads;
        const auto found = archive.find(key);
        if (found == archive.end()) return std::nullopt;
        return found->second;
    }

    long Msg(const std::string& prompt, long buttons) override {
        messages.push_back(prompt);
        if (answers.empty()) return buttons == 0 ? 1 : 7;
        const long answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    bool IsDebugMode() override { return debugMode; }
    void ScenarioError(const std::string& place, const std::string& message) override {
        scenarioErrors.push_back(place + ": " + message);
    }

    INIFile systemInfo;
    INIFile saveData;
    INIFile sharedData;
    std::map<std::string, std::string> archive;
    int archiveReads = 0;
    std::vector<std::string> messages;
    // What ScenarioError reported, "place: message".
    std::vector<std::string> scenarioErrors;
    // Scripted answers to questions, first first; with none left, OK or No.
    std::vector<long> answers;
    bool debugMode = false;
};

}  // namespace zelk::testing
