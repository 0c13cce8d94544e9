#include "pager_simulator.h"

#include <cctype>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "model/conversions.h"

namespace harvelin::sim {

namespace {

constexpr char Syn = 0x16;
constexpr char Stx = 0x02;
constexpr char Etx = 0x03;
constexpr std::size_t MaxCommand = 512;

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Takes one count from a "how many times" fault; -1 never runs out.
bool takeFault(std::map<std::string, int>& table, const std::string& command)
{
    for (auto& [prefix, count] : table) {
        if (!startsWith(command, prefix) || count == 0)
            continue;
        if (count > 0)
            --count;
        return true;
    }
    return false;
}

std::string slotNumbers(const std::uint8_t* values, std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += ' ' + threeDigits(values[i]);
    return out;
}

// The numbers after ETX of a slot command: " 001 002 ... Ende".
std::vector<std::uint8_t> numbersAfter(std::string_view text)
{
    std::vector<std::uint8_t> numbers;
    std::size_t pos = 0;
    while ((pos = text.find(' ', pos)) != std::string_view::npos) {
        ++pos;
        if (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            numbers.push_back(numberAt(text, pos));
    }
    return numbers;
}

std::string withLineEnd(std::string text) { return text + "\r\n"; }

// Every run of digits behind a blank or a colon becomes 907: a number that
// no byte can hold. The version behind its "V" stays.
std::string numbersBeyondAByte(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const bool starts = std::isdigit(static_cast<unsigned char>(text[i])) && i > 0 &&
                            (text[i - 1] == ' ' || text[i - 1] == ':');
        if (!starts) {
            out += text[i++];
            continue;
        }
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        out += "907";
    }
    return out;
}

}  // namespace

// b0 to b2 count on from a start taken from the clock; b3 is never 0, so a
// free slot never matches.
std::array<std::uint8_t, 5> nextButtonIdentity()
{
    static std::atomic<std::uint32_t> next{static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count())};
    const std::uint32_t v = next.fetch_add(1);
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16), 99,
            1};
}

PagerState demoPagerState()
{
    PagerState s;
    const char* const tables[] = {"Tisch 1", "Tisch 2", "Tisch 3", "Tisch 4", "Tisch 5", "Tisch 6",
                                  "Fenster links", "Fenster rechts", "Terrasse 1", "Terrasse 2", "Bar",
                                  "Theke", "Saal", "Kaminzimmer"};
    for (std::size_t i = 0; i < std::size(tables); ++i) {
        s.callers[i].text = tables[i];
        // Identities as the call buttons carry them: four bytes and a suffix.
        s.callers[i].id = {static_cast<std::uint8_t>(17 + 23 * i), static_cast<std::uint8_t>(3 + i), 0x2A, 0,
                           static_cast<std::uint8_t>(i % 4)};
    }
    s.callers[20].text = "Biergarten";
    s.callers[20].id = {201, 88, 0x2A, 0, 1};
    // Windows-1252 umlauts; octal for the "ü", since a hex escape would take
    // the "c" after it as one more digit.
    const char* const kitchen[] = {"K\374che fertig", "Getr\xE4nke", "Pizza", "Nachspeise"};
    for (std::size_t k = 0; k < s.kitchenCalls.size(); ++k) {
        s.kitchenCalls[k].text = k < std::size(kitchen) ? kitchen[k] : "Station " + std::to_string(k + 1);
        s.kitchenCalls[k].station = 1;
        s.kitchenCalls[k].key = static_cast<std::uint8_t>(k + 1);
    }
    s.pagerName = "Pager:A";
    s.remoteDeleteText = "  Fernl\xF6schung  ";
    s.remoteDeleteMode = 3;
    s.debug = 1;
    s.vibration = 3;
    s.repeaterHour = 11;
    s.repeaterMinute = 58;
    return s;
}

unsigned PagerState::callerSlots() const { return decimalFromText(version) >= 1.5 ? 32 : 16; }

PagerSimulator::PagerSimulator(PagerState state) : state_(std::move(state)) {}

std::string PagerSimulator::receive(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        if (c == Syn) {
            if (inFrame_ && partial_.empty())
                ++keepAlive_;  // the SYN before was a keep-alive byte
            inFrame_ = true;
            partial_.clear();
        } else if (c == '\r') {
            if (inFrame_ && !partial_.empty()) {
                commands_.push_back(partial_);
                out += answer(partial_);
                ++received_;
                if (onCommand)
                    onCommand(received_);
            }
            inFrame_ = false;
            partial_.clear();
        } else if (!inFrame_) {
            // The search's probe comes without SYN: ">@" CR LF.
            if (c == '>') {
                inFrame_ = true;
                partial_ = ">";
            }
        } else if (partial_.size() < MaxCommand) {
            partial_ += c;
        }
    }
    return out;
}

