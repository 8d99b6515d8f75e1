// What going back a page costs while a game is read: the time to record a
// page and the memory a hundred recorded pages hold. The pages are the
// demo game's own state, taken from a quick save the player makes a few
// pages into the story; the history grows by a page each time, as it does
// while reading.
#include <benchmark/benchmark.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "common/process.h"
#include "modes/page_rollback.h"
#include "modes/play_support.h"
#include "modes/save_data.h"

namespace {

namespace fs = std::filesystem;
using zelk::clsSaveData;
using zelk::PageRollback;
using zelk::testing::Reader;

// The demo's save folder with its quick save ten pages into the story;
// empty when the demo game is not packed.
fs::path DemoQuickSave() {
    static fs::path folder = [] {
        const fs::path packed = fs::path(ZELK_BIN_DIR) / ".." / "games" / "demo";
        if (!fs::exists(packed / "scenario.quor")) return fs::path();
        const fs::path copy = fs::temp_directory_path() / "zelk-bench-rollback";
        fs::remove_all(copy);
        fs::create_directories(copy / "savedata");
        for (const auto& entry : fs::directory_iterator(packed))
            if (entry.is_regular_file())
                fs::copy_file(entry.path(), copy / entry.path().filename());
        Reader reader(copy);
        reader.AtTitle();
        reader.Click(reader.Rects("main_menu")[0]);
        for (int page = 0; page < 11; ++page) {
            reader.Do("click 320 240");
            reader.Do("idle");
        }
        reader.Do("answer yes");
        reader.Do("menu file!qsave");
        reader.Do("idle");
        reader.Quit();
        return copy / "savedata";
    }();
    return folder;
}

// The running game's document as the quick save holds it.
bool LoadDemoState(clsSaveData& data) {
    const fs::path saves = DemoQuickSave();
    zelk::Process().SaveDir = saves.string();
    return !saves.empty() && data.Load(clsSaveData::FormatSlotName(5, 0));
}

// Records pages as a reader's clicks do, with a hundred kept.
void BM_RecordPage(benchmark::State& state) {
    clsSaveData data;
    if (!LoadDemoState(data)) return state.SkipWithError("no quick save of the demo game");
    PageRollback pages(100);
    long key = 0;
    for (auto _ : state) {
        data.AddHistory("s01", key);
        pages.Record(PageRollback::Page{data.MakeImage(), data.HistoryCount() - 1, ++key});
    }
    state.counters["pages_kept"] = double(pages.Count());
    state.counters["kib_for_100_pages"] =
        double(pages.Bytes()) / 1024 * 100 / double(pages.Count());
    state.counters["document_bytes"] = double(data.MakeImage().document.size());
}
BENCHMARK(BM_RecordPage)->Unit(benchmark::kMicrosecond);

// Going back a page: the image put back into the save document.
void BM_RestoreImage(benchmark::State& state) {
    clsSaveData data;
    if (!LoadDemoState(data)) return state.SkipWithError("no quick save of the demo game");
    const clsSaveData::Image image = data.MakeImage();
    for (auto _ : state) {
        data.AddHistory("s01", 1);
        benchmark::DoNotOptimize(data.RestoreImage(image));
    }
}
BENCHMARK(BM_RestoreImage)->Unit(benchmark::kMicrosecond);

}  // namespace
