#include "model/texts.h"

namespace harvelin {

const TextTable& textTable(ModelText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "model/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"model", Entries};
    return table;
}

}  // namespace harvelin
