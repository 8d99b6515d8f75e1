// How fast scenarios convert (lines per second) and how fast the step loop
// runs instructions when nothing waits (skip mode).
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "interpreter/interpreter.h"
#include "interpreter/interpreter_host.h"
#include "scenario/scenario_converter.h"
#include "settings/ini_file.h"

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

// The player in skip mode that never stops: read marks, menus and events
// cost what a plain call costs.
class SkippingHost : public InterpreterHost {
public:
    SkippingHost() {
        systemInfo.Text(
            "[TextBlock]\r\nCharCount=20\r\nLineCount=3\r\n[Instruction]\r\n"
            "let\t*\t*\r\nup\t*\t%\r\nadd\t*\t*\t*\r\nif\t*\t%\t%\r\nwait\r\n");
        saveData.KeySection("Var").Text("i=0\r\nj=0");
    }
    INIFile* SystemInfo() override { return &systemInfo; }
    INISection* GameVariables() override { return &saveData.KeySection("Var"); }
    INISection* SharedVariables() override { return nullptr; }
    std::optional<std::string> ReadArchiveText(const std::string&) override { return script; }
    long Msg(const std::string&, long) override { return 1; }
    bool IsDebugMode() override { return false; }
    bool CtrlSkipHeld() override { return false; }
    void ProcessPendingEvents() override {}
    void EventEnabled(bool) override {}
    void MenuEnableByText(const std::string&) override {}
    bool IsSkipMode() override { return true; }
    void IsSkipMode(bool) override {}
    bool IsReplayMode() override { return false; }
    void MakeAutoClickTimer(long) override {}
    bool ConfigBool(const std::string&) override { return false; }
    void CloseVell() override {}
    bool CmdExists(const std::string&, long) override { return true; }
    void AddCmdHistory(const std::string&, long) override {}
    bool DrawActivity() override { return true; }
    void CursorVisible(bool) override {}
    void TextVisible(bool) override {}
    INISection* IntprtStatus() override { return nullptr; }
    void Log(const std::string&) override {}
    void SaveLog() override {}

    INIFile systemInfo;
    INIFile saveData;
    std::string script;
};

void BM_StepLoopInSkipMode(benchmark::State& state) {
    const long rounds = state.range(0);
    SkippingHost host;
    host.script = "let\ti\t0\r\nloop:up\ti\r\nadd\tj\ti\t1\r\nif\ti < " + std::to_string(rounds) +
                  "\tloop\r\nwait";
    clsInterpreter intprt(host);
    intprt.Init();
    intprt.OverrideCommand("wait", [](clsInterpreter& i) { i.WaitMode(kWaitClick); });
    const long instructions = 1 + 3 * rounds + 1;
    for (auto _ : state) {
        intprt.GoLabel("main.");
        intprt.StepNext();
    }
    state.SetItemsProcessed(state.iterations() * instructions);
}
BENCHMARK(BM_StepLoopInSkipMode)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelk
