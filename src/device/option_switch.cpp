#include <string>
#include <string_view>

#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

namespace {

constexpr int SwitchAttempts = 4;
// Only the capitalised word counts here: the pager acknowledges a switch
// that carries its name with "Uebernommen".
constexpr std::string_view SwitchAck = "Uebernommen";

}  // namespace

void MainDialog::sendOptionSwitch(int checkId, std::string_view onText, std::string_view offText)
{
    lastSwitchConfirmed = false;

    // 1. The box has already toggled when its click arrives.
    const bool ticked = host.isChecked(checkId);

    // 2. The name is the one the timer last took from the form.
    std::string command(ticked ? onText : offText);
    command += pagerName;

    // 3. Without a pager the new state waits for the next write.
    if (!host.isChecked(ctl::Active))
        return;

    // 4.
    for (int attempt = 0; attempt < SwitchAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(command, reply, replyLength) && reply.find(SwitchAck) != std::string::npos) {
            lastSwitchConfirmed = true;
            break;
        }
    }
}

}  // namespace harvelin
