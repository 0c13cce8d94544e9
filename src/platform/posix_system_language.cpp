#include "platform/system_language.h"

#include <cstdlib>

namespace harvelin {

std::string systemLanguageSetting()
{
    // LANGUAGE may name several languages, in the order the user prefers
    // them; it comes first, as it does for gettext.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return value;
    return {};
}

}  // namespace harvelin
