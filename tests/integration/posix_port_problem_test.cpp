#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/serial_port.h"
#include "platform/posix_port_problem.h"
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

// Joining the device's group is advised only where that group may read and
// write it, and never for root's group.
TEST(PosixPortProblem, PermissionNamesTheGroupOnlyWhereJoiningItHelps)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "harvelin-tty-stand-in";
    std::ofstream(file) << "";
    const gid_t someGroup = 20;  // a group other than root's; named or not, the rule is the same
    ASSERT_EQ(::chown(file.c_str(), ::getuid(), someGroup), 0);
    const group* gr = ::getgrgid(someGroup);
    struct Case {
        mode_t mode;
        bool groupNamed;
    };
    for (const Case c : {Case{0660, true}, Case{0600, false}, Case{0640, false}}) {
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        const PortProblem p = diagnoseOpenFailure(file.string(), EACCES);
        EXPECT_EQ(p.fault, PortFault::PermissionDenied);
        EXPECT_EQ(p.group, c.groupNamed && gr ? std::string(gr->gr_name) : std::string()) << std::oct << c.mode;
    }
    ASSERT_EQ(::chown(file.c_str(), ::getuid(), 0), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0660), 0);
    EXPECT_EQ(diagnoseOpenFailure(file.string(), EACCES).group, "");
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace harvelin
