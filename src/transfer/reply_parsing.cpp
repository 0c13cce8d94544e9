#include "transfer/reply_parsing.h"

#include "model/configuration_rule.h"
#include "model/conversions.h"
#include "model/pager_image.h"

namespace harvelin::transfer {

namespace {

constexpr std::string_view VersionWord = "Direkt";
constexpr char VersionMark = 'V';
constexpr std::string_view SlotWord = "Pos:";
constexpr std::string_view SlotEndWord = "Ende";
constexpr std::string_view RemoteDeleteTextMark = "chung :";
constexpr std::string_view PagerNameMark = "Adresstext :";

// The bytes from `from` up to the next CR; nullopt when no CR closes them,
// or when they are no text that `field` may hold.
std::optional<std::string> lineUpToCr(std::string_view reply, std::size_t from, Field field)
{
    const auto cr = findWithin(reply, std::string_view(&Cr, 1), from);
    if (!cr)
        return std::nullopt;
    std::string line(reply.substr(from, *cr - from));
    if (checkText(field, line))
        return std::nullopt;
    return line;
}

}  // namespace

std::string_view replyText(std::string_view reply)
{
    const std::size_t zero = reply.find('\0');
    return zero == std::string_view::npos ? reply : reply.substr(0, zero);
}

bool replyContains(std::string_view reply, std::string_view marker)
{
    return replyText(reply).find(marker) != std::string_view::npos;
}

std::optional<std::size_t> findWithin(std::string_view reply, std::string_view what, std::size_t from)
{
    if (from > reply.size())
        return std::nullopt;
    const std::size_t at = reply.find(what, from);
    if (at == std::string_view::npos)
        return std::nullopt;
    return at;
}

std::optional<double> versionFromReply(std::string_view reply)
{
    if (!replyContains(reply, VersionWord))
        return std::nullopt;
    const auto v = findWithin(reply, std::string_view(&VersionMark, 1));
    if (!v)
        return std::nullopt;
    return decimalFromText(replyText(reply.substr(*v + 1)));
}

std::optional<std::string> versionTextFromReply(std::string_view reply)
{
    if (!replyContains(reply, VersionWord))
        return std::nullopt;
    const auto v = findWithin(reply, std::string_view(&VersionMark, 1));
    if (!v)
        return std::nullopt;
    const std::string_view after = replyText(reply.substr(*v + 1));
    std::size_t end = 0;
    while (end < after.size() && static_cast<unsigned char>(after[end]) > ' ')
        ++end;
    return std::string(after.substr(0, end));
}

bool isSlotReply(std::string_view reply)
{
    return replyContains(reply, SlotWord) && replyContains(reply, SlotEndWord);
}

namespace {

// One slot reply laid out from the "Pos:" at `at`: the slot number, a colon,
// the text up to ETX, then each wanted number after exactly one space, then
// " Ende".
std::optional<SlotReply> slotReplyAt(std::string_view reply, std::size_t at, std::size_t wantedNumbers)
{
    SlotReply parsed;
    const std::size_t slotStart = at + SlotWord.size();
    const auto textColon = findWithin(reply, ":", slotStart);
    if (!textColon)
        return std::nullopt;
    const auto slot = byteFromText(reply.substr(slotStart, *textColon - slotStart));
    if (!slot)
        return std::nullopt;
    parsed.reportedSlot = *slot;

    const auto etx = findWithin(reply, std::string_view(&Etx, 1), *textColon + 1);
    if (!etx)
        return std::nullopt;
    parsed.text = reply.substr(*textColon + 1, *etx - (*textColon + 1));
    // Caller and kitchen texts share one rule, which also refuses a zero or
    // any other control byte in the text.
    if (checkText(Field::CallerText, parsed.text))
        return std::nullopt;

    std::size_t from = *etx + 1;
    while (parsed.numberCount < wantedNumbers && parsed.numberCount < parsed.numbers.size()) {
        if (from >= reply.size() || reply[from] != ' ')
            return std::nullopt;
        std::size_t end = from + 1;
        while (end < reply.size() && reply[end] >= '0' && reply[end] <= '9')
            ++end;
        const auto number = byteFromText(reply.substr(from + 1, end - (from + 1)));
        if (!number)
            return std::nullopt;
        parsed.numbers[parsed.numberCount++] = *number;
        from = end;
    }
    if (!reply.substr(from).starts_with(" " + std::string(SlotEndWord)))
        return std::nullopt;
    return parsed;
}

}  // namespace

std::optional<SlotReply> parseSlotReply(std::string_view reply, std::size_t wantedNumbers)
{
    // The last header from which a whole reply follows counts: whatever
    // stands before it (the identification in front of slot 0, the end of
    // an earlier answer) belongs to no slot of this request.
    for (std::size_t at = reply.rfind(SlotWord); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : reply.rfind(SlotWord, at - 1)) {
        if (auto parsed = slotReplyAt(reply, at, wantedNumbers))
            return parsed;
    }
    return std::nullopt;
}

// A setting's value counts from the last marker of the reply on, so the end
// of an earlier answer in front of it is never read as this one.
std::optional<std::uint8_t> numberAfterMarker(std::string_view reply, std::string_view marker)
{
    const std::size_t at = reply.rfind(marker);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::size_t from = at + marker.size();
    std::size_t end = from;
    while (end < reply.size() && reply[end] >= '0' && reply[end] <= '9')
        ++end;
    // The pager closes the value with its line end; a value without one may
    // be the first digits of a longer one.
    if (end >= reply.size() || (reply[end] != Cr && reply[end] != Lf))
        return std::nullopt;
    return byteFromText(reply.substr(from, end - from));
}

std::optional<std::string> remoteDeleteTextFromReply(std::string_view reply)
{
    const std::size_t mark = reply.rfind(RemoteDeleteTextMark);
    if (mark == std::string_view::npos)
        return std::nullopt;
    const auto lf = findWithin(reply, std::string_view(&Lf, 1), mark + RemoteDeleteTextMark.size());
    if (!lf)
        return std::nullopt;
    return lineUpToCr(reply, *lf + 1, Field::RemoteDeleteText);
}

std::optional<std::string> pagerNameFromReply(std::string_view reply)
{
    const std::size_t mark = reply.rfind(PagerNameMark);
    if (mark == std::string_view::npos)
        return std::nullopt;
    return lineUpToCr(reply, mark + PagerNameMark.size(), Field::PagerName);
}

}  // namespace harvelin::transfer
