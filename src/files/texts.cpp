#include "files/texts.h"

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

}  // namespace harvelin
