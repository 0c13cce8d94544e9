#include "model/catalogue.h"

#include <array>

#include "model/win1252.h"

namespace harvelin {

namespace {

constexpr std::array<std::string_view, 2> Languages{"de", "en"};

std::atomic<std::size_t> chosen{0};

std::size_t indexOf(std::string_view code)
{
    for (std::size_t i = 0; i < Languages.size(); ++i)
        if (Languages[i] == code)
            return i;
    return Languages.size();
}

std::string_view wording(const CatalogueEntry& entry, std::size_t language)
{
    return language == 0 ? entry.german : entry.english;
}

// "de_AT.UTF-8@euro" and "de-AT" -> "de"; "C.UTF-8" -> "C".
std::string_view languagePart(std::string_view locale)
{
    return locale.substr(0, locale.find_first_of("_-.@"));
}

}  // namespace

std::span<const std::string_view> languages() { return Languages; }

bool chooseLanguage(std::string_view code)
{
    const std::size_t index = indexOf(code);
    if (index == Languages.size())
        return false;
    chosen = index;
    return true;
}

std::string_view chosenLanguage() { return Languages[chosen]; }

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
        if (indexOf(language) != Languages.size())
            return Languages[indexOf(language)];
    }
    return named ? std::string_view{"en"} : Languages[0];
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

const std::vector<std::string>& TextTable::inLanguage(std::size_t language) const
{
    std::lock_guard lock(made_);
    if (byLanguage_.empty())
        byLanguage_.resize(Languages.size());
    std::vector<std::string>& texts = byLanguage_[language];
    if (texts.empty())
        for (const CatalogueEntry& entry : entries_)
            texts.push_back(win1252(wording(entry, language)));
    return texts;
}

}  // namespace harvelin
