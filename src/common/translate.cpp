#include "common/translate.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "common/file_io.h"
#include "common/text.h"

namespace zelk {

namespace {

// A catalogue of the player's few hundred texts is a few tens of kilobytes.
constexpr std::size_t kLargestCatalogue = 4 << 20;

std::string_view LanguagePart(std::string_view name) {
    return name.substr(0, name.find_first_of("_.@"));
}

// Whether the player has a catalogue for the locale name's language.
bool HasCatalogue(std::string_view name) {
    const std::string language = ToLowerAscii(LanguagePart(name));
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
    const std::string language = ToLowerAscii(LanguagePart(name));
    if (language == "ja") return UiLanguage::kJapanese;
    if (language.empty() || language == "c" || language == "posix") return UiLanguage::kBuiltIn;
    return UiLanguage::kEnglish;
}

UiLanguage LanguageFromEnvironment(const EnvironmentLookup& lookup) {
    if (const char* list = lookup("LANGUAGE"); list && *list) {
        std::string first;
        for (const std::string& entry : SplitText(list, ":")) {
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
    const std::string value = ToLowerAscii(setting);
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
        std::string why = "missing";
        if (const auto bytes = ReadFileBytes(path, kLargestCatalogue)) {
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
