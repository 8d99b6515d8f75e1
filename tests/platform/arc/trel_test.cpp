#include "platform/arc/trel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/arc/zip_maker.h"

namespace zelk {
namespace {

using testing::MakeZip;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using testing::TestPicture;
using testing::WriteWholeFile;

class Trel : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitializeTrel(2), 0); }
    void TearDown() override { TerminateTrel(); }

    std::string Entry(std::int32_t id) {
        const std::int32_t size = Trel_GetDataSize(id);
        if (size < 0) return "<unknown>";
        std::string bytes(static_cast<std::size_t>(size), '\0');
        if (Trel_GetMemory(id, bytes.data(), size) != 0) return "<unreadable>";
        return bytes;
    }

    // A list and two text entries, one stored and one deflated.
    std::string MakeTextArchive(const std::string& name, const std::string& first,
                                const std::string& second) {
        const std::string path = mFolder / name;
        MakeZip(path, {{"filelist.txt", "filelist\r\nfirst\r\nsecond\r\n"},
                       {"first.txt", first, false},
                       {"second.txt", second, true}});
        return path;
    }

    ScratchFolder mFolder;
};

// A colour surface or 1-byte map of its own, filled with a guard value.
struct Surface {
    Surface(int width, int height, int bytesPerPixel)
        : bytes(static_cast<std::size_t>(bytesPerPixel == 3 ? ColorStride(width) : width) * height,
                0xAA),
          target{bytes.data(), width, height, bytesPerPixel == 3 ? ColorStride(width) : width,
                 bytesPerPixel} {}
    std::vector<std::uint8_t> bytes;
    PixelTarget target;
};

TEST_F(Trel, EntriesAreReadByBasePlusTheirPosition) {
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("a.quor", "stored text", "deflated").c_str(), 0),
              0);
    EXPECT_EQ(Trel_OK(), 1);
    EXPECT_EQ(Entry(0), "filelist\r\nfirst\r\nsecond\r\n");
    EXPECT_EQ(Entry(1), "stored text");
    EXPECT_EQ(Entry(2), "deflated");
    EXPECT_EQ(Trel_GetDataSize(1), 11);
}

TEST_F(Trel, IdsOutsideEveryArchiveAreUnknown) {
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("a.quor", "x", "y").c_str(), 5000), 0);
    for (std::int32_t id : {-1, 0, 4999, 5003, 10000}) {
        EXPECT_LT(Trel_GetDataSize(id), 0) << id;
        char byte = 0;
        EXPECT_NE(Trel_GetMemory(id, &byte, 1), 0) << id;
    }
}

TEST_F(Trel, EachArchiveServesItsOwnRange) {
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("a.quor", "a1", "a2").c_str(), 0), 0);
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("b.quor", "b1", "b2").c_str(), 5000), 0);
    EXPECT_EQ(Entry(1), "a1");
    EXPECT_EQ(Entry(5002), "b2");
    EXPECT_EQ(Entry(3), "<unknown>");
}

TEST_F(Trel, RegisteringTheSameBaseAgainReplacesTheArchive) {
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("a.quor", "old", "old").c_str(), 0), 0);
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("b.quor", "new", "new").c_str(), 0), 0);
    EXPECT_EQ(Entry(1), "new");
}

TEST_F(Trel, NothingWorksBeforeInitialisingOrAfterTerminating) {
    const std::string path = MakeTextArchive("a.quor", "x", "y");
    ASSERT_EQ(Trel_SetArchiveName(path.c_str(), 0), 0);
    EXPECT_EQ(TerminateTrel(), 0);
    EXPECT_EQ(Trel_OK(), 0);
    EXPECT_LT(Trel_GetDataSize(1), 0);
    EXPECT_NE(Trel_SetArchiveName(path.c_str(), 0), 0);
    // Initialising again starts empty.
    ASSERT_EQ(InitializeTrel(1), 0);
    EXPECT_EQ(Trel_OK(), 1);
    EXPECT_LT(Trel_GetDataSize(1), 0);
    EXPECT_NE(InitializeTrel(-1), 0);
}

TEST_F(Trel, MissingAndBrokenArchivesAreRefused) {
    EXPECT_NE(Trel_SetArchiveName((mFolder / "missing.quor").c_str(), 0), 0);
    EXPECT_NE(Trel_SetArchiveName(nullptr, 0), 0);

    WriteWholeFile(mFolder / "text.quor", "this is no zip file at all");
    EXPECT_NE(Trel_SetArchiveName((mFolder / "text.quor").c_str(), 0), 0);

    WriteWholeFile(mFolder / "empty.quor", "");
    EXPECT_NE(Trel_SetArchiveName((mFolder / "empty.quor").c_str(), 0), 0);

    // Cut off before the central directory ends.
    const std::string whole = ReadWholeFile(MakeTextArchive("whole.quor", "x", "y"));
    for (std::size_t keep : {whole.size() / 2, whole.size() - 10}) {
        WriteWholeFile(mFolder / "cut.quor", whole.substr(0, keep));
        EXPECT_NE(Trel_SetArchiveName((mFolder / "cut.quor").c_str(), 0), 0) << keep;
    }
    // The library stays usable.
    EXPECT_EQ(Trel_OK(), 1);
}

