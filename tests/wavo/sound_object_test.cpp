// Sound-object properties, memory blocks and loading, through the exports.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

using WavoSOProperties = EngineTest;

TEST_F(WavoSOProperties, IdMinusOneIsIgnoredAndMissingIdsAreReported) {
    int32_t value = 5;
    EXPECT_EQ(SetSOProp(-1, SP_VOLUME, &value), 0);
    EXPECT_EQ(GetSOProp(-1, SP_VOLUME, &value), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(SetSOProp(3, SP_VOLUME, &value), WAVO_E_NO_SO);
    EXPECT_EQ(GetSOProp(3, SP_VOLUME, &value), WAVO_E_NO_SO);
}

TEST_F(WavoSOProperties, ReadOnlyReservedAndUnknownProperties) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    int32_t value = 7;
    for (int32_t property : {SP_ID, SP_TYPE, SP_MEMORY_ADDRESS, SP_STATE, SP_LENGTH}) {
        EXPECT_EQ(SetSOProp(id, property, &value), WAVO_E_UNAVAILABLE) << std::hex << property;
    }
    for (int32_t property :
         {SP_RESERVED1, SP_RESERVED2, SP_RESERVED3, SP_RESERVED4, SP_RESERVED5}) {
        EXPECT_EQ(SetSOProp(id, property, &value), 0);
        EXPECT_EQ(GetSOProp(id, property, &value), 0);
        EXPECT_EQ(value, 7) << "nothing written";
    }
    EXPECT_EQ(SetSOProp(id, 0x46400000, &value), WAVO_E_NO_PROPERTY);
    EXPECT_EQ(GetSOProp(id, 0x46400000, &value), WAVO_E_NO_PROPERTY);
    EXPECT_EQ(IntProp(id, SP_ID), id);
    EXPECT_EQ(IntProp(id, SP_TYPE), ST_VORBIS_MEMORY);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
}

TEST_F(WavoSOProperties, StoredValuesReadBack) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    for (int32_t property : {SP_START_DELAY, SP_RELEASE_DELAY, SP_HOST_VALUE, SP_FADE_TIME}) {
        SetIntProp(id, property, 1234);
        EXPECT_EQ(IntProp(id, property), 1234);
    }
    uint8_t flag = 1, back = 0;
    EXPECT_EQ(SetSOProp(id, SP_SYNC, &flag), 0);
    GetSOProp(id, SP_SYNC, &back);
    EXPECT_EQ(back, 1);
}

TEST_F(WavoSOProperties, PlayCountBelowMinusOneIsInvalid) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    int32_t count = -2;
    EXPECT_EQ(SetSOProp(id, SP_PLAY_COUNT, &count), WAVO_E_INVALID_VALUE);
    EXPECT_EQ(IntProp(id, SP_PLAY_COUNT), 1);
    count = -1;
    EXPECT_EQ(SetSOProp(id, SP_PLAY_COUNT, &count), 0);
    EXPECT_EQ(IntProp(id, SP_PLAY_COUNT), -1);
}

TEST_F(WavoSOProperties, VolumeOutsideTheScaleIsRefused) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    int32_t volume = 256;
    EXPECT_EQ(SetSOProp(id, SP_VOLUME, &volume), WAVO_E_INVALID_VALUE);
    volume = -1;
    EXPECT_EQ(SetSOProp(id, SP_VOLUME, &volume), WAVO_E_INVALID_VALUE);
    EXPECT_EQ(IntProp(id, SP_VOLUME), 255);
    SetIntProp(id, SP_VOLUME, 0);
    EXPECT_EQ(IntProp(id, SP_VOLUME), 0);
}

