#include "transfer/slot_commands.h"

#include "model/configuration_rule.h"
#include "model/conversions.h"
#include "transfer/reply_parsing.h"

namespace harvelin::transfer {

namespace {

constexpr std::string_view CallerHead = ">Setze:";
constexpr std::string_view KitchenHead = ">Se-Kueche:";
constexpr std::string_view Tail = " Ende";
constexpr std::string_view PagerNameHead = ">Setze Adresstext:";
constexpr std::string_view RemoteDeleteTextHead = ">Setze Text_Fernloeschung:";

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

std::optional<std::string> callerSlotCommand(unsigned wireSlot, const CallerEntry& slot)
{
    const std::string text = slot.text.str();
    if (checkText(Field::CallerText, text))
        return std::nullopt;
    std::string command = head(CallerHead, wireSlot);
    command += text;
    command += Etx;
    for (const std::uint8_t byte : slot.buttonId)
        appendNumber(command, byte);
    appendNumber(command, slot.idSuffix);
    command += Tail;
    return command;
}

std::optional<std::string> kitchenSlotCommand(unsigned wireSlot, const KitchenCallEntry& slot)
{
    const std::string text = slot.text.str();
    if (checkText(Field::KitchenText, text))
        return std::nullopt;
    std::string command = head(KitchenHead, wireSlot);
    command += text;
    command += Etx;
    appendNumber(command, slot.station);
    appendNumber(command, slot.key);
    command += Tail;
    return command;
}

std::optional<std::string> pagerNameCommand(std::string_view name)
{
    if (checkText(Field::PagerName, name))
        return std::nullopt;
    return std::string(PagerNameHead) + std::string(name);
}

std::optional<std::string> remoteDeleteTextCommand(std::string_view text)
{
    if (checkText(Field::RemoteDeleteText, text))
        return std::nullopt;
    return std::string(RemoteDeleteTextHead) + std::string(text);
}

}  // namespace harvelin::transfer
