#pragma once

// The catalogue of the tool's texts: every label, message, question and note
// has an identifier, its German text and its text in every other language the
// tool speaks. Each part of the tool keeps its texts in a list of its own
// (a texts.def beside its code) with an enumeration of their identifiers:
//
//   enum class FormText : std::uint16_t { ... };       // ui/texts.h
//   const TextTable& textTable(FormText);               // ui/texts.cpp
//   localized(FormText::SearchButton)                   // "&Suche Zelvatron"
//   localized(FormText::SlotLine, {"7"})                // "%1" becomes "7"
//
// German is the language until one is chosen. The texts come out as
// Windows-1252 bytes, like every text inside the tool; the lists hold UTF-8.
// docs/languages.md says how a language is added.

#include <atomic>
#include <cstddef>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace harvelin {

// One text: its identifier and its German wording (UTF-8); the other
// languages' wordings are found by the identifier.
struct CatalogueEntry {
    std::string_view id;
    std::string_view german;
};

// The codes of the languages the tool speaks, German first.
std::span<const std::string_view> languages();

// Chooses the language of every text from now on; false, and nothing
// changes, for a code the tool does not speak. The programs choose once at
// start, before any thread of theirs starts.
bool chooseLanguage(std::string_view code);
// The code of the language chosen ("de" until one is).
std::string_view chosenLanguage();

// Chooses a language for as long as it lives, then puts back the one before
// (a run of the command line in process, a test).
class LanguageScope {
public:
    explicit LanguageScope(std::string_view code);
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    std::string before_;
};

// The language for what the system's settings say: a list of locale names
// as in LANGUAGE ("fr:de"), or one as in LANG ("en_US.UTF-8") or from
// Windows ("de-AT"). The first name whose language the tool speaks decides.
// German when nothing is set or the setting is the neutral "C"/"POSIX" one;
// English when every language named is one the tool does not speak.
std::string_view languageForSystem(std::string_view setting);

// The last value a program's command line gives to --language (also as
// --language=CODE), before "--"; none when it gives none. Looked for before
// any text of the program is made, as they are made in the language it names.
std::optional<std::string> languageAsked(int argc, const char* const* argv);

// `pattern` with %1 to %9 replaced by the arguments, in one pass: a "%"
// inside an argument stays as it is.
std::string withArguments(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// The texts of one part of the tool in every language, as Windows-1252
// bytes, made once on first use.
class TextTable {
public:
    // `list` names the list: its folder ("ui").
    TextTable(std::string_view list, std::span<const CatalogueEntry> entries) : list_(list), entries_(entries) {}

    std::string_view list() const { return list_; }
    std::span<const CatalogueEntry> entries() const { return entries_; }
    // The wording of a text in a language (UTF-8); nullopt when the
    // language has none for it yet, and the text is shown in German.
    std::optional<std::string_view> translation(std::size_t index, std::string_view code) const;
    // The text in the language chosen.
    std::string_view operator[](std::size_t index) const;
    // The same in UTF-8.
    std::string_view utf8(std::size_t index) const;

private:
    const std::vector<std::string>& inLanguage(std::size_t language) const;

    std::string_view list_;
    std::span<const CatalogueEntry> entries_;
    mutable std::mutex made_;
    mutable std::vector<std::vector<std::string>> byLanguage_;
};

// The text `id` in the language chosen. Each list's enumeration finds its
// table by textTable(Enum).
template <class Enum>
    requires std::is_enum_v<Enum>
std::string_view localized(Enum id)
{
    return textTable(Enum{})[static_cast<std::size_t>(id)];
}

// The same in UTF-8, for what leaves the tool as UTF-8 (a terminal, a page).
template <class Enum>
    requires std::is_enum_v<Enum>
std::string_view localizedUtf8(Enum id)
{
    return textTable(Enum{}).utf8(static_cast<std::size_t>(id));
}

template <class Enum>
    requires std::is_enum_v<Enum>
std::string localized(Enum id, std::initializer_list<std::string_view> arguments)
{
    return withArguments(localized(id), arguments);
}

// In UTF-8 with UTF-8 arguments: a terminal's line, a message about a UTF-8
// table, a page.
template <class Enum>
    requires std::is_enum_v<Enum>
std::string localizedUtf8(Enum id, std::initializer_list<std::string_view> arguments)
{
    return withArguments(localizedUtf8(id), arguments);
}

}  // namespace harvelin
