#include <string>
#include <string_view>

#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

namespace {

constexpr int SwitchAttempts = 4;
// Only the capitalised word counts here: the pager acknowledges a switch
// that carries its name with "Uebernommen".
constexpr std::string_view SwitchAck = "Uebernommen";
constexpr std::string_view SwitchRefusedMessage = "Der Pager hat die Einstellung nicht übernommen.";

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

    // 4. A confirmation after a late reply may belong to another command.
    link.lateReplySeen = false;
    for (int attempt = 0; attempt < SwitchAttempts; ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (link.exchange(command, reply, replyLength) && reply.find(SwitchAck) != std::string::npos) {
            lastSwitchConfirmed = !link.lateReplySeen;
            break;
        }
    }

    // The box keeps its new state either way; the user must know whether the
    // pager has it too. A confirmed switch is on the pager, nothing to lose.
    if (!lastSwitchConfirmed) {
        host.messageBox(win1252(SwitchRefusedMessage));
        return;
    }
    bool& kept = checkId == ctl::Battery ? keptConfiguration.battery
                 : checkId == ctl::Buzzer ? keptConfiguration.buzzer
                                          : keptConfiguration.remoteDelete;
    kept = ticked;
}

}  // namespace harvelin
