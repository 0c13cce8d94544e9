#include "device/option_switch.h"

#include <string_view>

#include "model/configuration_rule.h"

namespace harvelin {

namespace {

constexpr int SwitchAttempts = 4;
// Only the capitalised word counts here: the pager acknowledges a switch
// that carries its name with "Uebernommen".
constexpr std::string_view SwitchAck = "Uebernommen";

}  // namespace

bool sendOptionSwitch(SerialLink& link, const std::string& command)
{
    // The name a switch carries is checked where it comes in; a command that
    // could end its frame early is never sent.
    if (!isShowableText(command))
        return false;
    // A confirmation after a late reply may belong to another command.
    link.clearLateReply();
    for (int attempt = 0; attempt < SwitchAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(command, reply, replyLength) && reply.find(SwitchAck) != std::string::npos)
            return !link.lateReplySeen();
    }
    return false;
}

}  // namespace harvelin
