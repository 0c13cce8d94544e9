#pragma once

#include <cstdint>
#include <string_view>

#include "model/limits.h"

namespace harvelin::transfer {

// What the read-out and the write have in common.

// Both start with a pause so the pager has finished whatever it was doing.
constexpr unsigned StartWaitMs = 300;
// ">@": the pager answers with its identification, which names its version.
constexpr std::string_view VersionCommand = ">@";

}  // namespace harvelin::transfer

namespace harvelin {

// One step of a read-out or a write, as the form names its fields.
struct TransferStep {
    enum class Kind : std::uint8_t {
        CallerSlot,
        KitchenSlot,
        RemoteDeleteMode,
        RemoteDeleteText,
        PagerName,
        BatteryDisplay,
        Buzzer
    };
    Kind kind = Kind::CallerSlot;
    unsigned slot = 0;  // the form's slot (1..32, 1..16) for the slot kinds
    bool operator==(const TransferStep&) const = default;
};

}  // namespace harvelin
