#include "cli/trace_backend.h"

#include <cstdio>

#include "model/conversions.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

class TracingPort : public SerialPort {
public:
    TracingPort(std::unique_ptr<SerialPort> inner, TracingBackend& owner, std::string device)
        : inner_(std::move(inner)), owner_(owner), device_(std::move(device))
    {
    }
    ~TracingPort() override { owner_.log(device_, "close", {}); }

    bool readSettings() override { return inner_->readSettings(); }
    bool applyLineSettings() override { return inner_->applyLineSettings(); }
    void setTimeouts(TimeoutSet set) override { inner_->setTimeouts(set); }

    std::string read(std::size_t maxBytes) override
    {
        std::string bytes = inner_->read(maxBytes);
        // Empty reads are the rule between replies; only bytes are news.
        if (!bytes.empty())
            owner_.log(device_, "<-", bytes);
        return bytes;
    }

    std::string discardInput() override
    {
        std::string dropped = inner_->discardInput();
        // Bytes that came for no command now: a late or repeated answer.
        if (!dropped.empty())
            owner_.log(device_, "<- (stale, dropped)", dropped);
        return dropped;
    }

    bool write(std::string_view bytes) override
    {
        const bool ok = inner_->write(bytes);
        owner_.log(device_, ok ? "->" : "-> (refused)", bytes);
        return ok;
    }

private:
    std::unique_ptr<SerialPort> inner_;
    TracingBackend& owner_;
    std::string device_;
};

}  // namespace

std::string escapedBytes(std::string_view bytes) { return win1252ToUtf8(escapedText(bytes)); }

TracingBackend::TracingBackend(SerialBackend& inner, Clock& clock, std::ostream& out)
    : inner_(inner), clock_(clock), out_(out), startMs_(clock.nowMs())
{
}

std::unique_ptr<SerialPort> TracingBackend::open(const std::string& deviceName)
{
    std::unique_ptr<SerialPort> port = inner_.open(deviceName);
    if (!port) {
        log(deviceName, "open failed", {});
        return nullptr;
    }
    log(deviceName, "open", {});
    return std::make_unique<TracingPort>(std::move(port), *this, deviceName);
}

void TracingBackend::log(const std::string& device, std::string_view direction, std::string_view bytes)
{
    const std::int64_t ms = clock_.nowMs() - startMs_;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%6lld.%03lld ", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    std::string line = stamp + device + ' ' + std::string(direction);
    if (!bytes.empty())
        line += ' ' + escapedBytes(bytes);
    const std::lock_guard<std::mutex> hold(outLock_);
    out_ << line << '\n' << std::flush;
}

}  // namespace harvelin