unsigned PagerSimulator::keepAliveBytes() const
{
    return keepAlive_ + (inFrame_ && partial_.empty() ? 1u : 0u);
}

std::string PagerSimulator::pressButton(const std::array<std::uint8_t, 5>& id, std::uint8_t extra)
{
    if (!state_.learnMode)
        return {};
    char line[64];
    std::snprintf(line, sizeof line, "Tischsender:%u %u %u %u %u %u\r", id[0], id[1], id[2], id[3], id[4], extra);
    return faults_.numbersBeyondAByte ? numbersBeyondAByte(line) : std::string(line);
}

std::string PagerSimulator::answer(const std::string& command)
{
    if (!faults_.silentFrom.empty() && startsWith(command, faults_.silentFrom))
        faults_.silent = true;
    if (faults_.silent || takeFault(faults_.silentFor, command))
        return {};
    for (const auto& [prefix, reply] : faults_.replaceReply)
        if (startsWith(command, prefix))
            return reply;

    std::string reply;
    if (takeFault(faults_.noAckFor, command))
        reply = withLineEnd("Fehler");
    else
        reply = execute(command);

    if (faults_.numbersBeyondAByte)
        reply = numbersBeyondAByte(reply);
    reply = faults_.garbagePrefix + reply;
    while (reply.size() < faults_.padTo)
        reply += "..........";
    return reply;
}

