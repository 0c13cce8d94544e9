#include "device/option_switch.h"

#include <string_view>

#include "model/configuration_rule.h"

namespace harvelin {

namespace {

constexpr int SwitchAttempts = 4;
// Only the capitalised word counts here: the pager acknowledges a switch
// that carries its name with "Uebernommen".
constexpr std::string_view SwitchAck = "Uebernommen";
// A pager of another name answers a switch addressed by name with this.
constexpr std::string_view WrongPagerWord = "Falscher Pager";

}  // namespace

SwitchResult sendOptionSwitch(SerialLink& link, const std::string& command)
{
    SwitchResult result;
    // The name a switch carries is checked where it comes in; a command that
    // could end its frame early is never sent.
    if (!isShowableText(command))
        return result;
    // A confirmation after a late reply may belong to another command.
    link.clearLateReply();
    for (int attempt = 0; attempt < SwitchAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (!link.exchange(command, reply, replyLength))
            continue;
        if (acknowledges(reply, SwitchAck)) {
            result.answer = link.lateReplySeen() ? SwitchAnswer::Refused : SwitchAnswer::Confirmed;
            result.reply.clear();
            return result;
        }
        // Asking again will not change the pager's name.
        if (reply.find(WrongPagerWord) != std::string::npos) {
            result.answer = SwitchAnswer::WrongPager;
            result.reply = reply;
            return result;
        }
        if (!reply.empty())
            result.reply = reply;
    }
    return result;
}

}  // namespace harvelin