TEST_F(Trel, DamagedEntryDataIsRefusedWhenRead) {
    const std::string text(400, 'q');
    const std::string path = mFolder / "damaged.quor";
    MakeZip(path, {{"filelist.txt", "filelist\r\ntext\r\n", false}, {"text.txt", text, false}});
    std::string bytes = ReadWholeFile(path);
    const std::size_t at = bytes.find(text);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] = 'X';
    WriteWholeFile(path, bytes);

    ASSERT_EQ(Trel_SetArchiveName(path.c_str(), 0), 0);
    EXPECT_EQ(Entry(1), "<unreadable>");
    EXPECT_EQ(Entry(0), "filelist\r\ntext\r\n");
}

TEST_F(Trel, GetMemoryCopiesAPrefixButNeverMoreThanTheEntry) {
    ASSERT_EQ(Trel_SetArchiveName(MakeTextArchive("a.quor", "0123456789", "y").c_str(), 0), 0);
    std::string prefix(4, '-');
    EXPECT_EQ(Trel_GetMemory(1, prefix.data(), 4), 0);
    EXPECT_EQ(prefix, "0123");

    std::string tooLong(11, '-');
    EXPECT_NE(Trel_GetMemory(1, tooLong.data(), 11), 0);
    EXPECT_EQ(tooLong, std::string(11, '-'));
    EXPECT_NE(Trel_GetMemory(1, tooLong.data(), -1), 0);
    EXPECT_NE(Trel_GetMemory(1, nullptr, 4), 0);
}

TEST_F(Trel, EmptyEntriesHaveSizeZeroAndReadAsNothing) {
    const std::string path = mFolder / "a.quor";
    MakeZip(path, {{"filelist.txt", "filelist\r\nempty\r\n"}, {"empty.txt", ""}});
    ASSERT_EQ(Trel_SetArchiveName(path.c_str(), 0), 0);
    EXPECT_EQ(Trel_GetDataSize(1), 0);
    EXPECT_EQ(Trel_GetMemory(1, nullptr, 0), 0);
}

TEST_F(Trel, ArchiveMadeByTheZipToolReadsTheSame) {
    // Made by make_archives.sh with Info-ZIP's zip, entry names and all.
    const std::string path = std::string(ZELK_TEST_DATA) + "/archives/zip_tool.quor";
    ASSERT_EQ(Trel_SetArchiveName(path.c_str(), 0), 0);
    EXPECT_EQ(Entry(0), ReadWholeFile(std::string(ZELK_TEST_DATA) + "/archives/zip_tool/list.txt"));
    EXPECT_EQ(Entry(1),
              ReadWholeFile(std::string(ZELK_TEST_DATA) + "/archives/zip_tool/SystemInfo.ini"));
    std::int32_t width = 0, height = 0;
    EXPECT_EQ(Trel_GetGraphicSize(2, width, height), 0);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(height, 3);
}

// Sizes an archive states are held to what the archive can hold before
// anything is reserved for them; the refusal names the archive and the entry.
TEST_F(Trel, SizesThatCannotBeTrueAreRefusedNamingTheEntry) {
    const std::string list = "filelist\r\nstored\r\nnoise\r\n";
    const std::string stored(300, 's');
    std::string noise(600 * 1024, '\0');
    unsigned seed = 1;
    for (char& byte : noise)
        byte = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    const std::string path = mFolder / "lies.quor";
    MakeZip(
        path,
        {{"filelist.txt", list, true}, {"stored.txt", stored, false}, {"noise.bin", noise, true}});
    const std::string whole = ReadWholeFile(path);
    const auto packedNoise = static_cast<std::int64_t>(whole.size() - noise.size() / 2);

    struct Lie {
        std::size_t entry;
        std::int64_t size, packed;
        const char* said;
    };
    const Lie lies[] = {
        // The crash of old: a file list claiming two billion bytes.
        {0, 2000000000, -1, "entry 0 (\"filelist.txt\") claims 2000000000 bytes from"},
        {1, 0xFFFFFFFE, -1, "entry 1 (\"stored.txt\") claims 4294967294 bytes but stores 300"},
        // Within deflate's ratio, beyond what an entry may hold.
        {2, 600000000, -1, "entry 2 (\"noise.bin\") claims 600000000 bytes, more than"},
        // Two entries whose data would overlap.
        {1, packedNoise, packedNoise, "entry 2 (\"noise.bin\") claims more packed bytes than"},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.said);
        std::string bytes = whole;
        testing::StateSizes(bytes, lie.entry, lie.size, lie.packed);
        WriteWholeFile(path, bytes);
        std::string why;
        EXPECT_NE(Trel_SetArchiveName(path.c_str(), 0, &why), 0);
        EXPECT_EQ(why.find(path + ": "), 0u) << why;
        EXPECT_NE(why.find(lie.said), std::string::npos) << why;
    }
    // Data running past the archive's end: libzip's own consistency check
    // refuses it already.
    std::string bytes = whole;
    testing::StateSizes(bytes, 1, 5000000, 5000000);
    WriteWholeFile(path, bytes);
    EXPECT_NE(Trel_SetArchiveName(path.c_str(), 0), 0);

    // The true archive still opens, and the library goes on.
    WriteWholeFile(path, whole);
    std::string why;
    ASSERT_EQ(Trel_SetArchiveName(path.c_str(), 0, &why), 0) << why;
    EXPECT_EQ(Entry(1), stored);
    EXPECT_EQ(Trel_GetDataSize(2), static_cast<std::int32_t>(noise.size()));
}

