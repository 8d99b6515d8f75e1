// ScriptManager: loads scripts by name, from loose scenario files (which it
// converts) or from the archives (already in the regular form), and keeps
// them for the rest of the run. Names compare without regard to case.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scenario/scenario_converter.h"
#include "scenario/script.h"

namespace zelk {

class ScenarioHost;

class ScriptManager {
public:
    explicit ScriptManager(ScenarioHost& host);

    // Sets up the converter from "SystemInfo" and loads every name of the
    // comma-separated reserve list as a reserved script. False when the
    // converter's settings are unusable or a reserved script fails to load.
    bool Init(bool fileMode, const std::string& reserveList);

    // The cached script, else a newly loaded one; null when the scenario
    // cannot be read or converted (a conversion error has been shown).
    // Callers may keep the script after it leaves the cache.
    std::shared_ptr<Script> GetScript(const std::string& name, bool asReserved);

    // Reads and converts the script afresh, for an author who edited it.
    // On success the cache holds the new script and the reserved ones read
    // afresh, nothing else (the others are read again when next asked for).
    // When it no longer reads or converts, the error has been shown and the
    // cache is left as it was: the caller goes on with the old script.
    std::shared_ptr<Script> Reload(const std::string& name);

    // The cached script, without loading; null when it is not cached.
    std::shared_ptr<Script> Cached(const std::string& name) const { return Find(name); }

    // Drops a script from the cache unless it is reserved.
    void Dispose(const std::string& name);
    // Drops every script, reserved ones too.
    void DisposeAllScript();
    // In debug mode, the cached names, " (reserved)" after reserved ones.
    std::string DebugShowLoadedScript() const;

    bool FileMode() const { return mFileMode; }
    const std::string& ScenarioFolder() const { return mScenarioFolder; }
    ScenarioConverter& Converter() { return mConverter; }

private:
    std::shared_ptr<Script> Find(const std::string& name) const;
    // Reads, converts and parses a script without caching it.
    std::shared_ptr<Script> Load(const std::string& name, bool asReserved);
    bool ReadScenario(const std::string& name, std::string& text, Script& script);
    void Cache(std::shared_ptr<Script> script);

    ScenarioHost& mHost;
    ScenarioConverter mConverter;
    bool mFileMode = false;
    std::string mScenarioFolder;
    std::string mReserveList;
    // In loading order, which is the order DebugShowLoadedScript lists.
    std::vector<std::shared_ptr<Script>> mScripts;
};

// The message the player shows for a scenario that does not convert.
std::string AssembleErrorText(const std::string& name, const ScenarioConverter& converter);

// The loose file of a scenario in a folder, found without regard to case;
// empty when there is none.
std::string FindScenarioFile(const std::string& folder, const std::string& name);

}  // namespace zelk
