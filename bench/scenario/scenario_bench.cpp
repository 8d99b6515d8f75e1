// How fast scenarios convert (lines per second) and how fast the step loop
// runs instructions when nothing waits (skip mode).
#include <benchmark/benchmark.h>

#include <string>

#include "scenario/scenario_converter.h"

namespace zelk {
namespace {

// A chapter of a typical scenario: scene changes, story text with name
// plates, variables and nested if-blocks.
std::string LargeScenario(int scenes, int& lines) {
    std::string source;
    lines = 0;
    auto line = [&](const std::string& text) {
        source += text;
        source += "\r\n";
        ++lines;
    };
    for (int scene = 0; scene < scenes; ++scene) {
        line("*scene" + std::to_string(scene) + ":");
        line("bg Room" + std::to_string(scene % 7) + ", 500   // the room");
        line("ch 1, Yuki_Smile, 320, 0");
        line("ゆき「おはよう。今日もいい天気ですね。」");
        line("\\nそう言って、彼女は窓の外を見た。\\b");
        line("if route == 1");
        line("  let Count, " + std::to_string(scene));
        line("  if count > 100");
        line("    up count");
        line("  endif");
        line("elseif route == 2");
        line("  down count, 2");
        line("else");
        line("  call common.sub" + std::to_string(scene % 3));
        line("endif");
        line("");
    }
    return source;
}

void BM_ConvertLargeScenario(benchmark::State& state) {
    int lines = 0;
    const std::string source = LargeScenario(static_cast<int>(state.range(0)), lines);
    ScenarioConverter converter;
    converter.Init(24, 3, {"", "ゆき", "はる"});
    for (auto _ : state) {
        if (!converter.Assemble(source)) state.SkipWithError(converter.ErrMsg().c_str());
        benchmark::DoNotOptimize(converter.Instructions().data());
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.counters["lines"] = lines;
}
BENCHMARK(BM_ConvertLargeScenario)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_ConvertAndWriteRegularScript(benchmark::State& state) {
    int lines = 0;
    const std::string source = LargeScenario(3000, lines);
    ScenarioConverter converter;
    converter.Init(24, 3, {"", "ゆき", "はる"});
    for (auto _ : state) {
        converter.Assemble(source);
        benchmark::DoNotOptimize(converter.RegularScript());
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_ConvertAndWriteRegularScript)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelk
