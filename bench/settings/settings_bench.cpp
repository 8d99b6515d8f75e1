// The text foundation under every settings file and scenario: code page
// conversion, the per-character width test, and the INI model on a file the
// size of a large save slot.
#include <benchmark/benchmark.h>

#include <string>

#include "common/codepage.h"
#include "common/utf8.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace {

std::string StoryText(std::size_t characters) {
    const std::string sample = "「今日は、いい天気ですね。」ABCｱｲｳ123\r\n";
    std::string text;
    while (zelk::Utf8Length(text) < characters)
        text += sample;
    return text;
}

// A save document: status sections of a few hundred keys each.
std::string SaveDocument() {
    std::string text;
    for (int section = 0; section < 6; ++section) {
        text += "[Section" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 300; ++key)
            text += "  Key" + std::to_string(key) + " = value " + std::to_string(key) + " ; c\r\n";
    }
    return text;
}

void BM_IsDoubleByteChar(benchmark::State& state) {
    const std::u32string text = zelk::DecodeUtf8(StoryText(4096));
    for (auto _ : state) {
        int count = 0;
        for (char32_t c : text)
            count += zelk::IsDoubleByteChar(c) ? 1 : 0;
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_IsDoubleByteChar);

void BM_Cp932RoundTrip(benchmark::State& state) {
    const std::string text = StoryText(64 * 1024);
    for (auto _ : state) {
        const std::string bytes = zelk::Utf8ToCp932Lossy(text);
        benchmark::DoNotOptimize(zelk::Cp932ToUtf8Lossy(bytes));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Cp932RoundTrip);

void BM_IniParseAndWriteBack(benchmark::State& state) {
    const std::string text = SaveDocument();
    for (auto _ : state) {
        zelk::INIFile ini;
        ini.Text(text);
        benchmark::DoNotOptimize(ini.Text());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_IniParseAndWriteBack);

void BM_IniKeyLookups(benchmark::State& state) {
    zelk::INIFile ini;
    ini.Text(SaveDocument());
    zelk::INISection& section = ini.KeySection("section3");
    for (auto _ : state) {
        for (int key = 0; key < 300; key += 7)
            benchmark::DoNotOptimize(section.KeyValue("KEY" + std::to_string(key)));
    }
}
BENCHMARK(BM_IniKeyLookups);

void BM_Scramble(benchmark::State& state) {
    const std::string text = SaveDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(zelk::UnscrambleText(zelk::ScrambleText(text)));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Scramble);

}  // namespace
