#include "sim_backend.h"

#include <algorithm>
#include <deque>
#include <iterator>

namespace harvelin::sim {

struct SimBackend::Device {
    enum Kind { Pager, Silent, Echo } kind = Silent;
    std::shared_ptr<PagerSimulator> pager;
    std::string echo;
    bool plugged = true;
    bool busy = false;
    PortProblem refusal;
    bool readFails = false;
    bool applyFails = false;
    bool isOpen = false;
    unsigned generation = 0;  // a handle from before an unplug stays dead
    std::optional<std::int64_t> backAtMs;  // an unplugged line comes back then

    bool present(std::int64_t now)
    {
        if (!plugged && backAtMs && now >= *backAtMs) {
            plugged = true;
            backAtMs.reset();
        }
        return plugged;
    }
    // Bytes on their way to the PC and the clock time each arrives.
    std::deque<std::pair<std::int64_t, char>> pending;

    // Bytes leave the device in the order of their times, whenever they were
    // scheduled: a line injected for later does not hold up an answer due now.
    void schedule(const std::string& bytes, std::int64_t at)
    {
        auto pos = std::upper_bound(pending.begin(), pending.end(), at,
                                    [](std::int64_t t, const std::pair<std::int64_t, char>& p) { return t < p.first; });
        for (const char c : bytes)
            pos = std::next(pending.insert(pos, {at, c}));
    }
};

namespace {

using Devices = std::map<std::string, std::shared_ptr<SimBackend::Device>>;
using Events = std::vector<SimBackend::Event>;

class SimPort final : public SerialPort {
public:
    SimPort(std::string name, std::shared_ptr<SimBackend::Device> device, Clock& clock,
            std::shared_ptr<Events> events)
        : name_(std::move(name)), device_(std::move(device)), clock_(clock), events_(std::move(events)),
          generation_(device_->generation)
    {
    }

    ~SimPort() override
    {
        if (alive()) {
            device_->isOpen = false;
            device_->pending.clear();
        }
        events_->push_back({SimBackend::Event::Close, name_, {}, clock_.nowMs(), 0});
    }

    bool readSettings() override { return alive() && !device_->readFails; }
    bool applyLineSettings() override { return alive() && !device_->applyFails; }
    void setTimeouts(TimeoutSet set) override { timeouts_ = set; }

    std::string read(std::size_t maxBytes) override
    {
        std::string bytes;
        if (!alive()) {
            events_->push_back({SimBackend::Event::Read, name_, {}, clock_.nowMs(), maxBytes});
            return bytes;
        }
        const std::int64_t deadline = clock_.nowMs() + readTimeoutMs(timeouts_, maxBytes);
        std::int64_t returnAt = deadline;
        auto& pending = device_->pending;
        while (!pending.empty() && bytes.size() < maxBytes && pending.front().first <= deadline) {
            bytes += pending.front().second;
            if (bytes.size() == maxBytes)
                returnAt = std::max(clock_.nowMs(), pending.front().first);
            pending.pop_front();
        }
        if (returnAt > clock_.nowMs())
            clock_.sleepMs(static_cast<unsigned>(returnAt - clock_.nowMs()));
        events_->push_back({SimBackend::Event::Read, name_, bytes, clock_.nowMs(), maxBytes});
        return bytes;
    }

    bool write(std::string_view bytes) override
    {
        events_->push_back({SimBackend::Event::Write, name_, std::string(bytes), clock_.nowMs(), 0});
        if (!alive())
            return false;
        const std::int64_t now = clock_.nowMs();
        switch (device_->kind) {
        case SimBackend::Device::Pager: {
            const std::string answer = device_->pager->receive(bytes);
            if (answer.empty())
                break;
            const Faults& faults = device_->pager->faults();
            const std::int64_t at = now + device_->pager->replyDelayMs();
            if (faults.splitAt && *faults.splitAt < answer.size()) {
                device_->schedule(answer.substr(0, *faults.splitAt), at);
                device_->schedule(answer.substr(*faults.splitAt), at + faults.splitDelayMs);
            } else {
                device_->schedule(answer, at);
            }
            break;
        }
        case SimBackend::Device::Echo: device_->schedule(device_->echo, now); break;
        case SimBackend::Device::Silent: break;
        }
        return true;
    }

