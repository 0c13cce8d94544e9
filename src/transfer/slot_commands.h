#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/pager_image.h"

namespace harvelin::transfer {

// The commands that carry a text refuse one that breaks the rule of what
// the pager may hold (nullopt): a CR in it would end the frame, and what
// follows would reach the pager as a command of its own.

// ">Setze:%u %c" text "%c %03u %03u %03u %03u %03u Ende": the slot's text
// between STX and ETX, then b0 b1 b2 b3 and the suffix, always three digits,
// since the pager reads the numbers by position.
std::optional<std::string> callerSlotCommand(unsigned wireSlot, const CallerEntry& slot);

// ">Se-Kueche:%u %c" text "%c %03u %03u Ende": station first, then key.
std::optional<std::string> kitchenSlotCommand(unsigned wireSlot, const KitchenCallEntry& slot);

// ">Setze Adresstext:" name, ">Setze Text_Fernloeschung:" text.
std::optional<std::string> pagerNameCommand(std::string_view name);
std::optional<std::string> remoteDeleteTextCommand(std::string_view text);

}  // namespace harvelin::transfer
