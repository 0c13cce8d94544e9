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
// The slot number is found from the first "Pos", whether or not its colon
// follows at once; the marker test has made sure that a "Pos:" exists.
constexpr std::string_view SlotMark = "Pos";
constexpr std::string_view RemoteDeleteTextMark = "chung :";

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

std::optional<SlotReply> parseSlotReply(std::string_view reply, std::size_t wantedNumbers)
{
    SlotReply parsed;

    const auto pos = findWithin(reply, SlotMark);
    if (!pos)
        return std::nullopt;
    const auto slotColon = findWithin(reply, ":", *pos + 1);
    if (!slotColon)
        return std::nullopt;
    const std::size_t slotStart = *slotColon + 1;

    const auto textColon = findWithin(reply, ":", slotStart);
    if (!textColon)
        return std::nullopt;
    const auto slot = byteFromText(reply.substr(slotStart, *textColon - slotStart));
    if (!slot)
        return std::nullopt;
    parsed.reportedSlot = *slot;

    // The text ends at ETX, or where the reply text ends when the pager left
    // the ETX out.
    std::size_t i = *textColon + 1;
    while (i < reply.size() && reply[i] != Etx && reply[i] != '\0')
        ++i;
    parsed.text = reply.substr(*textColon + 1, i - (*textColon + 1));
    // Caller and kitchen texts share one rule.
    if (checkText(Field::CallerText, parsed.text))
        return std::nullopt;

    // Each number follows the next space. Without an ETX the search starts
    // where the text stopped, which is the end of the reply text.
    std::size_t from = i;
    while (parsed.numberCount < wantedNumbers && parsed.numberCount < parsed.numbers.size()) {
        const auto space = findWithin(reply, " ", from);
        if (!space)
            break;
        from = *space + 1;
        // A pager that sends fewer numbers closes with its end word.
        if (reply.substr(from).starts_with(SlotEndWord))
            break;
        const auto number = byteAt(reply, from);
        if (!number)
            return std::nullopt;
        parsed.numbers[parsed.numberCount++] = *number;
    }
    return parsed;
}

std::optional<std::uint8_t> numberAfterMarker(std::string_view reply, std::string_view marker)
{
    const auto at = findWithin(reply, marker);
    if (!at)
        return std::nullopt;
    return byteAt(reply, *at + marker.size());
}

std::optional<std::string> remoteDeleteTextFromReply(std::string_view reply)
{
    const auto mark = findWithin(reply, RemoteDeleteTextMark);
    if (!mark)
        return std::nullopt;
    const auto lf = findWithin(reply, std::string_view(&Lf, 1), *mark + RemoteDeleteTextMark.size());
    if (!lf)
        return std::nullopt;
    return lineUpToCr(reply, *lf + 1, Field::RemoteDeleteText);
}

std::optional<std::string> pagerNameFromReply(std::string_view reply)
{
    const auto colon = findWithin(reply, ":");
    if (!colon)
        return std::nullopt;
    return lineUpToCr(reply, *colon + 1, Field::PagerName);
}

}  // namespace harvelin::transfer
