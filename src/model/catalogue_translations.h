#pragma once

// The texts of every language beside German, made by the build from
// translations/harvelin_LANG.ts (scripts/lib/translation-table.py).

#include <span>
#include <string_view>

namespace harvelin {

// A text's identifier ("ui.SearchButton": its list's folder, then its own)
// and its wording.
struct Translation {
    std::string_view id;
    std::string_view text;
};

struct TranslatedLanguage {
    std::string_view code;
    std::span<const Translation> texts;  // sorted by identifier
};

std::span<const TranslatedLanguage> translatedLanguages();

}  // namespace harvelin
