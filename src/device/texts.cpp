#include "device/texts.h"

namespace harvelin {

const TextTable& textTable(DeviceText)
{
    static constexpr CatalogueEntry Entries[] = {
#define HARVELIN_TEXT(id, german) {#id, german},
#include "device/texts.def"
#undef HARVELIN_TEXT
    };
    static const TextTable table{"device", Entries};
    return table;
}

}  // namespace harvelin
