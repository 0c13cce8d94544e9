#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/serial_link.h"
#include "platform/clock.h"

namespace harvelin {

// What the repeater said about itself, read through the pager.
struct RepeaterStatus {
    // The last status read gave a status number.
    bool reported = false;
    // "HH:MM", or "Error" when the reply carried no valid time; none: no
    // read gave a status number, the form keeps what it shows.
    std::optional<std::string> repeaterTime;
    // The system's time when the repeater's was read, "HH:MM".
    std::optional<std::string> systemTime;
};

RepeaterStatus readRepeaterStatus(SerialLink& link, Clock& clock);

struct ClockSetResult {
    // The repeater confirmed the time (and no late reply made that doubtful).
    bool confirmed = false;
    // The time sent, "HH:MM", as the repeater's display shows it.
    std::string sentTime;
};

// Called with the time about to be sent ("HH:MM"), so the form shows it; the
// line stays quiet for a second afterwards, so what it shows is painted
// before the line is busy.
using ShowSentTime = std::function<void(const std::string& time)>;

// Sets the repeater's clock to the system's time. The form's timer must be
// stopped meanwhile: no keep-alive byte may come between the command's bytes.
ClockSetResult setRepeaterClock(SerialLink& link, Clock& clock, const ShowSentTime& showSentTime);

}  // namespace harvelin
