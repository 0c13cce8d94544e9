#include "transfer/texts.h"

namespace harvelin {

const TextTable& textTable(TransferText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "transfer/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"transfer", Entries};
    return table;
}

}  // namespace harvelin
