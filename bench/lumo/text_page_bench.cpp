// A page of the text window (470 by 94, size 21, lines 30 apart) laid out and
// typed one character at a time: today's Japanese in code page 932 with the
// converter's line breaks, against UTF-8 pages in English, Japanese, Arabic
// and mixed scripts that the engine shapes and wraps itself.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdint>
#include <string>

#include "lumo.h"

namespace {

void set(int32_t film, int32_t property, int32_t a, int32_t b = 0) {
    const int32_t value[2] = {a, b};
    SetFilmProp(film, property, value);
}

class Engine {
public:
    explicit Engine(int32_t encoding) {
        const int32_t rate = 1;  // the frame loop stays out of the measurement
        SetLumoSetting(LS_FRAME_RATE, &rate);
        SetLumoSetting(LS_TEXT_ENCODING, &encoding);
        InitializeLumo();
    }
    ~Engine() {
        TerminateLumo();
        const int32_t rate = 30;
        const int32_t cp932 = LUMO_TEXT_CP932;
        SetLumoSetting(LS_FRAME_RATE, &rate);
        SetLumoSetting(LS_TEXT_ENCODING, &cp932);
    }
};

std::string toCp932(const std::string& utf8) {
    iconv_t convert = iconv_open("CP932", "UTF-8");
    std::string out(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    iconv(convert, &in, &inLeft, &to, &outLeft);
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

// Story text as the host sends it: the letters that are marks escaped.
std::string escaped(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        if (c >= 'A' && c <= 'T') out += '\x1B';
        out += c;
    }
    return out;
}

const char* const kJapanese =
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所"
    "で";
const char* const kEnglish =
    "Sylvie opened the letter at last. \"Hi!\" it began, and she read it twice before the bell "
    "rang and the whole class turned to look.";
const char* const kArabic =
    "مرحبا بالعالم، هذا نص عربي فيه الرقم 2024 وكلمات أخرى كثيرة تملأ السطور الثلاثة من النافذة.";
const char* const kMixed =
    "The word سلام means peace; 平和 in Japanese (123 = ١٢٣), नमस्ते and Ελληνικά too.";

void typePage(benchmark::State& state, int32_t encoding, const std::string& page) {
    Engine engine(encoding);
    const int32_t text = AddFilm(FT_TEXT);
    set(text, FP_SIZE, 470, 94);
    set(text, FP_IMAGE_SIZE, 470, 94);
    set(text, FP_TEXT_SIZE, 21);
    set(text, FP_TEXT_PITCH, 21);
    set(text, FP_TEXT_LINE_PITCH, 30);
    int32_t length = 0;
    for (auto _ : state) {
        SetFilmProp(text, FP_TEXT_APPEND, nullptr);
        SetFilmProp(text, FP_TEXT_APPEND, page.c_str());
        GetFilmProp(text, FP_TEXT_LENGTH, &length);
        for (int32_t shown = 1; shown <= length; ++shown)
            set(text, FP_TEXT_SHOWN, shown);
    }
    state.SetItemsProcessed(state.iterations() * length);
}

void BM_TypePageJapaneseCp932(benchmark::State& state) {
    // The converter's forced breaks: 22 characters a line.
    std::string page;
    const std::string cp932 = toCp932(kJapanese);
    for (std::size_t i = 0; i < cp932.size(); i += 2) {
        page += cp932.substr(i, 2);
        if (i / 2 % 22 == 21) page += '\n';
    }
    typePage(state, LUMO_TEXT_CP932, page);
}
BENCHMARK(BM_TypePageJapaneseCp932)->Unit(benchmark::kMicrosecond);

void BM_TypePageJapaneseUtf8(benchmark::State& state) {
    typePage(state, LUMO_TEXT_UTF8, kJapanese);
}
BENCHMARK(BM_TypePageJapaneseUtf8)->Unit(benchmark::kMicrosecond);

void BM_TypePageEnglishUtf8(benchmark::State& state) {
    typePage(state, LUMO_TEXT_UTF8, escaped(kEnglish));
}
BENCHMARK(BM_TypePageEnglishUtf8)->Unit(benchmark::kMicrosecond);

void BM_TypePageArabicUtf8(benchmark::State& state) {
    typePage(state, LUMO_TEXT_UTF8, kArabic);
}
BENCHMARK(BM_TypePageArabicUtf8)->Unit(benchmark::kMicrosecond);

void BM_TypePageMixedUtf8(benchmark::State& state) {
    typePage(state, LUMO_TEXT_UTF8, escaped(kMixed));
}
BENCHMARK(BM_TypePageMixedUtf8)->Unit(benchmark::kMicrosecond);

}  // namespace
