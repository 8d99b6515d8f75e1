// The settings dialog as the view runs it from its menu: what reaches the
// reader's file, and when.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "frm_config_fixture.h"
#include "platform/event_pump.h"
#include "settings/ini_io.h"
#include "view_test_support.h"

namespace zelk::testing {
namespace {

class ConfigDialogView : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        const std::filesystem::path folder = ::testing::TempDir() + "zelk-view-dialog";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        Process().SaveDir = folder.string();
        mUserPath = folder / "config.ini";
        mSystem.Text(kDialogSystemInfo);
        root.systemInfo = &mSystem;
        root.cfg = std::make_unique<Configuration>();
        ASSERT_TRUE(root.cfg->Init(mSystem));
        // The reader's own volume, already on disk.
        root.cfg->LongVal("BGMVolume", 10);
        ASSERT_TRUE(root.cfg->Save());
    }
    void TearDown() override {
        Process().ShutdownRequested = false;
        ViewTest::TearDown();
    }

    std::string UserFileBytes() const {
        std::ifstream in(mUserPath, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // Opens the dialog on the sound tab; `inside` runs while it is open.
    void WithDialog(const std::function<void(frmConfig&)>& inside) {
        EventPump::Instance().Defer([this, inside] {
            frmConfig* dialog = view->ConfigDialog();
            if (dialog == nullptr) {
                ADD_FAILURE() << "the dialog is not open";
                Process().ShutdownRequested = true;
                return;
            }
            inside(*dialog);
        });
        view->MenuCmd("property", "sound");
        Process().ShutdownRequested = false;
    }

    static void Do(frmConfig& dialog, std::vector<std::string> words) {
        std::vector<std::string> out;
        EXPECT_EQ(dialog.Command(words, out), "");
    }

    // A key as the reader's file on disk holds it.
    std::string FileValue(const std::string& key) const {
        INIFile file;
        if (!ReadIniFile(file, mUserPath.string())) return "(unreadable)";
        return file.KeySection("Config").KeyValue(key);
    }

    INIFile mSystem;
    std::filesystem::path mUserPath;
};

// Reset shows the tab's defaults and plays them at once, but the file keeps
// the reader's values until OK; a dialog ended by the program's end, with
// neither button pressed, gives the preview back before the settings are
// written.
TEST_F(ConfigDialogView, ResetPreviewsTheDefaultsAndNothingButOkWritesThem) {
    const std::string before = UserFileBytes();
    ASSERT_EQ(FileValue("BGMVolume"), "10");
    WithDialog([&](frmConfig& dialog) {
        Do(dialog, {"set", "cmdInit", "1"});
        EXPECT_EQ(root.cfg->LongVal("BGMVolume"), 200) << "the defaults are heard at once";
        EXPECT_TRUE(UserFileBytes() == before) << "the file changed";
        // The program ends while the dialog is open.
        Process().ShutdownRequested = true;
    });
    EXPECT_EQ(view->ConfigDialog(), nullptr);
    EXPECT_EQ(root.cfg->LongVal("BGMVolume"), 10);
    EXPECT_TRUE(UserFileBytes() == before) << "the file changed";

    // OK writes them.
    WithDialog([&](frmConfig& dialog) {
        Do(dialog, {"set", "cmdInit", "1"});
        EXPECT_TRUE(UserFileBytes() == before) << "the file changed";
        Do(dialog, {"ok"});
        Process().ShutdownRequested = true;
    });
    EXPECT_EQ(root.cfg->LongVal("BGMVolume"), 200);
    EXPECT_EQ(FileValue("BGMVolume"), "200");
}

}  // namespace
}  // namespace zelk::testing