std::string PagerSimulator::execute(const std::string& command)
{
    PagerState& s = state_;
    const std::string ack = "uebernommen";

    if (command == ">@")
        return withLineEnd("\r\nZelvatron Pager Direkt V" + s.version);

    if (startsWith(command, ">Lese:")) {
        const unsigned n = numberAt(command, 6);
        if (n >= s.callerSlots())
            return withLineEnd("Fehler");
        const auto wrong = faults_.wrongSlot.find(n);
        const unsigned shown = wrong == faults_.wrongSlot.end() ? n : wrong->second;
        const SimCaller& slot = s.callers[n];
        return withLineEnd("Pos:" + std::to_string(shown) + ":" + slot.text + Etx +
                           slotNumbers(slot.id.data(), slot.id.size()) + " Ende");
    }
    if (startsWith(command, ">Le-Kueche:")) {
        const unsigned k = numberAt(command, 11);
        if (s.callerSlots() < 32 || k >= s.kitchenCalls.size())
            return withLineEnd("Fehler");
        const auto wrong = faults_.wrongKitchenSlot.find(k);
        const unsigned shown = wrong == faults_.wrongKitchenSlot.end() ? k : wrong->second;
        const SimKitchenCall& slot = s.kitchenCalls[k];
        const std::uint8_t numbers[] = {slot.station, slot.key};
        return withLineEnd("Pos:" + std::to_string(shown) + ":" + slot.text + Etx + slotNumbers(numbers, 2) +
                           " Ende");
    }
    if (command == ">List Modus_Fernloeschung")
        return withLineEnd("Modus_Fernloeschung:" + std::to_string(s.remoteDeleteMode));
    if (command == ">List Text_Fernloeschung")
        return "Text_Fernloeschung :\r\n" + s.remoteDeleteText + "\r\n";
    if (command == ">List Adresstext")
        return withLineEnd("Adresstext :" + s.pagerName);
    if (command == ">List Debug")
        return withLineEnd("Debug :" + std::to_string(s.debug));
    if (command == ">List E_Vibration")
        return withLineEnd("E_Vibration:" + std::to_string(s.vibration));

    // Slot writes: head, STX, text, ETX, the numbers, "Ende".
    const bool callerWrite = startsWith(command, ">Setze:");
    const bool kitchenWrite = startsWith(command, ">Se-Kueche:");
    if (callerWrite || kitchenWrite) {
        const std::size_t head = callerWrite ? 7 : 11;
        const unsigned n = numberAt(command, head);
        const std::size_t stx = command.find(Stx);
        const std::size_t etx = command.find(Etx, stx == std::string::npos ? 0 : stx);
        if (stx == std::string::npos || etx == std::string::npos || command.find("Ende", etx) == std::string::npos)
            return withLineEnd("Fehler");
        const std::string text = command.substr(stx + 1, etx - stx - 1);
        const auto numbers = numbersAfter(std::string_view(command).substr(etx + 1));
        if (callerWrite) {
            if (n >= s.callerSlots() || numbers.size() < 5)
                return withLineEnd("Fehler");
            if (faults_.forgetCallerWrite.count(n) != 0)
                return withLineEnd("Eintrag Uebernommen");
            s.callers[n].text = text;
            for (std::size_t i = 0; i < 5; ++i)
                s.callers[n].id[i] = numbers[i];
        } else {
            if (s.callerSlots() < 32 || n >= s.kitchenCalls.size() || numbers.size() < 2)
                return withLineEnd("Fehler");
            s.kitchenCalls[n].text = text;
            s.kitchenCalls[n].station = numbers[0];
            s.kitchenCalls[n].key = numbers[1];
        }
        return withLineEnd(faults_.ackWithCapital ? "Eintrag Uebernommen" : "Eintrag uebernommen");
    }

    // Settings. The value is one digit; behind it may follow the name of the
    // pager that the switch is addressed to. This pager takes only switches
    // with its own name and confirms those with a capital letter.
    struct Setting {
        std::string_view prefix;
        unsigned* value;
    };
    const Setting settings[] = {
        {">Setze Modus_Fernloeschung:", &s.remoteDeleteMode},
        {">Setze Debug:", &s.debug},
        {">Setze E_Vibration:", &s.vibration},
    };
    for (const Setting& setting : settings) {
        if (!startsWith(command, setting.prefix))
            continue;
        const std::string_view rest = std::string_view(command).substr(setting.prefix.size());
        if (rest.empty() || rest[0] < '0' || rest[0] > '9')
            return withLineEnd("Fehler");
        const std::string_view name = rest.substr(1);
        if (!name.empty() && name != s.pagerName)
            return withLineEnd("Falscher Pager");
        *setting.value = static_cast<unsigned>(rest[0] - '0');
        return withLineEnd(name.empty() ? "Wert " + ack : std::string("Wert Uebernommen"));
    }
    if (startsWith(command, ">Setze Adresstext:")) {
        s.pagerName = command.substr(18);
        return withLineEnd("Adresstext " + ack);
    }
    if (startsWith(command, ">Setze Text_Fernloeschung:")) {
        s.remoteDeleteText = command.substr(26);
        return withLineEnd("Text_Fernloeschung " + ack);
    }
    if (command == ">Setze Lernmodus:1" || command == ">Setze Lernmodus:0") {
        s.learnMode = command.back() == '1';
        if (onLearnMode)
            onLearnMode(s.learnMode);
        return withLineEnd("Lernmodus " + ack);
    }
    if (command == ">Setze Repeatertest:1") {
        if (!s.repeaterPresent)
            return withLineEnd("Kein Repeater");
        s.repeaterTestOn = true;
        return withLineEnd("Repeatertest " + ack);
    }
    if (command == ">Lese Repeaterstatus") {
        if (!s.repeaterPresent)
            return withLineEnd("Kein Repeater");
        char line[64];
        std::snprintf(line, sizeof line, "Repeaterstatus aktuell: %u %02u %02u", s.repeaterStatus, s.repeaterHour,
                      s.repeaterMinute);
        return withLineEnd(line);
    }
    if (startsWith(command, ">Setze Repeateruhrzeit: ")) {
        // "HH.MM;SS"
        const std::string_view time = std::string_view(command).substr(24);
        if (time.size() != 8 || time[2] != '.' || time[5] != ';')
            return withLineEnd("Fehler");
        s.repeaterHour = numberAt(time, 0);
        s.repeaterMinute = numberAt(time, 3);
        s.repeaterSecond = numberAt(time, 6);
        return withLineEnd("Repeateruhrzeit " + ack);
    }
    if (command == ">Bootloader") {
        s.bootloaderStarted = true;
        return withLineEnd("Bootloader wird aufgerufen");
    }
    return withLineEnd("Unbekanntes Kommando");
}

}  // namespace harvelin::sim

namespace harvelin::sim {

unsigned PagerSimulator::replyDelayMs() const
{
    unsigned delay = faults_.replyDelayMs;
    if (!commands_.empty())
        for (const auto& [prefix, ms] : faults_.delayFor)
            if (commands_.back().rfind(prefix, 0) == 0)
                delay += ms;
    return delay;
}

}  // namespace harvelin::sim
