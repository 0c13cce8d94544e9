#pragma once

#include <string_view>

namespace harvelin::transfer {

// What the read-out and the write have in common.

// Both start with a pause so the pager has finished whatever it was doing.
constexpr unsigned StartWaitMs = 300;
// ">@": the pager answers with its identification, which names its version.
constexpr std::string_view VersionCommand = ">@";
constexpr unsigned KitchenSlots = 16;
// The progress bar counts the steps of a full pager, or of one with 16 slots.
constexpr int FullProgressMax = 52;
constexpr int SmallProgressMax = 18;

}  // namespace harvelin::transfer
