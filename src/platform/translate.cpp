#include "platform/translate.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zelk {

namespace {

// A catalogue of the player's few hundred texts is a few tens of kilobytes.
constexpr std::size_t kLargestCatalogue = 4 << 20;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// The language of a locale name ("ja_JP.UTF-8" -> "ja"), in small letters.
std::string LanguagePart(std::string_view name) {
    return Lower(name.substr(0, name.find_first_of("_.@")));
}

// The bytes of a regular file no larger than the limit; nothing else (a
// FIFO named in the variable is never waited on).
std::optional<std::string> ReadCatalogueFile(const std::string& path, std::string& why) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        why = "missing";
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kLargestCatalogue) {
        why = error ? error.message() : "too large for a message catalogue";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        why = "unreadable";
        return std::nullopt;
    }
    return bytes;
}

// Whether the player has a catalogue for the locale name's language.
bool HasCatalogue(std::string_view name) {
    const std::string language = LanguagePart(name);
    return language == "ja" || language == "en";
}

std::size_t CountPlaceholders(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("%s"); at != std::string_view::npos;
         at = text.find("%s", at + 2))
        ++count;
    return count;
}

}  // namespace

UiLanguage LanguageOfLocale(std::string_view name) {
    const std::string language = LanguagePart(name);
    if (language == "ja") return UiLanguage::kJapanese;
    if (language.empty() || language == "c" || language == "posix") return UiLanguage::kBuiltIn;
    return UiLanguage::kEnglish;
}

UiLanguage LanguageFromEnvironment(const EnvironmentLookup& lookup) {
    if (const char* list = lookup("LANGUAGE"); list && *list) {
        std::string_view rest = list;
        std::string first;
        while (!rest.empty()) {
            const std::string entry(rest.substr(0, rest.find(':')));
            rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
            if (entry.empty()) continue;
            if (HasCatalogue(entry)) return LanguageOfLocale(entry);
            if (first.empty()) first = entry;
        }
        if (!first.empty()) return LanguageOfLocale(first);
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value && *value) return LanguageOfLocale(value);
    }
    return UiLanguage::kBuiltIn;
}

std::optional<UiLanguage> LanguageOfSetting(std::string_view setting) {
    const std::string value = Lower(setting);
    if (value == "ja") return UiLanguage::kJapanese;
    if (value == "en") return UiLanguage::kEnglish;
    return std::nullopt;
}

const char* CatalogueName(UiLanguage language) {
    switch (language) {
        case UiLanguage::kJapanese:
            return "ja";
        case UiLanguage::kEnglish:
            return "en";
        case UiLanguage::kBuiltIn:
            break;
    }
    return "";
}

std::string CatalogueFolder() {
    if (const char* named = std::getenv("ZELK_LOCALEDIR"); named && *named) return named;
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "/usr/share/locale";
    const std::string exe(self, static_cast<std::size_t>(length));
    return exe.substr(0, exe.find_last_of('/')) + "/../share/locale";
}

Translator& Translator::Instance() {
    static Translator translator;
    return translator;
}

bool Translator::Use(UiLanguage language, const std::string& folder) {
    if (language == UiLanguage::kBuiltIn) {
        mLanguage = language;
        mShown = nullptr;
        return true;
    }
    const std::string path = folder + "/" + CatalogueName(language) + "/LC_MESSAGES/zelk.mo";
    auto loaded = mLoaded.find(path);
    if (loaded == mLoaded.end()) {
        std::unique_ptr<MessageCatalogue> catalogue;
        std::string why;
        if (const auto bytes = ReadCatalogueFile(path, why)) {
            if (auto parsed = MessageCatalogue::Parse(*bytes, &why))
                catalogue = std::make_unique<MessageCatalogue>(std::move(*parsed));
        }
        if (!catalogue) {
            std::fprintf(stderr,
                         "zelk: cannot read the message catalogue %s (%s); built-in texts shown\n",
                         path.c_str(), why.c_str());
        }
        loaded = mLoaded.emplace(path, std::move(catalogue)).first;
    }
    mShown = loaded->second.get();
    mLanguage = mShown ? language : UiLanguage::kBuiltIn;
    return mShown != nullptr;
}

const char* Translator::Text(const char* original) const {
    if (!mShown || original == nullptr) return original;
    const std::string* text = mShown->Find(original);
    return text ? text->c_str() : original;
}

void UseLanguageSetting(std::string_view setting) {
    const auto environment = [](const char* name) -> const char* { return std::getenv(name); };
    const std::optional<UiLanguage> chosen = LanguageOfSetting(setting);
    Translator::Instance().Use(chosen ? *chosen : LanguageFromEnvironment(environment),
                               CatalogueFolder());
}

const char* Tr(const char* original) {
    return Translator::Instance().Text(original);
}

std::string TrFormat(const char* original, std::initializer_list<std::string_view> values) {
    std::string_view text = Tr(original);
    if (CountPlaceholders(text) != CountPlaceholders(original)) text = original;
    std::string out;
    const auto* value = values.begin();
    std::size_t from = 0;
    for (std::size_t at = text.find("%s"); at != std::string_view::npos;
         at = text.find("%s", from)) {
        out.append(text.substr(from, at - from));
        if (value != values.end()) {
            out.append(*value++);
        } else {
            out.append("%s");
        }
        from = at + 2;
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace zelk
