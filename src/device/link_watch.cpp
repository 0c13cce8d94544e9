#include "device/link_watch.h"

#include <string_view>

namespace harvelin {

namespace {

constexpr std::size_t TickReadBytes = 100;
// The keep-alive is the byte that opens every command frame, on its own.
constexpr std::string_view KeepAliveByte = "\x16";

}  // namespace

std::string readTick(SerialLink& link)
{
    if (!link.port())
        return {};
    std::string bytes = link.port()->read(TickReadBytes);
    if (bytes.size() > TickReadBytes)
        bytes.resize(TickReadBytes);
    return bytes;
}

LinkWatchResult linkWatch(SerialLink& link, bool deviceBusy)
{
    LinkWatchResult result;
    if (deviceBusy || link.portNumber() == 0)
        return result;

    switch (link.state()) {
    case LinkState::Closed:
        link.setState(link.open() ? LinkState::Open : LinkState::Closed);
        result.active = false;
        break;
    case LinkState::Open:
        result.active = true;
        readTick(link);  // stray input is of no use outside learn mode
        if (!link.port() || !link.port()->write(KeepAliveByte)) {
            link.dropPort();
            link.setState(LinkState::Lost);
        }
        break;
    case LinkState::Lost:
        if (link.open())
            link.setState(LinkState::Open);
        result.active = false;
        result.lost = true;
        break;
    }
    return result;
}

}  // namespace harvelin
