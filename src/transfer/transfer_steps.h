#pragma once

#include <string_view>

#include "model/limits.h"

namespace harvelin::transfer {

// What the read-out and the write have in common.

// Both start with a pause so the pager has finished whatever it was doing.
constexpr unsigned StartWaitMs = 300;
// ">@": the pager answers with its identification, which names its version.
constexpr std::string_view VersionCommand = ">@";

}  // namespace harvelin::transfer
