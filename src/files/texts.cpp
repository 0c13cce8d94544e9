#include "files/texts.h"

#include "model/win1252.h"

namespace harvelin {

const TextTable& textTable(FilesText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "files/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"files", Entries};
    return table;
}

std::string utf8Text(FilesText id, std::initializer_list<std::string_view> arguments)
{
    return withArguments(win1252ToUtf8(localized(id)), arguments);
}

}  // namespace harvelin