TEST_F(WavoSOProperties, FileNamesMustNameAnExistingFile) {
    const int32_t id = AddSO(ST_VORBIS_FILE);
    const char* name = nullptr;
    EXPECT_EQ(GetSOProp(id, SP_FILE_NAME, &name), WAVO_E_UNAVAILABLE);
    EXPECT_EQ(SetSOProp(id, SP_FILE_NAME, "/no/such/file.ogg"), WAVO_E_NO_FILE);
    const auto path = std::filesystem::temp_directory_path() / "wavo_name_test.ogg";
    std::ofstream(path) << "x";
    EXPECT_EQ(SetSOProp(id, SP_FILE_NAME, path.c_str()), 0);
    ASSERT_EQ(GetSOProp(id, SP_FILE_NAME, &name), 0);
    EXPECT_STREQ(name, path.c_str());
    // Not Ogg Vorbis: the load fails and leaves the object unloaded.
    CallSOMethod(id, SM_LOAD, nullptr);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    std::filesystem::remove(path);
}

TEST_F(WavoSOProperties, PanIsKeptUntilABufferExists) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    EXPECT_EQ(IntProp(id, SP_PAN), 0);
    SetIntProp(id, SP_PAN, -128);
    EXPECT_EQ(IntProp(id, SP_PAN), -128);
    int32_t pan = 256;
    EXPECT_EQ(SetSOProp(id, SP_PAN, &pan), WAVO_E_INVALID_VALUE);
}

TEST_F(WavoSOProperties, PanGoesThroughTheBufferScaleOnceLoaded) {
    const int32_t id = LoadWaveObject(ToneWave(0.1, 440, 0.5));
    ASSERT_EQ(StateOf(id), SS_LOADED);
    SetIntProp(id, SP_PAN, 255);  // buffer pan 10000
    EXPECT_EQ(IntProp(id, SP_PAN), 255);
    SetIntProp(id, SP_PAN, -128);  // buffer pan -5019
    EXPECT_EQ(IntProp(id, SP_PAN), -127);
}

TEST_F(WavoSOProperties, OnlyStreamingAndMusicObjectsHaveAPan) {
    const int32_t mci = AddSO(ST_MCI_SEQUENCE);
    int32_t pan = 10;
    EXPECT_EQ(SetSOProp(mci, SP_PAN, &pan), WAVO_E_UNAVAILABLE);
    EXPECT_EQ(GetSOProp(mci, SP_PAN, &pan), WAVO_E_UNAVAILABLE);
    const int32_t music = AddSO(ST_MUSIC_SEQUENCE);
    EXPECT_EQ(SetSOProp(music, SP_PAN, &pan), 0);
    EXPECT_EQ(IntProp(music, SP_PAN), 10);
}

// [Memory blocks and loading]

using WavoMemoryBlock = EngineTest;

TEST_F(WavoMemoryBlock, SizesMakeReplaceAndDropTheBlock) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    void* block = reinterpret_cast<void*>(1);
    GetSOProp(id, SP_MEMORY_ADDRESS, &block);
    EXPECT_EQ(block, nullptr);
    SetIntProp(id, SP_MEMORY_SIZE, 1000);
    GetSOProp(id, SP_MEMORY_ADDRESS, &block);
    EXPECT_NE(block, nullptr);
    EXPECT_EQ(IntProp(id, SP_MEMORY_SIZE), 1000);
    SetIntProp(id, SP_MEMORY_SIZE, 0);
    GetSOProp(id, SP_MEMORY_ADDRESS, &block);
    EXPECT_EQ(block, nullptr);
    int32_t size = -1;
    EXPECT_EQ(SetSOProp(id, SP_MEMORY_SIZE, &size), WAVO_E_NEGATIVE_SIZE);
}

TEST_F(WavoMemoryBlock, AHugeSizeIsRefusedWithoutABlock) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    int32_t size = INT32_MAX;
    const int32_t result = SetSOProp(id, SP_MEMORY_SIZE, &size);
    // Either the machine had the memory or the engine said no; never a crash.
    if (result != 0) {
        EXPECT_EQ(result, WAVO_E_INVALID_VALUE);
        EXPECT_EQ(IntProp(id, SP_MEMORY_SIZE), 0);
    }
    SetIntProp(id, SP_MEMORY_SIZE, 0);
}

