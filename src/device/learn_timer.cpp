#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "model/conversions.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "ui/messages.h"

namespace harvelin {

namespace {

// "Lernmodus" is the pager's learn mode: while it is on, the pager reports
// the identity of the next call button pressed in one unsolicited line.
constexpr std::string_view LearnOnCommand = ">Setze Lernmodus:1";
constexpr std::string_view LearnOffCommand = ">Setze Lernmodus:0";
constexpr std::string_view LearnAck = "uebernommen";
constexpr int LearnOnAttempts = 5;
constexpr int LearnOffAttempts = 5;

constexpr std::uint8_t LearnWindowSeconds = 8;
constexpr std::uint8_t TicksPerSecond = 10;
// One tick's read; with the link's time-outs it returns after these bytes or
// about 100 ms, so a tick lasts about as long as the timer period.
constexpr std::size_t TickReadBytes = 100;
constexpr char LineEnd = 0x0D;
// The keep-alive is the byte that opens every command frame, on its own.
constexpr std::string_view KeepAliveByte = "\x16";
// Only the lower half of the caller slots is searched for an identity
// that is already stored.
constexpr int DuplicateSlots = 16;


std::string learnTimeText(unsigned seconds)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "Lernzeit:%3u Sekunden", seconds);
    return buf;
}

std::string duplicateMessage(int slot)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "Teilnehmer ist schon an Position:%u eingetragen!", static_cast<unsigned>(slot));
    return buf;
}

bool learnAcknowledged(const std::string& reply) { return reply.find(LearnAck) != std::string::npos; }

// A failed read counts as a read of nothing; a line without a handle (closed
// after a failed keep-alive) has nothing to give either.
std::string readTick(SerialLink& link)
{
    if (!link.portHandle)
        return {};
    std::string bytes = link.portHandle->read(TickReadBytes);
    if (bytes.size() > TickReadBytes)
        bytes.resize(TickReadBytes);
    return bytes;
}

// The identity of a call button as the pager reports it in learn mode.
struct ButtonReport {
    std::array<std::uint8_t, 4> buttonId{};  // b0 least significant
    std::uint8_t suffix = 0;
};

