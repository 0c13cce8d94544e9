#include "transfer/slot_commands.h"

#include "model/conversions.h"
#include "transfer/reply_parsing.h"

namespace harvelin::transfer {

namespace {

constexpr std::string_view CallerHead = ">Setze:";
constexpr std::string_view KitchenHead = ">Se-Kueche:";
constexpr std::string_view Tail = " Ende";

std::string slotText(const SlotText& text)
{
    std::string bytes = text.str();
    if (bytes.size() > SlotTextMax)
        bytes.resize(SlotTextMax);
    return bytes;
}

std::string head(std::string_view word, unsigned wireSlot)
{
    std::string command(word);
    command += std::to_string(wireSlot);
    command += ' ';
    command += Stx;
    return command;
}

void appendNumber(std::string& command, unsigned value)
{
    command += ' ';
    command += threeDigits(value);
}

}  // namespace

std::string callerSlotCommand(unsigned wireSlot, const CallerEntry& slot)
{
    std::string command = head(CallerHead, wireSlot);
    command += slotText(slot.text);
    command += Etx;
    for (const std::uint8_t byte : slot.buttonId)
        appendNumber(command, byte);
    appendNumber(command, slot.idSuffix);
    command += Tail;
    return command;
}

std::string kitchenSlotCommand(unsigned wireSlot, const KitchenCallEntry& slot)
{
    std::string command = head(KitchenHead, wireSlot);
    command += slotText(slot.text);
    command += Etx;
    appendNumber(command, slot.station);
    appendNumber(command, slot.key);
    command += Tail;
    return command;
}

}  // namespace harvelin::transfer