TEST_F(WavoMemoryBlock, LoadWithoutABlockFailsAndBlocksNothing) {
    const int32_t id = AddSO(ST_VORBIS_MEMORY);
    EXPECT_EQ(CallSOMethod(id, SM_LOAD, nullptr), 0);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    EXPECT_EQ(IntProp(id, SP_VOLUME), 255);
    const int32_t file = AddSO(ST_VORBIS_FILE);
    CallSOMethod(file, SM_LOAD, nullptr);
    EXPECT_EQ(StateOf(file), SS_UNLOADED);
}

TEST_F(WavoMemoryBlock, GarbageDataDoesNotLoad) {
    for (int32_t type : {ST_VORBIS_MEMORY, ST_WAVE_MEMORY}) {
        const int32_t id = AddSO(type);
        SetIntProp(id, SP_MEMORY_SIZE, 5000);
        void* block = nullptr;
        GetSOProp(id, SP_MEMORY_ADDRESS, &block);
        std::memset(block, 0x5A, 5000);
        CallSOMethod(id, SM_LOAD, nullptr);
        EXPECT_EQ(StateOf(id), SS_UNLOADED);
    }
}

TEST_F(WavoMemoryBlock, AStreamingObjectOfAnotherKindDoesNotLoad) {
    const int32_t id = AddSO(0x49080102);  // a music sequence in memory
    SetIntProp(id, SP_MEMORY_SIZE, 100);
    CallSOMethod(id, SM_LOAD, nullptr);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
}

TEST_F(WavoMemoryBlock, ReplacingTheBlockOfALoadedObjectUnloadsIt) {
    const int32_t id = LoadWaveObject(ToneWave(0.1, 440, 0.5));
    ASSERT_EQ(StateOf(id), SS_LOADED);
    SetIntProp(id, SP_MEMORY_SIZE, 64);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    EXPECT_EQ(IntProp(id, SP_LENGTH), WAVO_E_NOT_LOADED);
}

TEST_F(WavoMemoryBlock, LengthOfLoadedThenUnloadedDataIsTheNotLoadedCode) {
    const int32_t id = LoadWaveObject(ToneWave(0.5, 440, 0.5));
    EXPECT_EQ(IntProp(id, SP_LENGTH), 500);
    CallSOMethod(id, SM_UNLOAD, nullptr);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    int32_t length = 0;
    EXPECT_EQ(GetSOProp(id, SP_LENGTH, &length), 0);
    EXPECT_EQ(length, WAVO_E_NOT_LOADED);
}

TEST_F(WavoMemoryBlock, PositionsOutsideTheSoundAreInvalid) {
    const int32_t id = LoadWaveObject(ToneWave(0.5, 440, 0.5));
    int32_t position = 501;
    EXPECT_EQ(SetSOProp(id, SP_POSITION, &position), WAVO_E_INVALID_VALUE);
    position = -1;
    EXPECT_EQ(SetSOProp(id, SP_POSITION, &position), WAVO_E_INVALID_VALUE);
    SetIntProp(id, SP_POSITION, 250);
    EXPECT_EQ(IntProp(id, SP_POSITION), 250);
}

// [The music classes without a file]

using WavoMusicClasses = EngineTest;

TEST_F(WavoMusicClasses, MusicAndMediaObjectsWithoutAFileNeverLoad) {
    for (int32_t type : {ST_MUSIC_SEQUENCE, ST_MCI_SEQUENCE}) {
        const int32_t id = AddSO(type);
        CallSOMethod(id, SM_LOAD, nullptr);
        CallSOMethod(id, SM_PLAY, nullptr);
        CallSOMethod(id, SM_STOP, nullptr);
        EXPECT_EQ(StateOf(id), SS_UNLOADED);
    }
}

TEST_F(WavoMusicClasses, AMediaObjectAcceptsAVolumeAndReadsZero) {
    const int32_t id = AddSO(ST_MCI_SEQUENCE);
    SetIntProp(id, SP_VOLUME, 100);
    EXPECT_EQ(IntProp(id, SP_VOLUME), 0);
    EXPECT_EQ(IntProp(id, SP_LENGTH), -1);
}

}  // namespace
}  // namespace wavo::test
