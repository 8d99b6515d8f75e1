// The scenario side of zelk-tool, for the other commands: pack stores
// scenario files in the regular form through ScenarioPacker.
#pragma once

#include <memory>
#include <string>

#include "scenario/scenario_converter.h"

namespace zelk::tool {

// Whether a packed file is a scenario: a ".txt" file (any case) inside a
// folder named "scenario" (any case), the packed folder itself included.
bool IsScenarioEntry(const std::string& packedFolder, const std::string& relativePath);

// Converts scenario files for an archive with the converter settings of the
// game that owns the packed folder.
// The encoding of the game a packed folder belongs to: a SystemInfo.ini
// inside it, else the game folder above it; CP932 when neither says.
TextEncoding PackedGameEncoding(const std::string& packedFolder);

class ScenarioPacker {
public:
    // Finds "SystemInfo": a SystemInfo.ini inside the packed folder, else
    // the game folder above it as the player would find it.
    bool Init(const std::string& packedFolder, std::string& error);

    // Replaces the author's form of the scenario `name` by its regular
    // form, both in the game's encoding; a file in the other encoding is
    // refused, with its line. On failure `error` is the message
    // the player would show, its lines joined with "\n".
    bool Convert(const std::string& name, std::string& bytes, std::string& error);

private:
    ScenarioConverter mConverter;
};

}  // namespace zelk::tool
