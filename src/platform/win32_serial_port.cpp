// Serial lines through the Win32 communications API: synchronous handles
// whose total time-outs bound every read and write, so a silent pager costs a
// fixed, known time.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/serial_backends.h"
#include "platform/win32_port_problem.h"

namespace harvelin {

namespace {

class Win32SerialPort final : public SerialPort {
public:
    explicit Win32SerialPort(HANDLE handle) : handle_(handle) {}

    ~Win32SerialPort() override { CloseHandle(handle_); }

    bool readSettings() override
    {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb))
            return false;
        dcb_ = dcb;
        haveDcb_ = true;
        return true;
    }

    bool applyLineSettings() override
    {
        if (!haveDcb_ && !readSettings())
            return false;
        // Only the line format and the modem lines change; flow control,
        // DSR sensitivity and the special characters stay as the port has
        // them.
        DCB dcb = dcb_;
        dcb.BaudRate = CBR_115200;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        if (!SetCommState(handle_, &dcb))
            return false;
        dcb_ = dcb;
        return true;
    }

    void setTimeouts(TimeoutSet set) override
    {
        COMMTIMEOUTS t{};
        GetCommTimeouts(handle_, &t);
        // ReadIntervalTimeout stays as the port reports it.
        t.ReadTotalTimeoutMultiplier = 1;
        t.ReadTotalTimeoutConstant = set == TimeoutSet::Link ? 1 : 0;
        t.WriteTotalTimeoutMultiplier = 1;
        t.WriteTotalTimeoutConstant = 5;
        SetCommTimeouts(handle_, &t);
    }

    std::string read(std::size_t maxBytes) override
    {
        std::string buf(maxBytes, '\0');
        DWORD got = 0;
        if (maxBytes > 0 && !ReadFile(handle_, buf.data(), static_cast<DWORD>(maxBytes), &got, nullptr))
            got = 0;
        buf.resize(got);
        return buf;
    }

    std::string discardInput() override
    {
        // What has arrived is taken out first so it can be told; whatever is
        // still in the driver goes with the purge.
        std::string dropped;
        DWORD errors = 0;
        COMSTAT status{};
        if (ClearCommError(handle_, &errors, &status) && status.cbInQue > 0) {
            dropped.resize(status.cbInQue);
            DWORD got = 0;
            if (!ReadFile(handle_, dropped.data(), status.cbInQue, &got, nullptr))
                got = 0;
            dropped.resize(got);
        }
        PurgeComm(handle_, PURGE_RXCLEAR);
        return dropped;
    }

    bool write(std::string_view bytes) override
    {
        DWORD written = 0;
        const BOOL ok = WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return ok && written == bytes.size();
    }

private:
    HANDLE handle_;
    DCB dcb_{};
    bool haveDcb_ = false;
};

class Win32SerialBackend final : public SerialBackend {
public:
    std::unique_ptr<SerialPort> open(const std::string& deviceName) override
    {
        // Share mode 0: the port is ours alone while we hold it.
        problem_ = {};
        const HANDLE h = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            problem_ = diagnoseOpenFailure(GetLastError());
            return nullptr;
        }
        return std::make_unique<Win32SerialPort>(h);
    }

    // The program has one backend, which the ports of a series open from
    // threads of their own: each thread asks about its own last open().
    PortProblem lastOpenProblem() const override { return problem_; }

private:
    static thread_local PortProblem problem_;
};

thread_local PortProblem Win32SerialBackend::problem_;

}  // namespace

std::unique_ptr<SerialBackend> makeSystemSerialBackend() { return std::make_unique<Win32SerialBackend>(); }

}  // namespace harvelin
