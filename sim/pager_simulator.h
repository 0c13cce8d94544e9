#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace harvelin::sim {

// The simulated Zelvatron: a protocol engine written from the pager's side.
// It keeps its own copy of a pager configuration, takes the bytes the PC
// sends and returns the bytes the pager answers. It knows nothing of time;
// the ports that carry it (in-process on virtual time, or a pseudo-terminal
// in real time) decide when the answer bytes arrive.

struct SimCaller {
    std::string text;                       // Windows-1252, at most 14 characters
    std::array<std::uint8_t, 5> id{};       // b0 b1 b2 b3 suffix
};

struct SimKitchenCall {
    std::string text;
    std::uint8_t station = 0;
    std::uint8_t key = 0;
};

struct PagerState {
    std::string version = "2.62";           // 1.5 and above: 32 caller slots and kitchen calls
    std::array<SimCaller, 32> callers{};
    std::array<SimKitchenCall, 16> kitchenCalls{};
    std::string pagerName = "Pager:A";      // "Adresstext"
    std::string remoteDeleteText;           // "Text_Fernloeschung"
    unsigned remoteDeleteMode = 0;          // "Modus_Fernloeschung"
    unsigned debug = 0;                     // battery display
    unsigned vibration = 1;                 // buzzer: bit 1
    bool learnMode = false;                 // "Lernmodus"
    bool bootloaderStarted = false;
    // The repeater behind the pager.
    bool repeaterPresent = true;
    bool repeaterTestOn = false;
    unsigned repeaterStatus = 1;
    unsigned repeaterHour = 12;
    unsigned repeaterMinute = 0;
    unsigned repeaterSecond = 0;

    unsigned callerSlots() const;           // 32 or 16, from the version
};

// A pager as a restaurant might have set it up: named tables with their call
// buttons, kitchen stations, the remote delete on. What the simulated pager
// holds when a user tries the tool with it.
PagerState demoPagerState();

// The identity of the next call button that a simulated person presses: the
// buttons of one run differ from each other and, practically always, from
// those of an earlier run that a saved file holds.
std::array<std::uint8_t, 5> nextButtonIdentity();

// Misbehaviour on request. Commands are matched by prefix of the command text
// (without framing), e.g. ">Lese:3", ">Setze Debug", ">@".
struct Faults {
    bool silent = false;                                // answers nothing at all
    std::string silentFrom;                             // prefix: from the first such command on, silent for good
    std::map<std::string, int> silentFor;               // prefix -> how many times to stay silent (-1: always)
    std::map<std::string, int> noAckFor;                // prefix -> how many times to answer without the acknowledgement word (-1: always)
    std::map<unsigned, unsigned> wrongSlot;             // ">Lese:n" answers as slot m
    std::map<unsigned, unsigned> wrongKitchenSlot;      // ">Le-Kueche:n" answers as slot m
    std::map<std::string, std::string> replaceReply;    // prefix -> exact reply bytes to send instead
    std::optional<std::size_t> splitAt;                 // answers are split after this many bytes ...
    unsigned splitDelayMs = 0;                          // ... and the rest follows this much later
    std::size_t padTo = 0;                              // answers padded with filler text to at least this length (> 200 to overflow)
    std::string garbagePrefix;                          // bytes put in front of every answer
    unsigned replyDelayMs = 0;                          // every answer starts this much later
    std::map<std::string, unsigned> delayFor;           // prefix -> the answer to it starts this much later still
    bool ackWithCapital = true;                         // slot writes answered "Uebernommen" (else "uebernommen")
    std::set<unsigned> forgetCallerWrite;               // ">Setze:n" acknowledged but not stored (a worn memory cell)
    bool numbersBeyondAByte = false;                    // every number after a blank or colon sent as 907, button reports too
};

class PagerSimulator {
public:
    explicit PagerSimulator(PagerState state = {});

    // Bytes from the PC; returns the pager's answer to every command that
    // these bytes complete (may be empty). Keep-alive bytes (0x16 on their
    // own) are ignored.
    std::string receive(std::string_view bytes);

    // A call button is pressed: while in learn mode the pager reports the
    // button's identity in one line closed by CR; otherwise nothing.
    std::string pressButton(const std::array<std::uint8_t, 5>& id, std::uint8_t extra = 77);

    PagerState& state() { return state_; }
    const PagerState& state() const { return state_; }
    Faults& faults() { return faults_; }

    // How much later than usual the answer to the last command starts.
    unsigned replyDelayMs() const;

    // Every complete command received, in order, without its framing.
    const std::vector<std::string>& commands() const { return commands_; }
    unsigned keepAliveBytes() const;
    void clearLog() { commands_.clear(); keepAlive_ = 0; }

    // Called after every learn-mode change (e.g. to press a button a moment later).
    std::function<void(bool learnMode)> onLearnMode;
    // Called after every command received, with the number received so far
    // (e.g. to make the pager misbehave from the middle of an operation on).
    std::function<void(std::size_t commandsReceived)> onCommand;

private:
    std::string answer(const std::string& command);
    std::string execute(const std::string& command);

    PagerState state_;
    Faults faults_;
    std::string partial_;
    bool inFrame_ = false;
    std::vector<std::string> commands_;
    unsigned keepAlive_ = 0;
    std::size_t received_ = 0;
};

}  // namespace harvelin::sim
