// Skip speed through the demo's scenarios and the cost of the text markup
// compiler per character.
#include <benchmark/benchmark.h>

#include <string>

#include "common/utf8.h"
#include "interpreter/demo_player.h"
#include "interpreter/text_markup.h"

namespace {

using zelk::testing::DemoPlayer;

// A reader's skip through read text with effects skipped: pages per second.
void BM_SkipThroughTheDemo(benchmark::State& state) {
    DemoPlayer player;
    std::size_t pages = 0;
    for (auto _ : state) {
        player.host.executed.clear();
        player.host.story.history.clear();
        player.host.story.cgHistory.clear();
        player.host.window.text.clear();
        benchmark::DoNotOptimize(player.PlayEverything());
        pages += player.host.story.history.size();
        zelk::Process().ShutdownRequested = false;
    }
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SkipThroughTheDemo)->Unit(benchmark::kMillisecond);

class IdleMarkupHost : public zelk::MarkupHost {
public:
    void TextSpeedSetting(long) override {}
    void WindowNameFlip(long) override {}
    std::string NameplateText(long) override { return "湊"; }
    std::optional<long> CharacterTextColor(const std::string&) override { return 0x123456; }
};

// A typical page: a voice, a name plate, a colour and two lines.
void BM_CompileMarkup(benchmark::State& state) {
    const std::string page =
        "\\v(a01_001)\\np(1)\\c(cid_a01)「この手紙、どこから流れてきたんだろう。\\n"
        "ねえ、湊くんはどう思う？」\\pause(300)\\color(255)……波の音がする。";
    IdleMarkupHost host;
    const zelk::MarkupScale scale{1.0, 1.0};
    const auto characters = static_cast<std::int64_t>(zelk::Utf8Length(page));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelk::CompileMarkup(page, zelk::kMarkupWindow, scale, host));
    }
    // Items are characters: the inverse of items per second is the time per
    // character.
    state.SetItemsProcessed(characters * static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_CompileMarkup);

}  // namespace
