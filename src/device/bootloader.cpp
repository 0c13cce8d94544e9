#include <string>
#include <string_view>

#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

namespace {

constexpr std::string_view BootloaderCommand = ">Bootloader";
constexpr std::string_view BootloaderAck = "Bootloader wird aufgerufen";
constexpr int BootloaderAttempts = 4;

}  // namespace

// The pager leaves its normal operation for the boot loader; the link is left
// as it is, and the link watch carries on.
void MainDialog::startBootloader()
{
    lastBootloaderConfirmed = false;

    // 1.
    if (!host.isChecked(ctl::Active))
        return;

    // 2. An answer after a late reply may belong to another command.
    link.lateReplySeen = false;
    for (int attempt = 0; attempt < BootloaderAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(std::string(BootloaderCommand), reply, replyLength) &&
            reply.find(BootloaderAck) != std::string::npos) {
            lastBootloaderConfirmed = !link.lateReplySeen;
            break;
        }
    }
}

}  // namespace harvelin
