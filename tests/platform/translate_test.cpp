// The language of the player's own texts: which one the environment asks
// for (read from the variables, so a locale never generated still counts),
// the reader's choice over it, catalogues found, missing or broken, and
// the shipped catalogues against the texts the program shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "common/temp_folder.h"
#include "platform/message_catalogue.h"
#include "platform/mo_writer.h"
#include "platform/translate.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

using Lang = UiLanguage;

// An environment of the test's own.
EnvironmentLookup Environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        const auto found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    };
}

// The process's translator back on the built-in texts when a test ends.
struct BuiltInAfter {
    ~BuiltInAfter() { Translator::Instance().Use(UiLanguage::kBuiltIn, ""); }
};

void WriteCatalogue(const std::string& folder, const char* language, const std::string& bytes) {
    const fs::path path = fs::path(folder) / language / "LC_MESSAGES" / "zelk.mo";
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(UiLanguage, ALocaleNameChoosesByItsLanguageAlone) {
    for (const char* name : {"ja_JP.UTF-8", "ja_JP.eucJP", "ja", "ja_JP@mod"})
        EXPECT_EQ(LanguageOfLocale(name), Lang::kJapanese) << name;
    for (const char* name : {"C", "POSIX", "C.UTF-8", "C.utf8", ""})
        EXPECT_EQ(LanguageOfLocale(name), Lang::kBuiltIn) << name;
    // English, and every language without a catalogue of its own.
    for (const char* name : {"en_US.UTF-8", "en_GB.UTF-8", "en", "de_DE.UTF-8", "fr", "ko_KR.UTF-8",
                             "japanese", "Cy_GB"})
        EXPECT_EQ(LanguageOfLocale(name), Lang::kEnglish) << name;
}

TEST(UiLanguage, TheFirstSetVariableDecidesInTheDesktopsOrder) {
    EXPECT_EQ(LanguageFromEnvironment(Environment({})), Lang::kBuiltIn);
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LANG", "en_GB.UTF-8"}})), Lang::kEnglish);
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LANG", "C.UTF-8"}})), Lang::kBuiltIn);
    EXPECT_EQ(LanguageFromEnvironment(
                  Environment({{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}})),
              Lang::kJapanese);
    EXPECT_EQ(LanguageFromEnvironment(Environment(
                  {{"LC_ALL", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "ja"}})),
              Lang::kEnglish);
    EXPECT_EQ(LanguageFromEnvironment(
                  Environment({{"LANGUAGE", "ja"}, {"LC_ALL", "en_US.UTF-8"}, {"LANG", "C"}})),
              Lang::kJapanese);
    // The C locale set over a desktop's language is the C locale.
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}})),
              Lang::kBuiltIn);
    // An empty variable is no choice.
    EXPECT_EQ(LanguageFromEnvironment(Environment(
                  {{"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "en_US"}})),
              Lang::kEnglish);
}

TEST(UiLanguage, LanguageIsAListOfPreferences) {
    // The first entry the player has a catalogue for.
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LANGUAGE", "fr:ja:en"}})), Lang::kJapanese);
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LANGUAGE", "en_GB:en:ja"}})), Lang::kEnglish);
    // None of them: as its first entry.
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LANGUAGE", "fr:de"}})), Lang::kEnglish);
    // A list of nothing is no choice.
    EXPECT_EQ(LanguageFromEnvironment(Environment({{"LANGUAGE", "::"}, {"LANG", "ja_JP.UTF-8"}})),
              Lang::kJapanese);
}

TEST(UiLanguage, TheReadersSettingOverridesOnlyWithALanguage) {
    EXPECT_EQ(LanguageOfSetting("ja"), Lang::kJapanese);
    EXPECT_EQ(LanguageOfSetting("EN"), Lang::kEnglish);
    EXPECT_EQ(LanguageOfSetting("auto"), std::nullopt);
    EXPECT_EQ(LanguageOfSetting(""), std::nullopt);
    EXPECT_EQ(LanguageOfSetting("klingon"), std::nullopt);
}

TEST(Translator, ShowsTheChosenCatalogueAndSwitchesAtOnce) {
    const BuiltInAfter restore;
    const testing::TempFolder folder;
    WriteCatalogue(folder.Path(), "en",
                   testing::MoBytes({{"ファイル", "File"},
                                     {"セーブ %s を書けません", "cannot write the save %s"},
                                     {"壊れた %s %s", "broken %s"}}));
    Translator& translator = Translator::Instance();
    const char* const original = "ファイル";
    EXPECT_EQ(std::string(Tr(original)), "ファイル");
    ASSERT_TRUE(translator.Use(Lang::kEnglish, folder.Path()));
    EXPECT_EQ(translator.Language(), Lang::kEnglish);
    const char* shown = Tr(original);
    EXPECT_EQ(std::string(shown), "File");
    EXPECT_EQ(std::string(Tr("ヘルプ")), "ヘルプ");
    EXPECT_EQ(TrFormat("セーブ %s を書けません", {"3"}), "cannot write the save 3");
    // A translation that lost a value is not used.
    EXPECT_EQ(TrFormat("壊れた %s %s", {"a", "b"}), "壊れた a b");

    // Back to the built-in texts and again: the catalogue is read once, and
    // the text handed out before stays valid.
    translator.Use(Lang::kBuiltIn, folder.Path());
    EXPECT_EQ(std::string(Tr(original)), "ファイル");
    fs::remove_all(folder.Path() + "/en");
    ASSERT_TRUE(translator.Use(Lang::kEnglish, folder.Path()));
    EXPECT_EQ(std::string(Tr(original)), "File");
    EXPECT_EQ(std::string(shown), "File");
}

TEST(Translator, AMissingOrBrokenCatalogueLeavesTheBuiltInTexts) {
    const BuiltInAfter restore;
    const testing::TempFolder folder;
    Translator& translator = Translator::Instance();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(translator.Use(Lang::kJapanese, folder.Path()));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("ja/LC_MESSAGES/zelk.mo"), std::string::npos) << said;
    EXPECT_EQ(translator.Language(), Lang::kBuiltIn);
    EXPECT_EQ(std::string(Tr("ファイル")), "ファイル");

    std::string broken = testing::MoBytes({{"ファイル", "File"}});
    broken.resize(broken.size() - 6);
    WriteCatalogue(folder.Path(), "en", broken);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(translator.Use(Lang::kEnglish, folder.Path()));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("run past its end"), std::string::npos);
    EXPECT_EQ(std::string(Tr("ファイル")), "ファイル");
    EXPECT_EQ(TrFormat("%s is already open", {"/game"}), "/game is already open");
}

TEST(Translator, TheFolderNamedInTheEnvironmentWins) {
    ::setenv("ZELK_LOCALEDIR", "/somewhere/locale", 1);
    EXPECT_EQ(CatalogueFolder(), "/somewhere/locale");
    ::unsetenv("ZELK_LOCALEDIR");
    // Else beside the program: the build's bin/ and share/ as installed.
    EXPECT_TRUE(CatalogueFolder().ends_with("/../share/locale")) << CatalogueFolder();
}

// [SECTION] The shipped catalogues

std::optional<std::string> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::optional<MessageCatalogue> Shipped(const char* language) {
    const auto bytes = ReadAll(fs::path(ZELK_BIN_DIR) / ".." / "share" / "locale" / language /
                               "LC_MESSAGES" / "zelk.mo");
    if (!bytes) return std::nullopt;
    return MessageCatalogue::Parse(*bytes);
}

TEST(ShippedCatalogues, EveryTextTheProgramShowsHasAnEnglishAndAJapaneseEntry) {
    const auto english = Shipped("en");
    const auto japanese = Shipped("ja");
    if (!english || !japanese) GTEST_SKIP() << "the catalogues are not built (no msgfmt)";
    EXPECT_EQ(*english->Find("ファイル"), "File");
    EXPECT_EQ(*japanese->Find("ファイル"), "ファイル");
    // The literal of every Tr, TrMark and TrFormat in the sources.
    const std::regex marked(R"re(\bTr(?:Mark|Format)?\("((?:[^"\\]|\\.)*)"\s*[,)])re");
    std::size_t found = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZELK_SOURCE_DIR) / "src")) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        const std::string text = ReadAll(entry.path()).value_or("");
        for (std::sregex_iterator it(text.begin(), text.end(), marked), end; it != end; ++it) {
            const std::string original = (*it)[1].str();
            if (original.find('\\') != std::string::npos || original == "%s") continue;
            ++found;
            EXPECT_NE(english->Find(original), nullptr) << entry.path() << ": " << original;
            EXPECT_NE(japanese->Find(original), nullptr) << entry.path() << ": " << original;
        }
    }
    EXPECT_GT(found, 100u);
}

