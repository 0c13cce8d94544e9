#include "ui/texts.h"

namespace harvelin {

const TextTable& textTable(FormText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "ui/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"ui", Entries};
    return table;
}

}  // namespace harvelin
