#include "cli/trace_backend.h"

#include <cstdio>

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

    void discardInput() override { inner_->discardInput(); }

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

// The five bytes that Windows-1252 leaves unassigned.
bool unassigned(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

}  // namespace

std::string escapedBytes(std::string_view bytes)
{
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\r': out += "\\r"; continue;
        case '\n': out += "\\n"; continue;
        case '\t': out += "\\t"; continue;
        case '\\': out += "\\\\"; continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7F || unassigned(c)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else if (c >= 0x80) {
            out += win1252ToUtf8(std::string_view(&ch, 1));
        } else {
            out += ch;
        }
    }
    return out;
}

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
    out_ << stamp << device << ' ' << direction;
    if (!bytes.empty())
        out_ << ' ' << escapedBytes(bytes);
    out_ << '\n';
    out_.flush();
}

}  // namespace harvelin
