#include "cli/texts.h"

namespace harvelin {

const TextTable& textTable(CliText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "cli/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"cli", Entries};
    return table;
}

namespace cli {

std::string said(CliText id, std::initializer_list<std::string_view> arguments)
{
    return localizedUtf8(id, arguments);
}

}  // namespace cli

}  // namespace harvelin
