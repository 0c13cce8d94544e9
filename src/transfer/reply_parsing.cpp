#include "transfer/reply_parsing.h"

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

// The bytes from `from` up to the next CR; nullopt when no CR closes them.
std::optional<std::string> lineUpToCr(std::string_view reply, std::size_t from, std::size_t maxChars)
{
    const auto cr = findWithin(reply, std::string_view(&Cr, 1), from);
    if (!cr)
        return std::nullopt;
    std::string line(reply.substr(from, *cr - from));
    if (line.size() > maxChars)
        line.resize(maxChars);
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
    parsed.reportedSlot = numberAt(reply, slotStart);

    const auto textColon = findWithin(reply, ":", slotStart);
    if (!textColon)
        return std::nullopt;

    // The text ends at ETX, or where the reply text ends when the pager left
    // the ETX out. Control bytes would upset the pager's display line, so
    // they are kept as blanks; anything past 14 characters is dropped.
    std::size_t i = *textColon + 1;
    while (i < reply.size() && reply[i] != Etx && reply[i] != '\0') {
        if (parsed.text.size() < SlotTextMax) {
            const auto byte = static_cast<unsigned char>(reply[i]);
            parsed.text += byte < 0x20 ? ' ' : reply[i];
        }
        ++i;
    }

    // Each number follows the next space. Without an ETX the search starts
    // where the text stopped, which is the end of the reply text.
    std::size_t from = i;
    while (parsed.numberCount < wantedNumbers && parsed.numberCount < parsed.numbers.size()) {
        const auto space = findWithin(reply, " ", from);
        if (!space)
            break;
        from = *space + 1;
        parsed.numbers[parsed.numberCount++] = numberAt(reply, from);
    }
    return parsed;
}

std::optional<std::uint8_t> numberAfterMarker(std::string_view reply, std::string_view marker)
{
    const auto at = findWithin(reply, marker);
    if (!at)
        return std::nullopt;
    return numberAt(reply, *at + marker.size());
}

std::optional<std::string> remoteDeleteTextFromReply(std::string_view reply)
{
    const auto mark = findWithin(reply, RemoteDeleteTextMark);
    if (!mark)
        return std::nullopt;
    const auto lf = findWithin(reply, std::string_view(&Lf, 1), *mark + RemoteDeleteTextMark.size());
    if (!lf)
        return std::nullopt;
    return lineUpToCr(reply, *lf + 1, RemoteDeleteTextMax);
}

std::optional<std::string> pagerNameFromReply(std::string_view reply)
{
    const auto colon = findWithin(reply, ":");
    if (!colon)
        return std::nullopt;
    return lineUpToCr(reply, *colon + 1, PagerNameMax);
}

}  // namespace harvelin::transfer