// The report line carries up to six numbers: the first right after the
// line's first colon, each further one after the next space. The pager
// sends either five (identity bytes and one more) or six; with six, the
// fifth is the identity's suffix. A sixth field starting with "e" is the
// pager's closing word, not a number.
std::optional<ButtonReport> parseReport(std::string_view line)
{
    std::array<std::uint8_t, 6> n{};
    int found = 0;

    std::size_t p = 0;
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
        p = colon + 1;
        n[0] = numberAt(line, p);
    }
    found = 1;
    for (int k = 1; k < 6; ++k) {
        const std::size_t space = p + 1 <= line.size() ? line.find(' ', p + 1) : std::string_view::npos;
        if (space == std::string_view::npos)
            break;
        const std::size_t at = space + 1;
        if (k == 5 && at < line.size() && line[at] == 'e')
            break;
        n[k] = numberAt(line, at);
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

std::uint32_t idValue(const std::array<std::uint8_t, 4>& id)
{
    return static_cast<std::uint32_t>(id[0]) | static_cast<std::uint32_t>(id[1]) << 8 |
           static_cast<std::uint32_t>(id[2]) << 16 | static_cast<std::uint32_t>(id[3]) << 24;
}

// Appends one read to the line being assembled; true when its CR arrived.
// Whatever follows the CR in the same read is dropped.
bool appendToLine(MainDialog& dlg, const std::string& bytes)
{
    for (const char c : bytes) {
        if (dlg.rxLineLength >= dlg.rxLine.size() - 1)
            return false;
        dlg.rxLine[dlg.rxLineLength++] = c;
        if (c == LineEnd) {
            dlg.rxLine[dlg.rxLineLength] = 0;
            return true;
        }
    }
    return false;
}

// A line may be spread over two reads at most; a part-line that the second
// read does not complete is given up, so the next read starts afresh.
bool assembleLine(MainDialog& dlg, const std::string& bytes)
{
    if (!dlg.rxLinePending) {
        if (bytes.empty())
            return false;
        dlg.rxLineLength = 0;
        if (appendToLine(dlg, bytes))
            return true;
        dlg.rxLinePending = true;
        return false;
    }
    dlg.rxLinePending = false;
    return appendToLine(dlg, bytes);
}

// Learn mode is off in the tool either way; whether the pager said so is
// kept for front ends that report it.
void endLearnModeOnPager(MainDialog& dlg)
{
    dlg.lastLearnModeLeft = false;
    for (int attempt = 0; attempt < LearnOffAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (dlg.link.exchange(std::string(LearnOffCommand), reply, replyLength) && learnAcknowledged(reply)) {
            dlg.lastLearnModeLeft = true;
            break;
        }
    }
    dlg.learnRow = 0;
}

void learnStep(MainDialog& dlg)
{
    SerialLink& link = dlg.link;

    // 1. Seconds.
    if (++dlg.learnTicks >= TicksPerSecond) {
        dlg.learnTicks = 0;
        if (dlg.learnSecondsLeft > 0) {
            --dlg.learnSecondsLeft;
            dlg.statusText = learnTimeText(dlg.learnSecondsLeft);
        }
    }

    // 2. Link.
    if (link.state == LinkState::Closed && link.open())
        link.state = LinkState::Open;

    // 3. Window over; a report in this very tick is still looked at.
    if (dlg.learnSecondsLeft == 0) {
        if (link.state != LinkState::Closed)
            endLearnModeOnPager(dlg);
        dlg.learnRow = 0;
    }

    // 4. Listen.
    if (link.state == LinkState::Closed)
        return;
    if (!assembleLine(dlg, readTick(link)))
        return;

    // 5. A line was completed. Taken apart at once: a message box below may
    //    let further ticks run and reuse the line buffer.
    const std::optional<ButtonReport> report =
        parseReport(std::string_view(dlg.rxLine.data(), dlg.rxLineLength));
    if (!report)
        return;

    // 6. Duplicate check.
    int duplicateOf = 0;
    for (int p = 1; p <= DuplicateSlots; ++p) {
        const CallerEntry& slot = dlg.image.callers[p - 1];
        if (slot.buttonId == report->buttonId && slot.idSuffix == report->suffix) {
            duplicateOf = p;
            break;
        }
    }
    if (duplicateOf != 0)
        dlg.host.messageBox(duplicateMessage(duplicateOf));

    // 7. Store into the slot the row shows now, whichever page that is.
    if (duplicateOf == 0 && dlg.learnRow != 0) {
        CallerEntry& slot = dlg.image.callers[dlg.learnRow - 1 + dlg.pageOffset()];
        slot.buttonId = report->buttonId;
        slot.idSuffix = report->suffix;
        dlg.idTexts[dlg.learnRow] = idColumnText(idValue(report->buttonId), report->suffix);
        dlg.lastLearnStored = true;
    }

    // 8. End.
    dlg.learnRow = 0;
    if (link.state != LinkState::Closed)
        endLearnModeOnPager(dlg);
}

// Outside learn mode: keep a found port alive, notice when it dies and bring
// it back, and keep "Aktiv" in line with it.
void linkWatch(MainDialog& dlg)
{
    SerialLink& link = dlg.link;

    // 1.
    if (!dlg.deviceBusy && link.portNumber != 0) {
        switch (link.state) {
        case LinkState::Closed:
            link.state = link.open() ? LinkState::Open : LinkState::Closed;
            dlg.host.setChecked(ctl::Active, false);
            break;
        case LinkState::Open:
            dlg.host.setChecked(ctl::Active, true);
            readTick(link);  // stray input is of no use outside learn mode
            if (!link.portHandle || !link.portHandle->write(KeepAliveByte)) {
                link.portHandle.reset();
                link.state = LinkState::Lost;
            }
            break;
        case LinkState::Lost: {
            const bool reopened = link.open();
            dlg.host.setChecked(ctl::Active, false);
            dlg.clockDisplayTicks = 0;
            dlg.showClockGroup(false);
            if (reopened)
                link.state = LinkState::Open;
            break;
        }
        }
    }

    // 2. The status line belongs to learn mode.
    dlg.statusText.clear();
}

}  // namespace

void MainDialog::startLearn(int row)
{
    lastLearnStored = false;
    lastLearnModeLeft = false;

    // 1.
    UpdateData(true);

    // 2.
    for (int attempt = 0; attempt < LearnOnAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (!link.exchange(std::string(LearnOnCommand), reply, replyLength)) {
            host.messageBox(std::string(NoConnectionMessage));
            break;
        }
        if (learnAcknowledged(reply)) {
            learnRow = static_cast<std::uint8_t>(row);
            learnSecondsLeft = LearnWindowSeconds;
            statusText = learnTimeText(LearnWindowSeconds);
            learnTicks = 0;
            rxLinePending = false;
            break;
        }
    }

    // 3.
    UpdateData(false);
}

void MainDialog::leaveLearnMode()
{
    if (learnRow != 0 && link.state != LinkState::Closed)
        endLearnModeOnPager(*this);
    learnRow = 0;
    statusText.clear();
}

void MainDialog::onUiTimer()
{
    // 1.
    UpdateData(true);

    // 2. The repeater clock group is shown for a while after a search.
    if (clockDisplayTicks > 0) {
        --clockDisplayTicks;
        if (clockDisplayTicks == 0)
            showClockGroup(false);
    }

    // 3.
    if (learnRow != 0)
        learnStep(*this);
    else
        linkWatch(*this);

    // 4.
    UpdateData(false);
}

}  // namespace harvelin
