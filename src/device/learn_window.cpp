#include "device/learn_window.h"

#include <cstdio>
#include <string_view>

#include "device/link_watch.h"
#include "device/texts.h"
#include "model/configuration_rule.h"

namespace harvelin {

namespace {

constexpr std::string_view LearnOnCommand = ">Setze Lernmodus:1";
constexpr std::string_view LearnOffCommand = ">Setze Lernmodus:0";
constexpr std::string_view LearnAck = "uebernommen";
constexpr int LearnOnAttempts = 5;
constexpr int LearnOffAttempts = 5;

constexpr std::uint8_t LearnWindowSeconds = 8;
constexpr std::int64_t MsPerSecond = 1000;
constexpr char LineEnd = 0x0D;

std::string learnTimeText(unsigned seconds)
{
    char number[16];
    std::snprintf(number, sizeof number, "%3u", seconds);
    return localized(seconds == 1 ? DeviceText::LearnTimeOneSecond : DeviceText::LearnTimeSeconds, {number});
}

bool learnAcknowledged(const std::string& reply) { return acknowledges(reply, LearnAck); }

// The report line carries up to six numbers: the first right after the
// line's first colon, each further one after the next space. The pager
// sends either five (identity bytes and one more) or six; with six, the
// fifth is the identity's suffix. A sixth field starting with "e" is the
// pager's closing word, not a number. A number that is no byte (0 to 255)
// makes the line no report: an identity is never made up from it.
std::optional<ButtonReport> parseReport(std::string_view line)
{
    std::array<std::uint8_t, 6> n{};
    int found = 0;

    std::size_t p = 0;
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
        p = colon + 1;
        const auto first = byteAt(line, p);
        if (!first)
            return std::nullopt;
        n[0] = *first;
    }
    found = 1;
    for (int k = 1; k < 6; ++k) {
        const std::size_t space = p + 1 <= line.size() ? line.find(' ', p + 1) : std::string_view::npos;
        if (space == std::string_view::npos)
            break;
        const std::size_t at = space + 1;
        if (k == 5 && at < line.size() && line[at] == 'e')
            break;
        const auto number = byteAt(line, at);
        if (!number)
            return std::nullopt;
        n[k] = *number;
        p = at;
        found = k + 1;
    }

    if (found < 5)
        return std::nullopt;
    ButtonReport report;
    report.buttonId = {n[0], n[1], n[2], n[3]};
    report.suffix = found == 6 ? n[4] : 0;
    return report;
}

}  // namespace

std::uint32_t ButtonReport::buttonIdValue() const
{
    return static_cast<std::uint32_t>(buttonId[0]) | static_cast<std::uint32_t>(buttonId[1]) << 8 |
           static_cast<std::uint32_t>(buttonId[2]) << 16 | static_cast<std::uint32_t>(buttonId[3]) << 24;
}

std::string LearnWindow::statusText() const { return learnTimeText(secondsLeft_); }

std::string LearnWindow::ranOutText() { return std::string(localized(DeviceText::LearnTimeRanOut)); }

LearnStart LearnWindow::start(SerialLink& link, int slot)
{
    for (int attempt = 0; attempt < LearnOnAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (!link.exchange(std::string(LearnOnCommand), reply, replyLength))
            return LearnStart::NotSent;
        if (learnAcknowledged(reply)) {
            slot_ = static_cast<std::uint8_t>(slot);
            secondsLeft_ = LearnWindowSeconds;
            startedAtMs_ = clock_->nowMs();
            line_.clear();
            lineOverlong_ = false;
            // A slow pager's acknowledgement may share its reply with the
            // report of a button pressed at once; the first tick reads the
            // reply's whole lines. A reply cut off ends no line of its own.
            const std::size_t lastEnd = reply.rfind(LineEnd);
            carried_ = lastEnd == std::string::npos ? std::string() : reply.substr(0, lastEnd + 1);
            return LearnStart::TakenUp;
        }
    }
    return LearnStart::Refused;
}

