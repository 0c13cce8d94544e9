#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/serial_link.h"
#include "model/pager_image.h"
#include "platform/clock.h"

namespace harvelin {

// The identity of a call button as the pager reports it in learn mode.
struct ButtonReport {
    std::array<std::uint8_t, 4> buttonId{};  // b0 least significant
    std::uint8_t suffix = 0;

    std::uint32_t buttonIdValue() const;
};

// How an attempt to end learn mode on the pager went.
enum class LearnModeExit : std::uint8_t {
    NotSent,      // no window was open or the line is closed: nothing went out
    Confirmed,    // the pager said it left learn mode
    Unconfirmed,  // every attempt went unanswered or was refused
};

enum class LearnStart : std::uint8_t {
    TakenUp,  // the pager is in learn mode; the window is open
    Refused,  // the pager never acknowledged; no window
    NotSent,  // the line took no command; no window
};

// What one tick of an open learn window did, for the form to show.
struct LearnTick {
    // The status line's new text; none: it stays.
    std::optional<std::string> status;
    // The identity reported in this tick, if one was.
    std::optional<ButtonReport> reported;
    // The caller slot (1..16) that already holds the reported identity; 0: none.
    int duplicateOf = 0;
    // The caller slot (1..32) the reported identity goes into: the one whose
    // "Lernen" was pressed, whatever page is shown now; 0: it is not stored.
    int storeSlot = 0;
    // The last attempt of this tick to end learn mode on the pager.
    LearnModeExit modeExit = LearnModeExit::NotSent;
    // The window is closed after this tick.
    bool ended = false;
    // It closed because its time ran out, with no call button heard.
    bool ranOut = false;
    // A line longer than the line buffer came and was given up.
    bool overlongLineDropped = false;
};

// The learn window ("Lernmodus": the pager's learn mode): while it is on, the
// pager reports the identity of the next call button pressed in one
// unsolicited line. The window stays open eight seconds by the clock,
// however often it is ticked, and ends with the first report.
class LearnWindow {
public:
    // The lower half of the caller slots, searched for an identity that is
    // already stored.
    static constexpr int DuplicateSlots = static_cast<int>(SlotsPerPage);
    // The window's ticks come this far apart.
    static constexpr unsigned TickPeriodMs = 100;
    using LowerSlots = std::span<const CallerEntry, DuplicateSlots>;

    explicit LearnWindow(Clock& clock) : clock_(&clock) {}

    // Puts the pager into learn mode for caller slot `slot` (1..32).
    LearnStart start(SerialLink& link, int slot);
    // One tick of the open window: counts the seconds, keeps the line, and
    // listens for the report. At a duplicate it returns with duplicateOf set
    // and the window still open, so that the caller can show the duplicate
    // message while further ticks go on counting and listening, until
    // duplicateClosed() ends it, also on the pager.
    LearnTick tickUpToDuplicate(SerialLink& link, LowerSlots lowerSlots);
    LearnTick duplicateClosed(SerialLink& link);
    // Ends an open window, also on the pager, as the window's end does.
    LearnModeExit leave(SerialLink& link);

    bool open() const { return slot_ != 0; }
    int slot() const { return slot_; }
    int secondsLeft() const { return secondsLeft_; }
    // The text of the status line for the seconds left ("Lernzeit:  1 Sekunde").
    std::string statusText() const;
    // The status line after a window that ran out with no call button heard.
    static std::string ranOutText();
    // The line being assembled from the pager's bytes.
    std::size_t lineLength() const { return line_.size(); }
    // The longest line the window assembles; a report is far shorter.
    static constexpr std::size_t LineCapacity = 200;

private:
    LearnTick step(SerialLink& link, LowerSlots lowerSlots);
    std::vector<std::string> takeLines(std::string_view bytes, bool& overlongDropped);
    LearnModeExit endOnPager(SerialLink& link);

    Clock* clock_;
    std::uint8_t slot_ = 0;
    std::uint8_t secondsLeft_ = 0;
    std::int64_t startedAtMs_ = 0;
    std::string line_;
    bool lineOverlong_ = false;  // the line under way outgrew the buffer
    std::string carried_;        // the reply that took up learn mode, for the first tick
};

}  // namespace harvelin
