// ScenarioHost: what the scenario language needs from the running player.
// The root fills it in the program; tests fill it with plain documents.
#pragma once

#include <optional>
#include <string>

namespace zelk {

class INIFile;
class INISection;

class ScenarioHost {
public:
    virtual ~ScenarioHost() = default;

    // "SystemInfo": the converter's settings and the constants of [const].
    // Null while it is not loaded.
    virtual INIFile* SystemInfo() = 0;
    // The variables of the saved game and those shared across games; null
    // when the document does not exist.
    virtual INISection* GameVariables() = 0;
    virtual INISection* SharedVariables() = 0;

    // The text of the archive entry with this key, or nothing when the
    // archives hold no such entry.
    virtual std::optional<std::string> ReadArchiveText(const std::string& key) = 0;

    // A message box; `buttons` and the result use the launcher's codes.
    virtual long Msg(const std::string& prompt, long buttons) = 0;
    virtual bool IsDebugMode() = 0;

    // A scenario error after its message box: `place` names where it stands
    // ("s01.txt:42", or the script and element for the archives), so that
    // the player can show it to the author. Nothing by default.
    virtual void ScenarioError(const std::string& /*place*/, const std::string& /*message*/) {}
};

}  // namespace zelk
