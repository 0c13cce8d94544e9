#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/serial_link.h"
#include "transfer/attempts.h"

namespace harvelin::transfer {

// What the pager says of itself when asked ">@".
struct PagerVersion {
    std::string text;          // as the pager writes it ("2.10")
    unsigned callerSlots = 0;  // 16 or 32
};

// How often ">@" goes out: until a reply names the version (the read-out),
// or every attempt, the last reply that names one deciding (the write).
enum class VersionAsking : std::uint8_t { UntilNamed, EveryAttempt };

// The version query, for every operation that asks it: at most `attempts`
// exchanges, counted as one step of `silence`.
std::optional<PagerVersion> askVersion(SerialLink& link, VersionAsking how, int attempts, SilenceWatch& silence);

}  // namespace harvelin::transfer
