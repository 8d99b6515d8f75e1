#include "view/frm_about.h"

#include "platform/translate.h"
#include "settings/ini_file.h"
#include "zelk_version.h"

namespace zelk {

std::vector<std::string> AboutLines(INIFile* systemInfo) {
    std::string title;
    std::string version;
    std::string copyright;
    if (systemInfo) {
        const INISection& game = systemInfo->KeySection("Game");
        title = game.KeyValue("Title");
        version = game.KeyValue("ScenarioVer");
        copyright = game.KeyValue("Copyright");
    }
    std::vector<std::string> lines = {title, std::string(Tr("シナリオバージョン ")) + version};
    if (!copyright.empty()) lines.push_back(copyright);
    lines.push_back(std::string(Tr("Zelk シナリオプレーヤ ")) + kVersion);
    return lines;
}

}  // namespace zelk
