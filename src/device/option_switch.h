#pragma once

#include <cstdint>
#include <string>

#include "link/serial_link.h"

namespace harvelin {

// How the pager took an option switch.
enum class SwitchAnswer : std::uint8_t {
    Confirmed,   // taken over (and no late reply made that doubtful)
    WrongPager,  // "Falscher Pager": the name the switch carried is not this pager's
    Refused,     // never confirmed: silence, a refusal, or an answer of another kind
};

struct SwitchResult {
    SwitchAnswer answer = SwitchAnswer::Refused;
    // The pager's last answer that did not confirm the switch, as it came;
    // empty when it said nothing.
    std::string reply;
    bool confirmed() const { return answer == SwitchAnswer::Confirmed; }
};

// Sends one option switch (its command text with the pager's name).
SwitchResult sendOptionSwitch(SerialLink& link, const std::string& command);

}  // namespace harvelin
