#include "model/catalogue.h"

#include <algorithm>
#include <vector>

#include "model/catalogue_translations.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

// German, then the languages of the .ts files the build was given.
const std::vector<std::string_view>& allLanguages()
{
    static const std::vector<std::string_view> codes = [] {
        std::vector<std::string_view> made{"de"};
        for (const TranslatedLanguage& language : translatedLanguages())
            made.push_back(language.code);
        return made;
    }();
    return codes;
}

std::atomic<std::size_t> chosen{0};

std::size_t indexOf(std::string_view code)
{
    const auto& codes = allLanguages();
    return static_cast<std::size_t>(std::find(codes.begin(), codes.end(), code) - codes.begin());
}

// "de_AT.UTF-8@euro" and "de-AT" -> "de"; "C.UTF-8" -> "C".
std::string_view languagePart(std::string_view locale)
{
    return locale.substr(0, locale.find_first_of("_-.@"));
}

}  // namespace

std::span<const std::string_view> languages() { return allLanguages(); }

bool chooseLanguage(std::string_view code)
{
    const std::size_t index = indexOf(code);
    if (index == allLanguages().size())
        return false;
    chosen = index;
    return true;
}

std::string_view chosenLanguage() { return allLanguages()[chosen]; }

LanguageScope::LanguageScope(std::string_view code) : before_(chosenLanguage()) { chooseLanguage(code); }

LanguageScope::~LanguageScope() { chooseLanguage(before_); }

std::string_view languageForSystem(std::string_view setting)
{
    bool named = false;
    while (!setting.empty()) {
        const std::size_t colon = setting.find(':');
        const std::string_view language = languagePart(setting.substr(0, colon));
        setting = colon == std::string_view::npos ? std::string_view{} : setting.substr(colon + 1);
        if (language.empty() || language == "C" || language == "POSIX")
            continue;
        named = true;
        if (indexOf(language) != allLanguages().size())
            return allLanguages()[indexOf(language)];
    }
    return named ? std::string_view{"en"} : std::string_view{"de"};
}

std::optional<std::string> languageAsked(int argc, const char* const* argv)
{
    constexpr std::string_view Option = "--language";
    std::optional<std::string> asked;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == Option && i + 1 < argc)
            asked = argv[++i];
        else if (arg.starts_with(Option) && arg.size() > Option.size() && arg[Option.size()] == '=')
            asked = std::string(arg.substr(Option.size() + 1));
    }
    return asked;
}

std::string withArguments(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t argument = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && argument < arguments.size()) {
            text += arguments.begin()[argument];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string_view TextTable::operator[](std::size_t index) const { return inLanguage(chosen)[index]; }

std::string_view TextTable::utf8(std::size_t index) const
{
    return translation(index, chosenLanguage()).value_or(entries_[index].german);
}

std::optional<std::string_view> TextTable::translation(std::size_t index, std::string_view code) const
{
    const CatalogueEntry& entry = entries_[index];
    if (code == "de")
        return entry.german;
    for (const TranslatedLanguage& language : translatedLanguages()) {
        if (language.code != code)
            continue;
        const std::string id = std::string(list_) + '.' + std::string(entry.id);
        const auto found = std::lower_bound(language.texts.begin(), language.texts.end(), id,
                                            [](const Translation& t, const std::string& key) { return t.id < key; });
        if (found != language.texts.end() && found->id == id)
            return found->text;
    }
    return std::nullopt;
}

const std::vector<std::string>& TextTable::inLanguage(std::size_t language) const
{
    std::lock_guard lock(made_);
    if (byLanguage_.empty())
        byLanguage_.resize(allLanguages().size());
    std::vector<std::string>& texts = byLanguage_[language];
    if (texts.empty())
        for (std::size_t i = 0; i < entries_.size(); ++i)
            texts.push_back(win1252(translation(i, allLanguages()[language]).value_or(entries_[i].german)));
    return texts;
}

}  // namespace harvelin
