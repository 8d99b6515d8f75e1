// The slot files under saving: what a reader finds after a save that was
// cut off at any moment.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "common/file_io.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/temp_folder.h"
#include "modes/save_data.h"
#include "platform/picture.h"

namespace zelk {
namespace {

class SlotFilesTest : public ::testing::Test {
protected:
    SlotFilesTest() {
        Process().ResetFolders(folder.Path());
        Process().SaveDir = folder / "savedata";
    }
    ~SlotFilesTest() override { Process().ResetFolders(""); }

    static SavePreviewImage Picture(int blue) {
        SavePreviewImage image{32, 24, ColorStride(32), {}};
        image.pixels.assign(static_cast<std::size_t>(image.stride * 24), 0);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x)
                image.pixels[static_cast<std::size_t>(y * image.stride + x * 3)] =
                    static_cast<std::uint8_t>(blue);
        return image;
    }

    // Generation g: a document that names g and carries a large body whose
    // every byte depends on g, with a picture whose blue is g modulo 251.
    static void Fill(clsSaveData& data, long g) {
        data.Var().KeyValue("gen", std::to_string(g));
        data.Var().KeyValue("pad", std::string(30000, static_cast<char>('a' + g % 26)));
        data.SavePreview(Picture(static_cast<int>(g % 251)));
    }

    // The slot holds one whole generation: its document complete, its
    // picture (when there is one) of the same generation.
    static void ExpectWhole(const std::string& name, long round) {
        clsSaveData check;
        ASSERT_TRUE(check.Load(name)) << "round " << round;
        const long g = std::stol(check.Var().KeyValue("gen"));
        EXPECT_EQ(check.Var().KeyValue("pad"), std::string(30000, static_cast<char>('a' + g % 26)))
            << "round " << round;
        if (check.IsPreviewExists(name)) {
            std::string error;
            const auto picture = Picture::Load(Process().SaveDir + "/" + name + ".bmp", error);
            ASSERT_TRUE(picture) << "round " << round << ": " << error;
            EXPECT_EQ(picture->ColorRow(3)[3], g % 251) << "round " << round;
        }
    }

    testing::TempFolder folder;
};

TEST_F(SlotFilesTest, AKilledSaveLeavesTheOldOrTheNewSaveNeverABrokenOne) {
    {
        clsSaveData first;
        Fill(first, 0);
        ASSERT_TRUE(first.Save("sd01-00"));
    }
    std::mt19937 random(18);
    long saves = 0;
    constexpr int kRounds = 100;
    for (int round = 1; round <= kRounds; ++round) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            clsSaveData data;
            for (long g = round * 1000L;; ++g) {
                Fill(data, g);
                data.Save("sd01-00");
                const char done = 1;
                if (::write(pipeFds[1], &done, 1) != 1) ::_exit(0);
            }
        }
        ::close(pipeFds[1]);
        // Let a few saves complete, then kill the writer at a moment of
        // its next one.
        char done = 0;
        for (int i = 0; i < 1 + round % 5; ++i) {
            ASSERT_EQ(::read(pipeFds[0], &done, 1), 1);
            ++saves;
        }
        ::usleep(std::uniform_int_distribution<unsigned>(0, 4000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        while (::read(pipeFds[0], &done, 1) == 1)
            ++saves;
        ::close(pipeFds[0]);
        ExpectWhole("sd01-00", round);
        if (HasFatalFailure()) return;
    }
    EXPECT_GE(saves, 2 * kRounds);
    RecordProperty("saves", static_cast<int>(saves));
}

TEST_F(SlotFilesTest, LeftoversOfACutOffSaveAreNeitherSlotsNorObstacles) {
    clsSaveData data;
    Fill(data, 1);
    ASSERT_TRUE(data.Save("sd01-02"));
    // What a save killed before its renames leaves behind.
    ASSERT_TRUE(WriteFileAtomic(Process().SaveDir + "/.sd01-03.ini.part", "half"));
    ASSERT_TRUE(WriteFileAtomic(Process().SaveDir + "/.sd01-02.bmp.part", "half"));
    EXPECT_FALSE(data.IsLoadable("sd01-03"));
    Fill(data, 2);
    ASSERT_TRUE(data.Save("sd01-02"));
    ASSERT_TRUE(data.Save("sd01-03"));
    ExpectWhole("sd01-02", 0);
    ExpectWhole("sd01-03", 0);
    EXPECT_FALSE(FileExists(Process().SaveDir + "/.sd01-02.bmp.part"));
    EXPECT_FALSE(FileExists(Process().SaveDir + "/.sd01-03.ini.part"));
}

TEST_F(SlotFilesTest, ReadingASlotForTheScreenLeavesTheGameDocumentAlone) {
    clsSaveData data;
    data.Var().KeyValue("where", "running");
    Fill(data, 4);
    ASSERT_TRUE(data.Save("sd01-04"));
    data.Var().KeyValue("gen", "running");
    INIFile document;
    ASSERT_TRUE(data.ReadSlotDocument("sd01-04", document));
    EXPECT_EQ(document.KeySection("Var").KeyValue("gen"), "4");
    EXPECT_EQ(data.Var().KeyValue("gen"), "running");
    EXPECT_FALSE(data.ReadSlotDocument("sd09-09", document));
    EXPECT_EQ(document.Count(), 1);  // emptied: only the nameless section
}

}  // namespace
}  // namespace zelk
