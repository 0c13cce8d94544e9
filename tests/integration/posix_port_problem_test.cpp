#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/serial_port.h"
#include "platform/serial_backends.h"

namespace harvelin {
namespace {

// What the system's own backend tells about devices it cannot open.
TEST(PosixPortProblem, BackendTellsMissingNotSerialAndBusyWithTheHolder)
{
    const auto backend = makeSystemSerialBackend();
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "harvelin-not-a-tty.txt";
    std::ofstream(file) << "text\n";

    EXPECT_EQ(backend->open("/dev/harvelin-no-such-tty"), nullptr);
    EXPECT_EQ(backend->lastOpenProblem().fault, PortFault::NoDevice);

    EXPECT_EQ(backend->open(file.string()), nullptr);
    EXPECT_EQ(backend->lastOpenProblem().fault, PortFault::NotSerial);
    std::filesystem::remove(file);

    // A pseudo-terminal this very process holds.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string device = ::ptsname(master);
    auto held = backend->open(device);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(backend->open(device), nullptr);
    const PortProblem busy = backend->lastOpenProblem();
    EXPECT_EQ(busy.fault, PortFault::Busy);
    EXPECT_NE(busy.holder.find("(PID " + std::to_string(::getpid()) + ")"), std::string::npos) << busy.holder;
    held.reset();
    EXPECT_NE(backend->open(device), nullptr);
    ::close(master);
}

}  // namespace
}  // namespace harvelin
