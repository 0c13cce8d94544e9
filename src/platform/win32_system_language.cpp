#include "platform/system_language.h"

#include <windows.h>

namespace harvelin {

std::string systemLanguageSetting()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    const int length = LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0);
    std::string setting;
    // Locale names are ASCII ("de-DE").
    for (int i = 0; i + 1 < length; ++i)
        setting += static_cast<char>(name[i]);
    return setting;
}

}  // namespace harvelin
