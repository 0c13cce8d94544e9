#include "model/configuration.h"

#include "model/win1252.h"

namespace harvelin {

PagerConfiguration startConfiguration()
{
    PagerConfiguration config;
    for (std::size_t k = 0; k < KitchenSlots; ++k) {
        KitchenCallEntry& slot = config.image.kitchenCalls[k];
        slot.text.assign("Station " + std::to_string(k + 1));
        slot.key = static_cast<std::uint8_t>(k + 1);
        slot.station = 1;
    }
    config.pagerName = "Pager:A";
    config.remoteDeleteText = win1252("  Fernlöschung  ");
    return config;
}

}  // namespace harvelin
