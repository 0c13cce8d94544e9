#include "link/texts.h"

namespace harvelin {

const TextTable& textTable(LinkText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "link/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"link", Entries};
    return table;
}

}  // namespace harvelin
