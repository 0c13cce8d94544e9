#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "link/device_search.h"
#include "model/win1252.h"
#include "platform/serial_backends.h"
#include "platform/win32_port_problem.h"
#include "transfer/messages.h"

namespace harvelin {
namespace {

// A port that another program holds is "belegt", as on Linux, with the
// holder unknown; other failures are not reported.
TEST(Win32PortProblem, HeldPortIsNamedBusyInTheSearchReport)
{
    struct Case {
        unsigned long error;
        PortFault fault;
    };
    for (const Case c : {Case{ERROR_ACCESS_DENIED, PortFault::Busy}, Case{ERROR_SHARING_VIOLATION, PortFault::Busy},
                         Case{ERROR_FILE_NOT_FOUND, PortFault::None}, Case{ERROR_GEN_FAILURE, PortFault::None}}) {
        const PortProblem p = diagnoseOpenFailure(c.error);
        EXPECT_EQ(p.fault, c.fault) << c.error;
        EXPECT_EQ(p.holder, "") << c.error;
    }

    // A real open refused. Wine lets a second program open a COM port, but
    // not a file that another handle holds without sharing: such a file
    // stands in for the port.
    char folder[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
    const std::string device = std::string(folder) + "harvelin-held-port";
    const HANDLE held =
        ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto backend = makeSystemSerialBackend();
    VirtualClock clock;
    OperationSink sink;
    SerialLink link(*backend, PortTable::fromPaths({device}), clock);
    const SearchResult whileHeld = searchPager(link, clock, sink);
    EXPECT_EQ(win1252ToUtf8(messageFor(whileHeld)),
              "Kein Zelvatron gefunden. Diese Ports ließen sich nicht öffnen:\n\n" + device +
                  ": belegt von einem anderen Programm.");

    // Once it is let go, it opens and is simply no pager.
    ::CloseHandle(held);
    const SearchResult afterwards = searchPager(link, clock, sink);
    EXPECT_FALSE(afterwards.found);
    EXPECT_EQ(messageFor(afterwards), "");
    ::DeleteFileA(device.c_str());
}

}  // namespace
}  // namespace harvelin
