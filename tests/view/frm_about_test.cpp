// What the version dialog says: the game's own lines from its settings and
// the player's version, never a fixed text in the game's place.
#include "view/frm_about.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "zelk_version.h"

namespace zelk {
namespace {

const std::string kPlayer = std::string("Zelk シナリオプレーヤ ") + kVersion;

TEST(FrmAbout, ShowsTheTitleVersionAndCopyrightOfTheGame) {
    INIFile info;
    info.Text("[Game]\r\nTitle=ひかりの手紙\r\nScenarioVer=1.2\r\nCopyright=(C) 灯台舎\r\n");
    EXPECT_EQ(AboutLines(&info), (std::vector<std::string>{"ひかりの手紙", "シナリオバージョン 1.2",
                                                           "(C) 灯台舎", kPlayer}));
}

TEST(FrmAbout, AGameWithoutACopyrightLineOrSettingsStillNamesThePlayer) {
    INIFile info;
    info.Text("[Game]\r\ntitle=Another\r\nScenarioVer=3\r\n");
    EXPECT_EQ(AboutLines(&info),
              (std::vector<std::string>{"Another", "シナリオバージョン 3", kPlayer}));
    EXPECT_EQ(AboutLines(nullptr), (std::vector<std::string>{"", "シナリオバージョン ", kPlayer}));
}

}  // namespace
}  // namespace zelk
