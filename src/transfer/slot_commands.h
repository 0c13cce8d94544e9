#pragma once

#include <string>

#include "model/pager_image.h"

namespace harvelin::transfer {

// ">Setze:%u %c" text "%c %03u %03u %03u %03u %03u Ende": the slot's text
// between STX and ETX, then b0 b1 b2 b3 and the suffix, always three digits,
// since the pager reads the numbers by position.
std::string callerSlotCommand(unsigned wireSlot, const CallerEntry& slot);

// ">Se-Kueche:%u %c" text "%c %03u %03u Ende": station first, then key.
std::string kitchenSlotCommand(unsigned wireSlot, const KitchenCallEntry& slot);

}  // namespace harvelin::transfer
