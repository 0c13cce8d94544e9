#include "device/repeater_clock.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "device/texts.h"
#include "model/configuration_rule.h"

namespace harvelin {

namespace {

// The repeater is reached through the pager: "Repeatertest" makes the pager
// ask the repeater for its status, which "Lese Repeaterstatus" then returns.
constexpr std::string_view RepeaterTestCommand = ">Setze Repeatertest:1";
constexpr std::string_view RepeaterStatusCommand = ">Lese Repeaterstatus";
constexpr std::string_view RepeaterAck = "uebernommen";
constexpr std::string_view StatusMarker = "aktuell";
constexpr int RepeaterTestAttempts = 5;
// Always this many, also after a good answer: the last one decides.
constexpr int StatusReads = 5;
constexpr int ClockAttempts = 5;

constexpr unsigned StatusSettleMs = 500;
constexpr unsigned StatusParseWaitMs = 1;
constexpr unsigned ClockPrepareMs = 200;
constexpr unsigned ClockShowMs = 1000;

bool contains(std::string_view text, std::string_view word) { return text.find(word) != std::string_view::npos; }

std::string hoursMinutes(unsigned hours, unsigned minutes)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u:%02u", hours, minutes);
    return buf;
}

// The status reply reads "...: S H M...": one character after the colon is
// skipped, then come the status number, the hours and the minutes, each
// after a space. A number that is missing stays empty; a reply that holds a
// number no byte can hold (907) is no status at all (nullopt), and is read
// again like a reply without the marker.
struct StatusNumbers {
    std::optional<std::uint8_t> status;
    std::optional<std::uint8_t> hours;
    std::optional<std::uint8_t> minutes;
};

std::optional<StatusNumbers> statusNumbersFrom(std::string_view text, std::size_t colon)
{
    StatusNumbers numbers;
    std::optional<std::uint8_t>* fields[] = {&numbers.status, &numbers.hours, &numbers.minutes};
    std::size_t at = colon + 2;
    for (std::size_t k = 0; k < 3 && at <= text.size(); ++k) {
        *fields[k] = byteAt(text, at);
        if (!*fields[k] && at < text.size() && text[at] >= '0' && text[at] <= '9')
            return std::nullopt;
        const std::size_t space = text.find(' ', at);
        if (space == std::string_view::npos)
            break;
        at = space + 1;
    }
    return numbers;
}

// A reply that breaks off before the minutes carries no time and is shown as
// an error rather than as an old or made-up time.
std::string repeaterTimeFrom(const StatusNumbers& numbers)
{
    if (!numbers.hours || !numbers.minutes || *numbers.hours > 23 || *numbers.minutes > 59)
        return std::string(localized(DeviceText::RepeaterTimeError));
    return hoursMinutes(*numbers.hours, *numbers.minutes);
}

}  // namespace

RepeaterStatus readRepeaterStatus(SerialLink& link, Clock& clock)
{
    RepeaterStatus status;
    // Every exchange sets the result to its own; a status number replaces it.
    unsigned r = 0;

    // The repeater is asked whether it listens, a few times.
    bool testConfirmed = false;
    for (int attempt = 0; attempt < RepeaterTestAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        const bool sent = link.exchange(std::string(RepeaterTestCommand), reply, replyLength);
        r = sent ? 1 : 0;
        if (sent && acknowledges(reply, RepeaterAck)) {
            testConfirmed = true;
            break;
        }
    }

    // Then its status, which carries its clock, read a few times.
    if (testConfirmed) {
        clock.sleepMs(StatusSettleMs);
        for (int n = 0; n < StatusReads; ++n) {
            std::string reply;
            std::uint8_t replyLength = 0;
            const bool sent = link.exchange(std::string(RepeaterStatusCommand), reply, replyLength);
            r = sent ? 1 : 0;
            if (!sent)
                continue;
            const std::string_view text(reply.data(), std::min<std::size_t>(replyLength, reply.size()));
            if (!contains(text, StatusMarker))
                continue;

            clock.sleepMs(StatusParseWaitMs);
            // The status follows the colon after the last marker: what stands
            // before it belongs to no answer of this request.
            const std::size_t colon = text.find(':', text.rfind(StatusMarker));
            StatusNumbers numbers;
            if (colon != std::string_view::npos) {
                const auto read = statusNumbersFrom(text, colon);
                if (!read || !read->status)
                    continue;
                numbers = *read;
                r = *numbers.status;
            }
            if (r != 0) {
                const LocalTime now = clock.localTime();
                status.systemTime = hoursMinutes(now.hour, now.minute);
                status.repeaterTime = repeaterTimeFrom(numbers);
            }
        }
    }

    // A status of 0 or none at all: no repeater reported.
    status.reported = r != 0;
    return status;
}

ClockSetResult setRepeaterClock(SerialLink& link, Clock& clock, const ShowSentTime& showSentTime)
{
    ClockSetResult result;

    // The line settles before the clock is read.
    clock.sleepMs(ClockPrepareMs);

    // One reading, so hours, minutes and seconds belong together.
    const LocalTime now = clock.localTime();

    // The repeater's display shows the time being sent.
    result.sentTime = hoursMinutes(now.hour, now.minute);

    // The command carries hours, minutes and seconds.
    char command[64];
    std::snprintf(command, sizeof command, ">Setze Repeateruhrzeit: %02u.%02u;%02u", now.hour, now.minute, now.second);

    if (showSentTime)
        showSentTime(result.sentTime);

    // The repaint of the time being sent comes before the line is busy.
    clock.sleepMs(ClockShowMs);

    // A confirmation after a late reply may belong to another command.
    link.clearLateReply();
    for (int attempt = 0; attempt < ClockAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(command, reply, replyLength) && acknowledges(reply, RepeaterAck)) {
            result.confirmed = !link.lateReplySeen();
            break;
        }
    }
    return result;
}

}  // namespace harvelin