// One entry of a catalogue's source, its texts as the file quotes them.
struct PoEntry {
    std::string original;
    std::string translation;
    bool fuzzy = false;
};

// The live entries of a .po file written without wrapping (as po/update.sh
// writes them), the header left out.
std::map<std::string, PoEntry> ReadPo(const fs::path& path) {
    std::map<std::string, PoEntry> entries;
    std::istringstream in(ReadAll(path).value_or(""));
    PoEntry entry;
    std::string line;
    const auto quoted = [](const std::string& text, std::size_t from) {
        return text.substr(from + 1, text.size() - from - 2);
    };
    while (std::getline(in, line)) {
        if (line.starts_with("#,") && line.find("fuzzy") != std::string::npos) entry.fuzzy = true;
        if (line.starts_with("msgid \"")) entry.original = quoted(line, 6);
        if (line.starts_with("msgstr \"")) {
            entry.translation = quoted(line, 7);
            if (!entry.original.empty()) entries[entry.original] = entry;
            entry = PoEntry{};
        }
    }
    return entries;
}

std::size_t Placeholders(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + 2))
        ++count;
    return count;
}

TEST(CatalogueSources, EveryTextIsTranslatedInEachLanguageWithItsPlaceholders) {
    const fs::path po = fs::path(ZELK_SOURCE_DIR) / "po";
    const auto gathered = ReadPo(po / "zelk.pot");
    ASSERT_GT(gathered.size(), 200u);
    for (const char* language : {"en", "ja"}) {
        SCOPED_TRACE(language);
        const auto entries = ReadPo(po / (std::string(language) + ".po"));
        EXPECT_EQ(entries.size(), gathered.size()) << "run po/update.sh";
        for (const auto& [original, entry] : entries) {
            EXPECT_TRUE(gathered.contains(original)) << "no longer in the sources: " << original;
            EXPECT_FALSE(entry.fuzzy) << original;
            EXPECT_FALSE(entry.translation.empty()) << original;
            EXPECT_EQ(Placeholders(entry.translation), Placeholders(original)) << original;
        }
    }
    // Every text marked in the sources was gathered (po/update.sh was run).
    const std::regex marked(R"re(\bTr(?:Mark|Format)?\("((?:[^"\\]|\\.)*)"\s*[,)])re");
    for (const auto& file : fs::recursive_directory_iterator(fs::path(ZELK_SOURCE_DIR) / "src")) {
        const std::string ext = file.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        const std::string text = ReadAll(file.path()).value_or("");
        for (std::sregex_iterator it(text.begin(), text.end(), marked), end; it != end; ++it) {
            const std::string original = (*it)[1].str();
            if (original == "%s") continue;
            EXPECT_TRUE(gathered.contains(original)) << file.path() << ": " << original;
        }
    }
}

}  // namespace
}  // namespace zelk
