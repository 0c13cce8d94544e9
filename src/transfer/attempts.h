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
template <class Accept>
std::optional<std::string> requestUntil(SerialLink& link, const std::string& command, int attempts, Accept&& accepted)
{
    for (int attempt = 0; attempt < attempts && !link.cancelled(); ++attempt) {
        std::string reply;
        std::uint8_t replyLength = 0;
        if (!link.exchange(command, reply, replyLength))
            continue;
        reply.resize(std::min<std::size_t>(reply.size(), replyLength));
        if (accepted(reply))
            return reply;
    }
    return std::nullopt;
}

}  // namespace harvelin::transfer
