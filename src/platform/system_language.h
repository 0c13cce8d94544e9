#pragma once

#include <string>

namespace harvelin {

// What the system's settings say about the language of programs, for
// languageForSystem(): on Linux the first of LANGUAGE, LC_ALL, LC_MESSAGES
// and LANG that is set, on Windows the user's interface language ("de-DE").
// Empty when none is set.
std::string systemLanguageSetting();

}  // namespace harvelin
