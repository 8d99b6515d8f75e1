// The settings dialog on the running demo game, driven through the player's
// scripted input as a reader would use it: the music's volume previewed
// live and given back by Cancel (heard through SDL's disk driver), the voice
// volume kept until OK, a tab's defaults that Cancel throws away, OK writing
// every key of the dialog and writing nothing new when nothing changed, and
// the four tabs as pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "modes/play_support.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view/frm_config_fixture.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using testing::CopyOfDemoGame;
using testing::LoadRgb;
using testing::Loudness;
using testing::ReadAll;
using testing::Reader;
using testing::Rgb;

fs::path ConfigFile(const fs::path& folder) {
    return folder / "savedata" / "config.ini";
}

// The reader's configuration as the player keeps it: scrambled.
INIFile ReadConfig(const fs::path& folder) {
    std::string text;
    ReadScrambledFile(ConfigFile(folder).string(), text);
    INIFile ini;
    ini.Text(text);
    return ini;
}

// The file as the reader's disk holds it and as text: a change shows as a
// difference of the text, and the same bytes prove nothing else moved.
struct ConfigBytes {
    std::string Bytes;
    std::string Text;
    bool operator==(const ConfigBytes&) const = default;
};

ConfigBytes ReadConfigBytes(const fs::path& folder) {
    ConfigBytes file{ReadAll(ConfigFile(folder)), {}};
    ReadScrambledFile(ConfigFile(folder).string(), file.Text);
    return file;
}

void PrintTo(const ConfigBytes& file, std::ostream* out) {
    *out << file.Bytes.size() << " bytes:\n" << file.Text;
}

std::string ConfigValue(const fs::path& folder, const std::string& key) {
    const INIFile ini = ReadConfig(folder);
    const INISection* section = ini.FindSection("Config");
    return section && section->KeyExists(key) ? section->KeyValue(key) : "<missing>";
}

// How many 100 ms stretches the disk driver has written so far: a mark in
// the sound's time, taken between commands.
size_t Mark(const std::string& sound) {
    std::error_code error;
    const auto size = fs::file_size(sound, error);
    return error ? 0 : size / testing::kLoudnessStretchBytes;
}

// The stretches just after a mark still carry what was mixed before it (the
// engine's and the driver's buffers).
constexpr size_t kSettle = 3;

// How loud the music is between two marks, the settling stretches left out:
// the level its phrases reach (the stretch nine tenths of the way up), as
// the piece's own fades between phrases pull a median down.
double Level(const std::vector<double>& levels, size_t from, size_t to) {
    from += kSettle;
    to = std::min(to, levels.size());
    if (from >= to) return -1;
    std::vector<double> part(levels.begin() + long(from), levels.begin() + long(to));
    const auto at = part.begin() + long(part.size() * 9 / 10);
    std::nth_element(part.begin(), at, part.end());
    return *at;
}

// The share of pixels in which two pictures of the same size differ.
double Difference(const Rgb& a, const Rgb& b) {
    if (a.w != b.w || a.h != b.h || a.w == 0) return 1;
    size_t differing = 0;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x)
            if (!std::equal(a.At(x, y), a.At(x, y) + 3, b.At(x, y))) ++differing;
    return double(differing) / (size_t(a.w) * a.h);
}

