#include "device/bootloader.h"

#include <string>
#include <string_view>

namespace harvelin {

namespace {

constexpr std::string_view BootloaderCommand = ">Bootloader";
constexpr std::string_view BootloaderAck = "Bootloader wird aufgerufen";
constexpr int BootloaderAttempts = 4;

}  // namespace

bool startBootloader(SerialLink& link)
{
    // An answer after a late reply may belong to another command.
    link.clearLateReply();
    for (int attempt = 0; attempt < BootloaderAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(std::string(BootloaderCommand), reply, replyLength) &&
            acknowledges(reply, BootloaderAck))
            return !link.lateReplySeen();
    }
    return false;
}

}  // namespace harvelin
