// frmConfig: the settings dialog ("詳細設定"), a modal ImGui window over the
// game. The view opens it from the "property" menu: LoadData, SetView, then
// Draw once per frame until it returns false.
#pragma once

#include <string>
#include <vector>

namespace zelk {

class Configuration;

class frmConfig {
public:
    explicit frmConfig(Configuration& cfg);
    ~frmConfig();

    void LoadData();
    void SetView(const std::string& key);
    void SaveData();

    // Builds the dialog inside the current ImGui frame; false once it was
    // closed (OK, Cancel or the title bar).
    bool Draw();

    // The scripted-input "dialog" commands after the word "dialog"
    // ("tab system", "set chkSys(12) 0", "get sldSndVolume(0)", "ok",
    // "cancel", "close"). Returns "" on success with query lines in `out`,
    // else the reason of the error.
    std::string Command(const std::vector<std::string>& words, std::vector<std::string>& out);

private:
    Configuration& mCfg;
    bool mOpen = false;
};

}  // namespace zelk