TEST(ConfigDialogPlay, TheSoundTabPreviewsTheMusicAndCancelGivesEverythingBack) {
    const fs::path folder = CopyOfDemoGame("config_dialog_sound");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string sound = (folder / "sound.raw").string();
    Reader reader(folder, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", sound}});
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_EQ(reader.Get("bgm"), "bgm_title");
    ASSERT_EQ(ConfigValue(folder, "BGMVolume"), "200");

    // OK with nothing changed writes the file the player made as it was.
    const ConfigBytes made = ReadConfigBytes(folder);
    ASSERT_FALSE(made.Text.empty());
    ASSERT_TRUE(reader.Do("menu property!char"));
    ASSERT_TRUE(reader.Do("dialog ok"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ReadConfigBytes(folder), made);

    // The music at the reader's volume...
    const size_t before = Mark(sound);
    ASSERT_TRUE(reader.Do("wait 2500"));
    const size_t opened = Mark(sound);
    ASSERT_TRUE(reader.Do("menu property!sound"));
    EXPECT_EQ(reader.DialogValue("tbsView"), "sound");
    EXPECT_EQ(reader.DialogValue("sldSndVolume(0)"), "200");
    // ...a tenth of it while the slider is down, the dialog still open...
    ASSERT_TRUE(reader.Do("dialog set sldSndVolume(0) 20"));
    const size_t lowered = Mark(sound);
    ASSERT_TRUE(reader.Do("wait 2000"));
    const size_t cancelled = Mark(sound);
    ASSERT_TRUE(reader.Do("dialog cancel"));
    ASSERT_TRUE(reader.Do("idle"));
    // ...and the old volume again after Cancel.
    const size_t restored = Mark(sound);
    ASSERT_TRUE(reader.Do("wait 2500"));
    const size_t end = Mark(sound);
    EXPECT_EQ(reader.Get("bgm"), "bgm_title");
    EXPECT_EQ(ConfigValue(folder, "BGMVolume"), "200");

    const std::vector<double> levels = Loudness(sound);
    const double loud = Level(levels, before, opened);
    const double preview = Level(levels, lowered, cancelled);
    const double after = Level(levels, restored, end);
    std::printf(
        "loudness before %.4f, previewed at 20 %.4f, after Cancel %.4f (marks %zu %zu "
        "%zu %zu %zu %zu)\n",
        loud, preview, after, before, opened, lowered, cancelled, restored, end);
    ASSERT_GT(loud, 0.02) << "the title's music is not heard";
    EXPECT_GT(preview, loud * 0.03);
    EXPECT_LT(preview, loud * 0.3);
    EXPECT_GT(after, loud * 0.6);
    EXPECT_LT(after, loud * 1.6);
    // The preview never stopped the music: no stretch of the dialog's time
    // is silent.
    for (size_t i = lowered + kSettle; i < std::min(cancelled, levels.size()); ++i)
        EXPECT_GT(levels[i], 1e-4) << "stretch " << i;

    // The voice volume is not previewed: Cancel keeps the old value...
    ASSERT_TRUE(reader.Do("menu property!sound"));
    EXPECT_EQ(reader.DialogValue("sldSndVolume(2)"), "255");
    ASSERT_TRUE(reader.Do("dialog set sldSndVolume(2) 100"));
    EXPECT_EQ(reader.DialogValue("sldSndVolume(2)"), "100");
    ASSERT_TRUE(reader.Do("dialog cancel"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ConfigValue(folder, "CVVolume"), "255");
    // ...and OK writes the new one, with the effects' volume and mute.
    ASSERT_TRUE(reader.Do("menu property!sound"));
    EXPECT_EQ(reader.DialogValue("sldSndVolume(2)"), "255");
    ASSERT_TRUE(reader.Do("dialog set sldSndVolume(2) 100"));
    ASSERT_TRUE(reader.Do("dialog set sldSndVolume(1) 50"));
    ASSERT_TRUE(reader.Do("dialog set chkSndMute(1) 1"));
    ASSERT_TRUE(reader.Do("dialog ok"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ConfigValue(folder, "CVVolume"), "100");
    EXPECT_EQ(ConfigValue(folder, "SEVolume"), "50");
    EXPECT_EQ(ConfigValue(folder, "SEMute"), "True");

    // The tab's defaults are shown (and the previewed ones heard) but
    // Cancel leaves the file as it was, byte for byte.
    const ConfigBytes saved = ReadConfigBytes(folder);
    ASSERT_FALSE(saved.Text.empty());
    ASSERT_TRUE(reader.Do("menu property!sound"));
    ASSERT_TRUE(reader.Do("dialog set cmdInit 1"));
    EXPECT_EQ(reader.DialogValue("sldSndVolume(1)"), "220");
    EXPECT_EQ(reader.DialogValue("sldSndVolume(2)"), "255");
    EXPECT_EQ(reader.DialogValue("chkSndMute(1)"), "0");
    ASSERT_TRUE(reader.Do("dialog cancel"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ReadConfigBytes(folder), saved);
    // Opened again, the dialog shows what was saved, not the defaults; its
    // title bar's close undoes a preview as Cancel does.
    ASSERT_TRUE(reader.Do("menu property!sound"));
    EXPECT_EQ(reader.DialogValue("sldSndVolume(1)"), "50");
    EXPECT_EQ(reader.DialogValue("chkSndMute(1)"), "1");
    ASSERT_TRUE(reader.Do("dialog set sldSndVolume(0) 20"));
    ASSERT_TRUE(reader.Do("dialog close"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ReadConfigBytes(folder), saved);
    EXPECT_EQ(reader.Quit(), 0);
}

TEST(ConfigDialogPlay, OkWritesEveryKeyAndTheTabsArePictured) {
    const fs::path folder = CopyOfDemoGame("config_dialog_files");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    // A reader's file that knows only two keys, one the dialog does not edit.
    ASSERT_TRUE(WriteScrambledFile(ConfigFile(folder).string(),
                                   "[Config]\r\nBGMVolume=180\r\nTextSpeed=4\r\n"));
    std::string system;
    ASSERT_TRUE(ReadTextFile(ZELK_SOURCE_DIR "/games/demo/SystemInfo.ini", system));
    INIFile systemInfo;
    systemInfo.Text(system);
    const INISection& defaults = systemInfo.KeySection("Config");

    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Do("menu property!system"));
    ASSERT_TRUE(reader.Do("dialog ok"));
    ASSERT_TRUE(reader.Do("idle"));
    {
        const INIFile written = ReadConfig(folder);
        const INISection* config = written.FindSection("Config");
        ASSERT_NE(config, nullptr);
        for (const std::string& key : testing::kDialogKeys) {
            // The demo game has three characters, the fixture's game four.
            if (key == "Char:3") continue;
            ASSERT_TRUE(config->KeyExists(key)) << key;
            const std::string expected = key == "BGMVolume" ? "180" : defaults.KeyValue(key);
            EXPECT_EQ(config->KeyValue(key), expected) << key;
        }
        EXPECT_EQ(config->KeyValue("TextSpeed"), "4");
    }

    // Opened and closed by OK with nothing changed: the same bytes.
    const ConfigBytes saved = ReadConfigBytes(folder);
    ASSERT_TRUE(reader.Do("menu property!screen"));
    ASSERT_TRUE(reader.Do("dialog ok"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ReadConfigBytes(folder), saved);

    // Each tab as the window shows it: drawn, and each unlike the others.
    const std::vector<std::string> tabs = {"system", "screen", "sound", "char"};
    std::vector<Rgb> shots;
    ASSERT_TRUE(reader.Do("menu property!system"));
    for (const std::string& tab : tabs) {
        const std::string shot = (folder / ("config_" + tab + ".png")).string();
        ASSERT_TRUE(reader.Do("dialog tab " + tab));
        EXPECT_EQ(reader.DialogValue("tbsView"), tab);
        ASSERT_TRUE(reader.Do("shotwin " + shot));
        shots.push_back(LoadRgb(shot));
        ASSERT_GT(shots.back().w, 0) << shot;
        EXPECT_GT(testing::Colours(shot, 0, 0, shots.back().w, shots.back().h), 64u) << shot;
    }
    for (size_t i = 0; i < shots.size(); ++i)
        for (size_t j = i + 1; j < shots.size(); ++j)
            EXPECT_GT(Difference(shots[i], shots[j]), 0.01) << tabs[i] << " " << tabs[j];
    ASSERT_TRUE(reader.Do("dialog cancel"));
    ASSERT_TRUE(reader.Do("idle"));
    EXPECT_EQ(ReadConfigBytes(folder), saved);
    EXPECT_EQ(reader.Quit(), 0);
}

}  // namespace
}  // namespace zelk
