#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/port_problem.h"
#include "model/win1252.h"
#include "sim_backend.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace harvelin {
namespace {

// A port that the system refuses for a reason, and what the message after a
// fruitless search must say about it (UTF-8; absent: must not say).
struct RefusedPort {
    const char* name;
    std::string device;
    PortProblem problem;
    std::vector<std::string> says;
    std::vector<std::string> saysNot;
};

// Test names show the case, not the bytes of the parameter.
void PrintTo(const RefusedPort& p, std::ostream* os) { *os << p.name; }

std::vector<RefusedPort> refusedPorts()
{
    return {
        {"PermissionNamesGroupAndFix", "/dev/ttyUSB0", {PortFault::PermissionDenied, "dialout", false, {}, {}},
         {"/dev/ttyUSB0: keine Berechtigung", "Gruppe \"dialout\"", "sudo usermod -aG dialout $USER",
          "ab- und wieder anmelden"},
         {}},
        {"PermissionForAMemberOnlyNeedsANewLogin", "/dev/ttyS0", {PortFault::PermissionDenied, "uucp", true, {}, {}},
         {"Gruppe \"uucp\"", "bereits Mitglied", "ab- und wieder anmelden"},
         {"usermod"}},
        {"BusyNamesTheHolder", "/dev/ttyS0", {PortFault::Busy, {}, false, "minicom (PID 4711)", {"ModemManager"}},
         {"/dev/ttyS0: belegt von minicom (PID 4711)"},
         // A built-in port is no business of ModemManager's.
         {"ModemManager"}},
        {"NotSerial", "/home/anna/notes.txt", {PortFault::NotSerial, {}, false, {}, {}},
         {"/home/anna/notes.txt: keine serielle Schnittstelle"},
         {}},
        {"VanishedAdapterNamesGrabbingServices", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
         {PortFault::NoDevice, {}, false, {}, {"ModemManager", "brltty"}},
         {"usb-FTDI_FT232R-if00-port0: Gerät nicht vorhanden", "ModemManager läuft", "brltty läuft"},
         {}},
    };
}

class PortProblemSearchTest : public ::testing::TestWithParam<RefusedPort> {
protected:
    // The refused port first, then a second port: silent, or with the pager.
    void searchWith(bool pagerOnSecond)
    {
        const RefusedPort& p = GetParam();
        backend.refuseOpen(p.device, p.problem);
        if (pagerOnSecond)
            backend.attachPager("/dev/ttyUSB1");
        else
            backend.attachSilentDevice("/dev/ttyUSB1");
        dialog = std::make_unique<MainDialog>(host, backend, PortTable::fromPaths({p.device, "/dev/ttyUSB1"}), clock);
        dialog->OnInitDialog();
        dialog->onCommand(ctl::SearchButton);
    }

    VirtualClock clock;
    MemoryHost host;
    sim::SimBackend backend{clock};
    std::unique_ptr<MainDialog> dialog;
};

TEST_P(PortProblemSearchTest, FruitlessSearchSaysOnceWhyThePortFailed)
{
    searchWith(false);
    EXPECT_EQ(dialog->session().linkState(), LinkState::Closed);
    EXPECT_EQ(host.portListLine, "Kein Zelvatron gefunden");
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string shown = win1252ToUtf8(host.messages.front());
    EXPECT_EQ(shown.rfind("Kein Zelvatron gefunden.", 0), 0u) << shown;
    for (const std::string& part : GetParam().says)
        EXPECT_NE(shown.find(part), std::string::npos) << part << "\nin: " << shown;
    for (const std::string& part : GetParam().saysNot)
        EXPECT_EQ(shown.find(part), std::string::npos) << part << "\nin: " << shown;
    // The silent port failed for no reason worth naming.
    EXPECT_EQ(shown.find("ttyUSB1"), std::string::npos) << shown;
}

TEST_P(PortProblemSearchTest, NoMessageWhenThePagerIsFoundOnAnotherPort)
{
    searchWith(true);
    EXPECT_EQ(dialog->session().portNumber(), 2);
    EXPECT_EQ(host.portListLine, "Pager an Port:ttyUSB1 gefunden");
    EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, PortProblemSearchTest, ::testing::ValuesIn(refusedPorts()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PortProblemSearch, SeveralFailedPortsMakeOneMessageAndNoPortAtAllIsSaid)
{
    VirtualClock clock;
    MemoryHost host;
    sim::SimBackend backend{clock};
    backend.refuseOpen("/dev/ttyUSB0", {PortFault::Busy, {}, false, {}, {}});
    backend.refuseOpen("/dev/ttyS0", {PortFault::PermissionDenied, "dialout", false, {}, {}});
    MainDialog dialog(host, backend, PortTable::fromPaths({"/dev/ttyUSB0", "/dev/ttyS0"}), clock);
    dialog.OnInitDialog();
    dialog.onCommand(ctl::SearchButton);
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string shown = win1252ToUtf8(host.messages.front());
    EXPECT_LT(shown.find("/dev/ttyUSB0: belegt"), shown.find("/dev/ttyS0: keine Berechtigung")) << shown;

    MemoryHost bare;
    MainDialog nothing(bare, backend, PortTable(), clock);
    nothing.OnInitDialog();
    nothing.onCommand(ctl::SearchButton);
    ASSERT_EQ(bare.messages.size(), 1u);
    EXPECT_NE(win1252ToUtf8(bare.messages.front()).find("keine serielle Schnittstelle"), std::string::npos);
    EXPECT_EQ(bare.portListLine, "Kein Zelvatron gefunden");
}

}  // namespace
}  // namespace harvelin