// Takes one read into the line being assembled. Every line that a CR closes
// is kept, in order, and what follows a CR starts the next line, so a line
// may come in any number of reads and several lines in one. A line that
// outgrows the buffer is given up up to its CR.
std::vector<std::string> LearnWindow::takeLines(std::string_view bytes, bool& overlongDropped)
{
    std::vector<std::string> lines;
    for (const char c : bytes) {
        if (c == LineEnd) {
            if (!lineOverlong_)
                lines.emplace_back(line_);
            line_.clear();
            lineOverlong_ = false;
            continue;
        }
        if (lineOverlong_)
            continue;
        if (line_.size() >= LineCapacity) {
            line_.clear();
            lineOverlong_ = true;
            overlongDropped = true;
            continue;
        }
        line_ += c;
    }
    return lines;
}

// Learn mode is off in the tool either way; whether the pager said so is
// told to front ends that report it.
LearnModeExit LearnWindow::endOnPager(SerialLink& link)
{
    LearnModeExit exit = LearnModeExit::Unconfirmed;
    for (int attempt = 0; attempt < LearnOffAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(std::string(LearnOffCommand), reply, replyLength) && learnAcknowledged(reply)) {
            exit = LearnModeExit::Confirmed;
            break;
        }
    }
    slot_ = 0;
    return exit;
}

LearnTick LearnWindow::tickUpToDuplicate(SerialLink& link, LowerSlots lowerSlots)
{
    LearnTick result = step(link, lowerSlots);
    result.ended = slot_ == 0;
    return result;
}

// The end, once the duplicate message is closed.
LearnTick LearnWindow::duplicateClosed(SerialLink& link)
{
    LearnTick result;
    slot_ = 0;
    if (link.state() != LinkState::Closed)
        result.modeExit = endOnPager(link);
    result.ended = true;
    return result;
}

LearnTick LearnWindow::step(SerialLink& link, LowerSlots lowerSlots)
{
    LearnTick result;

    // Seconds, by the clock: a tick that comes late counts the time
    //    that has passed, not one tenth of a second.
    const std::int64_t elapsed = clock_->nowMs() - startedAtMs_;
    const auto left = static_cast<std::uint8_t>(
        elapsed >= LearnWindowSeconds * MsPerSecond ? 0 : LearnWindowSeconds - elapsed / MsPerSecond);
    if (left < secondsLeft_) {
        secondsLeft_ = left;
        result.status = statusText();
    }

    // The link must still be there.
    if (link.state() == LinkState::Closed && link.open())
        link.setState(LinkState::Open);

    // The window is over; a report in this very tick is still looked at.
    if (secondsLeft_ == 0) {
        if (link.state() != LinkState::Closed)
            result.modeExit = endOnPager(link);
        slot_ = 0;
        result.ranOut = true;
    }

    // Listen. The first report among the lines this read completed
    //    counts; a line of anything else is passed over.
    if (link.state() == LinkState::Closed)
        return result;
    const std::string bytes = carried_ + readTick(link);
    carried_.clear();
    for (const std::string& line : takeLines(bytes, result.overlongLineDropped)) {
        result.reported = parseReport(line);
        if (result.reported)
            break;
    }
    if (!result.reported)
        return result;

    // An identity that a slot of the lower page holds already is a duplicate.
    for (int p = 1; p <= DuplicateSlots; ++p) {
        const CallerEntry& slot = lowerSlots[static_cast<std::size_t>(p - 1)];
        if (slot.buttonId == result.reported->buttonId && slot.idSuffix == result.reported->suffix) {
            result.duplicateOf = p;
            break;
        }
    }
    // The window stays open while the duplicate message is shown; the end
    // follows when it is closed.
    if (result.duplicateOf != 0)
        return result;

    // Stored into the slot whose "Lernen" was pressed, whichever page the
    //    form shows now; not when the window ran out in this very tick.
    if (slot_ != 0)
        result.storeSlot = slot_;

    // The end: learn mode is left on the pager.
    slot_ = 0;
    if (link.state() != LinkState::Closed)
        result.modeExit = endOnPager(link);
    return result;
}

LearnModeExit LearnWindow::leave(SerialLink& link)
{
    LearnModeExit exit = LearnModeExit::NotSent;
    if (slot_ != 0 && link.state() != LinkState::Closed)
        exit = endOnPager(link);
    slot_ = 0;
    return exit;
}

}  // namespace harvelin