    std::string discardInput() override
    {
        std::string dropped;
        if (!alive())
            return dropped;
        auto& pending = device_->pending;
        while (!pending.empty() && pending.front().first <= clock_.nowMs()) {
            dropped += pending.front().second;
            pending.pop_front();
        }
        return dropped;
    }

private:
    bool alive() const { return device_->present(clock_.nowMs()) && device_->generation == generation_; }

    std::string name_;
    std::shared_ptr<SimBackend::Device> device_;
    Clock& clock_;
    std::shared_ptr<Events> events_;
    unsigned generation_;
    TimeoutSet timeouts_ = TimeoutSet::Link;
};

}  // namespace

SimBackend::SimBackend(Clock& clock)
    : clock_(clock), devices_(std::make_shared<Devices>()), events_(std::make_shared<Events>())
{
}

std::shared_ptr<PagerSimulator> SimBackend::attachPager(const std::string& deviceName, PagerState state)
{
    auto device = std::make_shared<Device>();
    device->kind = Device::Pager;
    device->pager = std::make_shared<PagerSimulator>(std::move(state));
    (*devices_)[deviceName] = device;
    return device->pager;
}

void SimBackend::attachSilentDevice(const std::string& deviceName)
{
    (*devices_)[deviceName] = std::make_shared<Device>();
}

void SimBackend::attachEchoDevice(const std::string& deviceName, std::string answer)
{
    auto device = std::make_shared<Device>();
    device->kind = Device::Echo;
    device->echo = std::move(answer);
    (*devices_)[deviceName] = device;
}

void SimBackend::unplug(const std::string& deviceName, std::optional<std::int64_t> backAtMs)
{
    const auto it = devices_->find(deviceName);
    if (it == devices_->end())
        return;
    it->second->plugged = false;
    it->second->backAtMs = backAtMs;
    it->second->isOpen = false;
    it->second->pending.clear();
    ++it->second->generation;
}

void SimBackend::plug(const std::string& deviceName)
{
    const auto it = devices_->find(deviceName);
    if (it != devices_->end())
        it->second->plugged = true;
}

void SimBackend::failSettings(const std::string& deviceName, bool readFails, bool applyFails)
{
    const auto it = devices_->find(deviceName);
    if (it == devices_->end())
        return;
    it->second->readFails = readFails;
    it->second->applyFails = applyFails;
}

void SimBackend::setBusy(const std::string& deviceName, bool busy)
{
    const auto it = devices_->find(deviceName);
    if (it != devices_->end())
        it->second->busy = busy;
}

void SimBackend::refuseOpen(const std::string& deviceName, PortProblem why)
{
    auto& device = (*devices_)[deviceName];
    if (!device)
        device = std::make_shared<Device>();
    device->refusal = std::move(why);
}

std::unique_ptr<SerialPort> SimBackend::open(const std::string& deviceName)
{
    lastProblem_ = {};
    const auto it = devices_->find(deviceName);
    const bool refused = it != devices_->end() && it->second->refusal.fault != PortFault::None;
    if (it == devices_->end() || !it->second->present(clock_.nowMs()) || it->second->busy || it->second->isOpen ||
        refused) {
        if (refused)
            lastProblem_ = it->second->refusal;
        else if (it != devices_->end() && (it->second->busy || it->second->isOpen))
            lastProblem_.fault = PortFault::Busy;
        events_->push_back({Event::OpenFailed, deviceName, {}, clock_.nowMs(), 0});
        return nullptr;
    }
    Device& device = *it->second;
    device.isOpen = true;
    device.pending.clear();
    events_->push_back({Event::Open, deviceName, {}, clock_.nowMs(), 0});
    return std::make_unique<SimPort>(deviceName, it->second, clock_, events_);
}

const std::vector<SimBackend::Event>& SimBackend::events() const { return *events_; }

void SimBackend::clearEvents() { events_->clear(); }

std::vector<std::string> SimBackend::writes(const std::string& deviceName) const
{
    std::vector<std::string> out;
    for (const Event& e : *events_)
        if (e.kind == Event::Write && e.device == deviceName)
            out.push_back(e.bytes);
    return out;
}

std::vector<std::string> SimBackend::opened() const
{
    std::vector<std::string> out;
    for (const Event& e : *events_)
        if (e.kind == Event::Open)
            out.push_back(e.device);
    return out;
}

void SimBackend::inject(const std::string& deviceName, std::string bytes, std::int64_t atMs)
{
    const auto it = devices_->find(deviceName);
    if (it != devices_->end())
        it->second->schedule(bytes, atMs);
}

}  // namespace harvelin::sim
