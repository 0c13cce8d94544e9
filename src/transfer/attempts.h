#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/serial_link.h"

namespace harvelin::transfer {

// Sends `command` up to `attempts` times until `accepted(reply)` holds for the
// reply, and returns that reply. Every attempt starts from an empty reply, so
// an exchange that sent nothing (it returned false) is an attempt without the
// expected word and never lets the previous step's reply count again.
// `accepted` receives the reply as it arrived and may rewrite it. A cancelled
// operation makes no further attempt.
// With a `silence` watch, the step is counted as heard when the pager sent
// at least one byte during it, late replies included. `unexpected` receives
// the last reply that was not accepted, as it arrived, when there was one.
class SilenceWatch;
template <class Accept>
std::optional<std::string> requestUntil(SerialLink& link, const std::string& command, int attempts, Accept&& accepted,
                                        SilenceWatch* silence = nullptr, std::string* unexpected = nullptr);

// A pager that sends nothing at all, step after step, has gone (switched off,
// unplugged behind a converter that stays): after this many silent steps in
// a row a read-out or a write stops instead of trying every remaining step
// with all its attempts. A pager that answers anything, even rubbish, keeps
// every step's full attempts.
class SilenceWatch {
public:
    static constexpr int GoneAfterSilentSteps = 3;

    void step(bool heard) { silentSteps_ = heard ? 0 : silentSteps_ + 1; }
    bool pagerGone() const { return silentSteps_ >= GoneAfterSilentSteps; }

private:
    int silentSteps_ = 0;
};

// A pager found gone is treated like a line whose keep-alive failed: the port
// is let go, and the link watch brings it back when the pager answers again.
inline void treatLinkAsLost(SerialLink& link)
{
    link.dropPort();
    if (link.state() != LinkState::Closed)
        link.setState(LinkState::Lost);
}

template <class Accept>
std::optional<std::string> requestUntil(SerialLink& link, const std::string& command, int attempts, Accept&& accepted,
                                        SilenceWatch* silence, std::string* unexpected)
{
    const std::uint64_t heardBefore = link.bytesHeard();
    std::optional<std::string> result;
    for (int attempt = 0; attempt < attempts && !link.cancelled(); ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (!link.exchange(command, reply, replyLength))
            continue;
        reply.resize(std::min<std::size_t>(reply.size(), replyLength));
        if (unexpected && !reply.empty())
            *unexpected = reply;
        if (accepted(reply)) {
            if (unexpected)
                unexpected->clear();
            result = std::move(reply);
            break;
        }
    }
    // A step cut short by a cancel tells nothing about the pager.
    if (silence && !link.cancelled())
        silence->step(link.bytesHeard() != heardBefore);
    return result;
}

}  // namespace harvelin::transfer
