// The checks of `zelk-tool check`: everything the player would drop or
// refuse in a game's scenarios, found before the game runs. Each finding
// names its place as a compiler does, says what is wrong and how to mend it.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "game_media.h"
#include "interpreter/instruction_table.h"
#include "scenario/scenario_converter.h"
#include "scenario/script.h"
#include "settings/ini_file.h"

namespace zelk::tool {

struct Finding {
    std::string place;  // "scenario/s01.txt:42", "s01 第43要素", "SystemInfo.ini"
    bool error = true;  // else a warning
    std::string text;   // what is wrong; how to mend it
};

class GameCheck {
public:
    // `shownFolder` is the game folder as the author named it; places are
    // given below it.
    GameCheck(std::unique_ptr<INIFile> systemInfo, GameMedia& media, std::string shownFolder);
    ~GameCheck();

    // False, with a message, when the game's settings cannot convert any
    // scenario.
    bool Init(std::string& error);

    // Checks every scenario of the game: the loose files of scenario/ while
    // the game reads them, else those in the archives that the game can
    // reach from its entry points.
    void Run();

    const std::vector<Finding>& Findings() const { return mFindings; }
    int ScenarioCount() const { return static_cast<int>(mOrder.size()); }
    int Errors() const;
    int Warnings() const;

private:
    struct Scenario;
    class Host;

    // The scenario of that name, loaded and converted once; null when the
    // game has none.
    Scenario* Find(const std::string& name);
    Scenario* Load(const std::string& name);
    void CheckScenario(Scenario& scenario);
    void CheckInstruction(Scenario& scenario, int address);
    void CheckUnknownWord(Scenario& scenario, int address, const std::string& word);
    void CheckArgument(Scenario& scenario, int address, const std::vector<std::string>& args,
                       std::size_t n);
    void CheckLabel(Scenario& scenario, int address, const std::string& expression);
    // A warning for a background picture smaller than the screen.
    void CheckBackgroundSize(Scenario& scenario, int address, const std::string& name);
    void CheckExpression(Scenario& scenario, int address, const std::string& expression);
    void CheckVariable(Scenario& scenario, int address, const std::string& name,
                       const std::string& word);
    void CheckPage(Scenario& scenario, int address, const std::string& text);
    void CheckEntryPoints();
    // A warning for a debug entry point whose first page waits while
    // drawing is still stopped.
    void CheckFrozenStart(const std::string& label);
    void Report(Scenario& scenario, int address, bool error, std::string text);
    std::string Place(const Scenario& scenario, int address) const;

    std::unique_ptr<INIFile> mSystemInfo;
    GameMedia& mMedia;
    std::string mShownFolder;
    std::unique_ptr<Host> mHost;
    ScenarioConverter mConverter;
    InstructionTable mTable;
    std::unordered_map<std::string, std::unique_ptr<Scenario>> mScenarios;  // by small name
    std::vector<Scenario*> mOrder;                                          // as loaded
    std::vector<Finding> mFindings;
};

}  // namespace zelk::tool
