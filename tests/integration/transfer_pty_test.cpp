#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "form_results.h"
#include "link/port_table.h"
#include "model/win1252.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace harvelin {
namespace {

// One tool session on the pseudo-terminal, as a successful search leaves it.
struct Session {
    Session(SerialBackend& backend, const std::string& device)
        : dialog(host, backend, PortTable::fromPaths({device}), clock)
    {
        dialog.OnInitDialog();
    }

    bool connect()
    {
        if (!dialog.session().takePort(1))
            return false;
        host.setChecked(ctl::Active, true);
        return true;
    }
    // Lets the port go, as the end of the tool does.
    void end()
    {
        SessionEvents none;
        dialog.session().end(none);
    }

    SystemClock clock;
    MemoryHost host;
    MainDialog dialog;
    FormResults results{dialog};
};

// A full configuration goes into the pager and comes back unchanged, over a
// real line with the termios backend and the pager's own copy in between.
TEST(TransferPtyTest, WrittenConfigurationReadsBackUnchanged)
{
    sim::PtyPager pty({});
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    const std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();

    Session writer(*backend, pty.devicePath());
    ASSERT_TRUE(writer.connect());
    MainDialog& w = writer.dialog;
    MemoryHost& wh = writer.host;
    for (unsigned n = 0; n < 32; ++n) {
        editImage(w, [&](PagerImage& image) { image.callers[n].setButtonIdValue(100000u * n + 7); });
        editImage(w, [&](PagerImage& image) { image.callers[n].idSuffix = static_cast<std::uint8_t>(n % 10); });
    }
    w.onCommand(ctl::PageUpper);
    for (int r = 1; r <= 16; ++r)
        wh.setControlText(ctl::callerText(r), win1252("Außen ") + std::to_string(r + 16));
    w.onCommand(ctl::PageLower);
    for (int r = 1; r <= 16; ++r) {
        wh.setControlText(ctl::callerText(r), win1252("Tür ") + std::to_string(r));
        wh.setControlText(ctl::kitchenText(r), win1252("Küche ") + std::to_string(r));
        wh.setControlText(ctl::kitchenKey(r), std::to_string(17 - r));
        wh.setControlText(ctl::kitchenStation(r), std::to_string(r % 4 + 1));
    }
    wh.setControlText(ctl::PagerName, win1252("Pager:Süd"));
    wh.setControlText(ctl::RemoteDeleteText, win1252(" Bitte abräumen "));
    wh.setChecked(ctl::Battery, true);
    wh.setChecked(ctl::Buzzer, true);
    wh.setChecked(ctl::RemoteDelete, false);

    w.onCommand(ctl::WriteButton);
    ASSERT_EQ(wh.messages, std::vector<std::string>{win1252("Daten erfolgreich übertragen")});
    writer.end();

    Session reader(*backend, pty.devicePath());
    ASSERT_TRUE(reader.connect());
    MainDialog& r = reader.dialog;
    MemoryHost& rh = reader.host;
    rh.setChecked(ctl::RemoteDelete, true);
    r.onCommand(ctl::ReadButton);
    EXPECT_TRUE(rh.messages.empty());
    EXPECT_TRUE(reader.results.lastReadOutComplete);

    for (unsigned n = 0; n < 32; ++n) {
        EXPECT_EQ(r.image().callers[n].text.str(), w.image().callers[n].text.str()) << "slot " << n + 1;
        EXPECT_EQ(r.image().callers[n].buttonId, w.image().callers[n].buttonId) << "slot " << n + 1;
        EXPECT_EQ(r.image().callers[n].idSuffix, w.image().callers[n].idSuffix) << "slot " << n + 1;
    }
    for (unsigned k = 0; k < 16; ++k) {
        EXPECT_EQ(r.image().kitchenCalls[k].text.str(), w.image().kitchenCalls[k].text.str()) << "kitchen " << k + 1;
        EXPECT_EQ(r.image().kitchenCalls[k].key, w.image().kitchenCalls[k].key) << "kitchen " << k + 1;
        EXPECT_EQ(r.image().kitchenCalls[k].station, w.image().kitchenCalls[k].station) << "kitchen " << k + 1;
    }
    EXPECT_EQ(r.image().callers[31].text.str(), win1252("Außen 32"));
    EXPECT_EQ(r.fields().pagerName, win1252("Pager:Süd"));
    EXPECT_EQ(r.fields().remoteDeleteText, win1252(" Bitte abräumen "));
    EXPECT_TRUE(rh.isChecked(ctl::Battery));
    EXPECT_TRUE(rh.isChecked(ctl::Buzzer));
    EXPECT_FALSE(rh.isChecked(ctl::RemoteDelete));
    reader.end();
}

// Over a real line: a pager that answers one slot late and refuses the next.
// The late "Uebernommen" is still heard in the link's extra listening and
// counts for its own slot, never for the refused one.
TEST(TransferPtyTest, LateAnswerAndRefusedSlotFailTheWrite)
{
    sim::PtyPager pty({});
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    {
        const auto lock = pty.lock();
        pty.pager().state().version = "1.4";
        pty.pager().faults().delayFor[">Setze:3 "] = 350;
        pty.pager().faults().noAckFor[">Setze:4 "] = -1;
    }
    const std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();
    Session writer(*backend, pty.devicePath());
    ASSERT_TRUE(writer.connect());
    writer.dialog.onCommand(ctl::WriteButton);
    ASSERT_EQ(writer.host.messages.size(), 1u);
    const std::string& told = writer.host.messages[0];
    EXPECT_NE(told.find(win1252("Nicht übernommen: Tischsender 5.")), std::string::npos) << told;
    EXPECT_FALSE(writer.results.lastWriteSucceeded);
}

}  // namespace
}  // namespace harvelin