TEST_F(Trel, OnlyRegularFilesAreOpenedAsArchives) {
    // A FIFO is refused at once, not waited on until someone writes to it.
    const std::string fifo = mFolder / "fifo.quor";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(Trel_SetArchiveName(fifo.c_str(), 0), 0);
    std::filesystem::create_directory(mFolder / "folder.quor");
    EXPECT_NE(Trel_SetArchiveName((mFolder / "folder.quor").c_str(), 0), 0);
    EXPECT_EQ(Trel_OK(), 1);
}

class TrelPictures : public Trel {
protected:
    void SetUp() override {
        Trel::SetUp();
        const std::string path = mFolder / "pictures.quor";
        MakeZip(path, {{"filelist.txt", "filelist\r\nrgba\r\nmask-m\r\nphoto\r\ntext\r\n"},
                       {"rgba.png", TestPicture("rgba.png"), false},
                       {"mask-m.bmp", TestPicture("grey4.bmp"), true},
                       {"photo.jpg", TestPicture("blocks.jpg"), false},
                       {"text.txt", "not a picture"}});
        ASSERT_EQ(Trel_SetArchiveName(path.c_str(), 100), 0);
    }
};

TEST_F(TrelPictures, GraphicSizeIsThePictureSize) {
    std::int32_t width = 0, height = 0;
    ASSERT_EQ(Trel_GetGraphicSize(103, width, height), 0);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    ASSERT_EQ(Trel_GetGraphicSize(101, width, height), 0);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(height, 3);
}

TEST_F(TrelPictures, LoadGraphicDrawsThePictureAtItsPlace) {
    std::string error;
    const Picture expected = *Picture::Decode(TestPicture("rgba.png"), error);
    Surface direct(6, 3, 3);
    ASSERT_EQ(Trel_LoadGraphic_Direct(101, direct.target), 0);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(0,
                  std::memcmp(&direct.bytes[y * direct.target.stride], expected.ColorRow(y), 18));
    }
    Surface placed(10, 5, 3);
    ASSERT_EQ(Trel_LoadGraphic(101, placed.target, 4, 2), 0);
    EXPECT_EQ(placed.bytes[2 * placed.target.stride + 3 * 3], 0xAA);
    EXPECT_EQ(
        0, std::memcmp(&placed.bytes[2 * placed.target.stride + 4 * 3], expected.ColorRow(0), 18));
}

TEST_F(TrelPictures, LoadMaskDrawsTheAlphaChannelOrTheGreyLevel) {
    const std::uint8_t greys[] = {0, 64, 128, 192, 255, 32};
    Surface fromAlpha(6, 3, 1);
    ASSERT_EQ(Trel_LoadMask_Direct(101, fromAlpha.target), 0);
    EXPECT_EQ(0, std::memcmp(fromAlpha.bytes.data(), greys, 6));
    Surface fromGrey(8, 3, 1);
    ASSERT_EQ(Trel_LoadMask(102, fromGrey.target, 2, 0), 0);
    EXPECT_EQ(0, std::memcmp(fromGrey.bytes.data() + 2, greys, 6));
    EXPECT_EQ(fromGrey.bytes[0], 0xAA);
}

TEST_F(TrelPictures, EntriesThatAreNoPicturesAreRefused) {
    std::int32_t width = -7, height = -7;
    EXPECT_NE(Trel_GetGraphicSize(104, width, height), 0);
    EXPECT_EQ(width, -7);
    Surface surface(6, 3, 3);
    EXPECT_NE(Trel_LoadGraphic_Direct(104, surface.target), 0);
    EXPECT_NE(Trel_LoadMask_Direct(104, surface.target), 0);
    EXPECT_NE(Trel_LoadGraphic_Direct(999, surface.target), 0);
}

TEST_F(TrelPictures, ThreadsReadingAtOnceAllGetTheirData) {
    const std::string png = TestPicture("rgba.png");
    std::atomic<int> wrong = 0;
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                if (Entry(101) != png) ++wrong;
                std::int32_t width = 0, height = 0;
                const std::int32_t id = (round + t) % 2 == 0 ? 101 : 103;
                if (Trel_GetGraphicSize(id, width, height) != 0 || width != (id == 101 ? 6 : 16))
                    ++wrong;
            }
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace zelk
