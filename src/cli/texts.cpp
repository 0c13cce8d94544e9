#include "cli/texts.h"

#include "model/win1252.h"

namespace harvelin {

const TextTable& textTable(CliText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german, english) {#id, german, english},
#include "cli/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"cli", Entries};
    return table;
}

namespace cli {

std::string said(CliText id, std::initializer_list<std::string_view> arguments)
{
    return withArguments(win1252ToUtf8(localized(id)), arguments);
}

}  // namespace cli

}  // namespace harvelin
