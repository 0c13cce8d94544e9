#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "cli/trace_backend.h"
#include "files/backups.h"
#include "files/pager_data_file.h"
#include "model/catalogue.h"
#include "model/build_info.h"
#include "model/catalogue.h"
#include "model/win1252.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "session/pager_session.h"
#include "sim_backend.h"
#include "test_files.h"

namespace harvelin {
namespace {

const std::filesystem::path ReferenceFile = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

// The command line on virtual time: the system has two ports, the pager
// hangs on the second; --simulate adds one more pager in front.
class CliTest : public ::testing::Test, protected CliRig {
protected:
    CliTest()
    {
        env.systemPorts = [] { return PortTable::fromPaths({"ttyS0", "ttyUSB0"}); };
        env.startSimulator = [this]() -> std::optional<std::string> {
            backend.attachPager("sim0");
            return "sim0";
        };
    }
};

TEST_F(CliTest, PortsListsTheTableWithTheSimulatedPagerFirstAndWhetherEachOpens)
{
    EXPECT_EQ(run({"ports"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 ttyS0  cannot be opened\n2 ttyUSB0  ok\n");
    EXPECT_EQ(run({"--simulate", "ports"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 sim0  ok  simulated Zelvatron\n2 ttyS0  cannot be opened\n3 ttyUSB0  ok\n");
    backend.refuseOpen("/dev/ttyACM0", {PortFault::PermissionDenied, "dialout", false, {}, {}});
    backend.refuseOpen("/dev/ttyACM1", {PortFault::Busy, {}, false, "minicom (PID 4711)", {}});
    EXPECT_EQ(run({"--port", "/dev/ttyACM0", "--port", "/dev/ttyACM1", "ports"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 /dev/ttyACM0  permission denied (group dialout)\n"
                         "2 /dev/ttyACM1  busy (minicom (PID 4711))\n");
    // Tried, never written to.
    EXPECT_TRUE(backend.writes("ttyUSB0").empty());
    EXPECT_EQ(run({"--language", "de", "--port", "/dev/ttyACM0", "search"}), exitcode::NoPager);
    EXPECT_NE(err.str().find("Gruppe \"dialout\""), std::string::npos) << err.str();
}

TEST_F(CliTest, WindowsPortsKeepTheirComNumbersInPortsAndSearch)
{
    env.systemPorts = [] { return PortTable::listedComPorts({{"COM35", "USB Serial Port"}, {"COM4", {}}}); };
    backend.attachPager("\\\\.\\COM35");
    EXPECT_EQ(run({"ports"}), exitcode::Success);
    EXPECT_EQ(out.str(), "4 COM4  cannot be opened\n35 \\\\.\\COM35  ok  USB Serial Port\n");
    EXPECT_EQ(run({"search"}), exitcode::Success);
    EXPECT_EQ(out.str(), "35 \\\\.\\COM35\n");
}

TEST_F(CliTest, UnknownCommandListsTheCommandsAndEachCommandHelpTheGlobalOptions)
{
    EXPECT_EQ(run({"--port", "x", "serach"}), exitcode::BadInput);
    EXPECT_NE(err.str().find("unknown command \"serach\""), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("ports, search, read, write"), std::string::npos) << err.str();
    EXPECT_EQ(run({"read", "--help"}), exitcode::Success);
    EXPECT_NE(out.str().find("--port PATH"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("--simulate"), std::string::npos) << out.str();
}

TEST_F(CliTest, SearchPrintsThePortFound)
{
    EXPECT_EQ(run({"search"}), exitcode::Success);
    EXPECT_EQ(out.str(), "2 ttyUSB0\n");
    EXPECT_EQ(backend.writes("ttyUSB0").front(), ">@\r\n");
    EXPECT_EQ(err.str(), "");
}

// Standard output that takes nothing, as on a full disk or a closed pipe.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(CliTest, ResultThatCannotBeWrittenExitsWithTwoAndSaysWhy)
{
    const std::string path = file("ausgabe.pag");
    const std::string other = file("andere.pag");
    std::filesystem::copy_file(ReferenceFile, path);
    std::filesystem::copy_file(ReferenceFile, other);
    env.backupFolder = file("backups");
    ASSERT_EQ(run({"read", file("gelesen.pag")}), exitcode::Success);
    RefusingBuffer refusing;
    std::streambuf* const kept = static_cast<std::ostream&>(out).rdbuf(&refusing);
    // Every command that prints a result; diff and verify find differences,
    // whose status would otherwise be 1.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"ports"}, {"search"}, {"show", path}, {"show", "--json", path}, {"backups"},
          {"export", path, "-"}, {"diff", path, file("gelesen.pag")}, {"diff", "--json", path, "pager"},
          {"verify", path}, {"sheet", path}}) {
        out.clear();
        EXPECT_EQ(run(args), exitcode::OutputFailed) << args[0];
        EXPECT_NE(err.str().find("harvelin-cli: cannot write the result to standard output: "), std::string::npos)
            << args[0] << ": " << err.str();
    }
    static_cast<std::ostream&>(out).rdbuf(kept);
}

TEST_F(CliTest, SimulatedPagerIsFoundFirst)
{
    EXPECT_EQ(run({"--simulate", "search"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 sim0\n");
    EXPECT_TRUE(backend.writes("ttyUSB0").empty());
}

// One language per run: --language, before or after the command, beats the
// system's setting, which is German when it names no language; what scripts
// read is the same in both, and the language before the run is put back.
TEST_F(CliTest, SpeaksOneLanguageChosenByTheOptionOrTheSystem)
{
    const std::string bad = file("bad.pag");
    std::ofstream(bad, std::ios::binary) << "Batterie:1\r\n";
    struct Case {
        const char* system;
        std::vector<std::string> args;
        const char* said;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", {"--language", "en", "write", bad}, "is an incomplete read-out or configuration"},
        {"en_US.UTF-8", {"write", bad}, "is an incomplete read-out or configuration"},
        {"de_DE.UTF-8", {"write", bad}, "ist eine unvollständige Auslesung oder Konfiguration"},
        {"", {"write", bad}, "ist eine unvollständige Auslesung oder Konfiguration"},
        {"C.UTF-8", {"write", bad}, "ist eine unvollständige Auslesung oder Konfiguration"},
        {"en_US.UTF-8", {"write", bad, "--language=de"}, "ist eine unvollständige Auslesung oder Konfiguration"},
        {"en_US.UTF-8", {"--language", "de", "write"}, "FILE muss angegeben werden (siehe harvelin-cli write --help)"},
        {"de_DE.UTF-8", {"--language", "fr", "write", bad}, "--language nimmt de (Deutsch) oder en (Englisch)"},
    };
    const std::string before(chosenLanguage());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.system) + ": " + c.args.back());
        env.systemLanguage = c.system;
        EXPECT_EQ(run(c.args), exitcode::BadInput);
        EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
        EXPECT_EQ(chosenLanguage(), before);
    }

    std::vector<std::string> forScripts[2];
    for (int i = 0; i < 2; ++i) {
        const std::string language = i == 0 ? "de" : "en";
        for (std::vector<std::string> args : {std::vector<std::string>{"show", "--json", ReferenceFile.string()},
                                              std::vector<std::string>{"export", ReferenceFile.string(), "-"}}) {
            args.insert(args.begin(), {"--language", language});
            EXPECT_EQ(run(args), exitcode::Success);
            forScripts[i].push_back(out.str());
        }
    }
    EXPECT_EQ(forScripts[0], forScripts[1]);
}

TEST_F(CliTest, NoPagerExitsWithThree)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    EXPECT_EQ(run({"--port", "ttyS0", "search"}), exitcode::NoPager);
    EXPECT_EQ(out.str(), "");
    // The form's port line, once: the search named no port problem.
    EXPECT_EQ(err.str(), "Kein Zelvatron gefunden\n");
    EXPECT_EQ(run({"--port", "ttyS0", "bootloader"}), exitcode::NoPager);
}

TEST_F(CliTest, SimulatorThatCannotStartIsADeviceFailure)
{
    env.startSimulator = nullptr;
    EXPECT_EQ(run({"--simulate", "search"}), exitcode::DeviceFailed);
    EXPECT_NE(err.str().find("could not be started"), std::string::npos);
}

TEST_F(CliTest, ReadSavesWhatThePagerHolds)
{
    sim::PagerState& s = pager->state();
    s.pagerName = "Bar";
    s.remoteDeleteText = win1252("  Fernlöschung  ");
    s.remoteDeleteMode = 3;
    s.debug = 1;
    s.vibration = 1;
    s.callers[0] = {"Tisch 1", {0x78, 0x56, 0x34, 0x12, 3}};
    s.callers[31] = {win1252("Terrasse Süd"), {1, 2, 3, 4, 5}};
    s.kitchenCalls[2] = {win1252("Spülküche"), 200, 255};

    const std::string path = file("gelesen.pag");
    EXPECT_EQ(run({"read", path}), exitcode::Success);
    EXPECT_EQ(err.str(), "");

    // The file holds what the session reads from the pager, the same bytes
    // "Speichern unter" writes.
    PagerSession session(backend, env.systemPorts(), clock);
    ASSERT_TRUE(session.takePort(2));
    SessionEvents none;
    const ReadOutOutcome read = session.readOut(none, PagerSession::Backup::None);
    ASSERT_TRUE(read.result.complete());
    EXPECT_EQ(readBytes(path), PagerDataFile::format(read.result.read));
}

// A good file is never replaced by a read-out with gaps. What the pager
// answered goes beside it, without the lines it did not answer, and is no
// file that write takes as it stands.
TEST_F(CliTest, IncompleteReadOutGoesBesideTheFileAndExitsWithOne)
{
    pager->faults().silentFor[">Lese:5"] = -1;
    pager->state().callers[4].text = "Vier";
    const std::string path = file("kueche.pag");
    std::filesystem::copy_file(ReferenceFile, path);
    // The form's German message.
    EXPECT_EQ(run({"--language", "de", "read", path}), exitcode::DeviceFailed);
    EXPECT_NE(err.str().find("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert. Nicht gelesen: "
                             "Tischsender 6.\n"),
              std::string::npos);
    const std::string partial = file("kueche.partial.pag");
    EXPECT_NE(err.str().find("\nharvelin-cli: was der Pager geantwortet hat, steht in " + partial + "; " + path +
                             " bleibt, wie sie war\n"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(readBytes(path), readBytes(ReferenceFile));
    const std::string kept = readBytes(partial);
    EXPECT_EQ(kept.find("Eintrag:005"), std::string::npos);
    EXPECT_NE(kept.find("Eintrag:004 Vier\t000 000 000 000 000\r\n"), std::string::npos);
    PagerConfiguration c;
    FileCoverage coverage;
    PagerDataFile::parse(kept, c, &coverage);
    {
        LanguageScope english{"en"};
        EXPECT_EQ(coverage.missing(), "caller slots 6 (Eintrag)");
    }

    EXPECT_EQ(run({"write", partial}), exitcode::BadInput);
    EXPECT_EQ(err.str(), "harvelin-cli: " + partial + " is an incomplete read-out or configuration; it lacks caller "
                         "slots 6 (Eintrag). --partial writes it anyway, with the start values in their place\n");
    EXPECT_TRUE(commandsStartingWith(">Setze:").empty());
}

// The command line's forms never hold unsaved changes when a read-out or an
// open would replace them, so nothing is ever asked; a question would show
// on standard error.
TEST_F(CliTest, CommandsNeverAskAboutUnsavedChanges)
{
    const std::string path = file("anlage.pag");
    std::filesystem::copy_file(ReferenceFile, path);
    pressWhenLearning({200, 3, 0, 0, 7}, 500);
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{"learn", "20", path}, Args{"write", path, "--verify"}, Args{"verify", path},
                             Args{"diff", "pager", "pager"}, Args{"diff", path, "pager"}}) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(run(args), exitcode::Success) << err.str();
        EXPECT_EQ(err.str().find("Trotzdem"), std::string::npos) << err.str();
    }
}

TEST_F(CliTest, ReadWithoutTheVersionLeavesTheFileAsItWas)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    // The pager identifies itself but never says which version it runs.
    pager->faults().replaceReply[">@"] = "Zelvatron Pager bereit\r\n";
    const std::string path = file("alt.pag");
    std::filesystem::copy_file(ReferenceFile, path);
    EXPECT_EQ(run({"read", path}), exitcode::DeviceFailed);
    EXPECT_NE(err.str().find("Es besteht keine Verbindung zum Zelvatron!\n"), std::string::npos);
    EXPECT_NE(err.str().find("es wurde nichts ausgelesen"), std::string::npos);
    EXPECT_EQ(readBytes(path), readBytes(ReferenceFile));
    EXPECT_TRUE(commandsStartingWith(">Lese:").empty());
}

TEST_F(CliTest, ReadIntoAnUnwritablePlaceExitsWithTwoBeforeTouchingThePager)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    EXPECT_EQ(run({"read", file("fehlt/neu.pag")}), exitcode::BadInput);
    EXPECT_NE(err.str().find("konnte nicht gespeichert werden: "), std::string::npos);
    EXPECT_TRUE(backend.opened().empty());
}

TEST_F(CliTest, WriteCarriesTheFileIntoThePager)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    EXPECT_EQ(run({"write", ReferenceFile.string()}), exitcode::Success);
    EXPECT_EQ(err.str(), "Daten erfolgreich übertragen\n");
    const sim::PagerState& s = pager->state();
    EXPECT_EQ(s.pagerName, win1252("Küche Süd"));
    EXPECT_EQ(s.remoteDeleteText, win1252("  Fernlöschung  "));
    EXPECT_EQ(s.callers[0].text, "Tisch 1");
    EXPECT_EQ(s.callers[0].id, (std::array<std::uint8_t, 5>{0x78, 0x56, 0x34, 0x12, 3}));
    EXPECT_EQ(s.callers[31].text, "12345678901234");
    EXPECT_EQ(s.kitchenCalls[2].text, win1252("Spülküche"));
    EXPECT_EQ(s.kitchenCalls[2].key, 255);
    EXPECT_EQ(s.kitchenCalls[2].station, 200);
    EXPECT_EQ(s.debug, 1u);
    EXPECT_EQ(s.remoteDeleteMode, 3u);
}

// The session's message is one line on standard error.
TEST_F(CliTest, UnacknowledgedWriteExitsWithOne)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    pager->faults().noAckFor[">Setze:3 "] = -1;
    EXPECT_EQ(run({"write", ReferenceFile.string()}), exitcode::DeviceFailed);
    const std::string told = err.str();
    EXPECT_TRUE(told.starts_with("Fehlerhafte Übertragung! Nicht übernommen: Tischsender 4.")) << told;
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
}

TEST_F(CliTest, UnreadableFileExitsWithTwoBeforeTouchingThePager)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    const std::string path = file("fehlt.pag");
    EXPECT_EQ(run({"write", path}), exitcode::BadInput);
    EXPECT_EQ(err.str(), "Die Datei " + path +
                             " konnte nicht geöffnet werden: Datei oder Verzeichnis nicht gefunden\n");
    EXPECT_TRUE(backend.opened().empty());
    EXPECT_EQ(run({"show", path}), exitcode::BadInput);
    EXPECT_EQ(run({"learn", "3", dir.path().string()}), exitcode::BadInput);
    EXPECT_TRUE(backend.opened().empty());
}

// Files that are no configuration, or not a regular file, are refused by
// show and write with exit 2; a device named as the file to read is never
// replaced. The pager is not touched.
TEST_F(CliTest, RefusedFilesExitWithTwoBeforeTouchingThePager)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    std::ofstream(file("leer.pag"), std::ios::binary);
    std::ofstream(file("README"), std::ios::binary) << "Harvelin\n========\n";
    for (const std::string& path : {file("leer.pag"), file("README")}) {
        for (const char* command : {"show", "write"}) {
            SCOPED_TRACE(path + " " + command);
            EXPECT_EQ(run({command, path}), exitcode::BadInput);
            EXPECT_EQ(err.str(), "Die Datei " + path + " enthält keine Pager-Daten.\n");
        }
    }
    EXPECT_EQ(run({"show", "/dev/zero"}), exitcode::BadInput);
    EXPECT_NE(err.str().find("Das ist keine gewöhnliche Datei"), std::string::npos);
    std::filesystem::create_symlink(file("nirgends.pag"), file("verweis.pag"));
    for (const std::string& target : {std::string("/dev/null"), file("verweis.pag")}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(run({"read", target}), exitcode::BadInput);
        EXPECT_NE(err.str().find("Die Datei " + target + " konnte nicht gespeichert werden"), std::string::npos);
    }
    EXPECT_TRUE(backend.opened().empty());
    EXPECT_FALSE(std::filesystem::exists(file("nirgends.pag")));
}

// A file that lacks lines would be completed from the start values; write
// does that only with --partial.
TEST_F(CliTest, IncompleteFileIsWrittenOnlyWithPartial)
{
    const std::string path = file("teil.pag");
    std::ofstream(path, std::ios::binary) << "Pagername:Bar\r\nBatterie:1\r\n"
                                          << "Eintrag:000 Tisch 1\t001 002 003 004 005\r\n";
    EXPECT_EQ(run({"write", path}), exitcode::BadInput);
    EXPECT_NE(err.str().find(path + " is an incomplete read-out or configuration; it lacks the remote-delete text "
                                    "(Fernloeschung), the remote-delete switch (FModus), the buzzer switch "
                                    "(Summer), caller slots 2-32 (Eintrag), kitchen calls 1-16 (Sonder)"),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(backend.opened().empty());

    EXPECT_EQ(run({"write", path, "--partial"}), exitcode::Success);
    EXPECT_EQ(pager->state().pagerName, "Bar");
    EXPECT_EQ(pager->state().callers[0].text, "Tisch 1");
    EXPECT_EQ(pager->state().kitchenCalls[4].text, "Station 5");
}

TEST_F(CliTest, WriteIntoASmallPagerThatLeavesSlotsOutExitsWithOne)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    pager->state().version = "1.4";
    EXPECT_EQ(run({"write", ReferenceFile.string()}), exitcode::DeviceFailed);
    EXPECT_EQ(err.str(), "Daten erfolgreich übertragen\nDer Pager hat nur 16 Speicherplätze: Plätze 17 bis 32 "
                         "und die Küchenrufe wurden nicht übertragen.\n");
}

TEST_F(CliTest, ShowPrintsTheFileAsTheFormShowsIt)
{
    EXPECT_EQ(run({"--language", "de", "show", ReferenceFile.string()}), exitcode::Success);
    const std::string text = out.str();
    EXPECT_NE(text.find("Pager-Name:        \"Küche Süd\"\n"), std::string::npos);
    EXPECT_NE(text.find("Fernlöschtext:     \"  Fernlöschung  \"\n"), std::string::npos);
    EXPECT_NE(text.find("Batteriespannung:  ein\nSummer:            aus\nFernlöschung:      ein\n"),
              std::string::npos);
    EXPECT_NE(text.find(" 1  \"Tisch 1\"         3054198963  120 086 052 018 003\n"), std::string::npos);
    EXPECT_NE(text.find(" 2  \"\"                        00  000 000 000 000 000\n"), std::string::npos);
    EXPECT_NE(text.find(" 3  \"Spülküche\"        255      200\n"), std::string::npos);
    EXPECT_TRUE(backend.opened().empty());
}

// The sheet goes to standard output or, whole, into the file -o names; a
// file that breaks the rule is refused as show refuses it. The pager is not
// touched.
TEST_F(CliTest, SheetIsWrittenWholeOrRefusedLikeShow)
{
    ::setenv("SOURCE_DATE_EPOCH", "1796826600", 1);
    // The German sheet.
    EXPECT_EQ(run({"--language", "de", "sheet", ReferenceFile.string()}), exitcode::Success);
    const std::string page = out.str();
    EXPECT_NE(page.find("Datei: configuration.pag · Stand: 09.12.2026 14:30 · Harvelin " + versionText()),
              std::string::npos);
    EXPECT_EQ(run({"--language", "de", "sheet", ReferenceFile.string(), "-o", file("blatt.html")}), exitcode::Success);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(readBytes(file("blatt.html")), page);
    ::unsetenv("SOURCE_DATE_EPOCH");

    EXPECT_EQ(run({"sheet", ReferenceFile.string(), "-o", file("fehlt/blatt.html")}), exitcode::OutputFailed);
    EXPECT_NE(err.str().find(file("fehlt/blatt.html")), std::string::npos) << err.str();

    std::ofstream(file("kaputt.pag"), std::ios::binary) << "Pagername:Bar\r\nEintrag:000 Tisch\t256 000 000 000\r\n";
    EXPECT_EQ(run({"show", file("kaputt.pag")}), exitcode::BadInput);
    const std::string refused = err.str();
    EXPECT_NE(refused.find("kaputt.pag, line 2: "), std::string::npos) << refused;
    EXPECT_EQ(run({"sheet", file("kaputt.pag"), "-o", file("kaputt.html")}), exitcode::BadInput);
    EXPECT_EQ(err.str(), refused);
    EXPECT_FALSE(std::filesystem::exists(file("kaputt.html")));
    EXPECT_TRUE(backend.opened().empty());
}

TEST_F(CliTest, ShowJsonHoldsEveryField)
{
    EXPECT_EQ(run({"show", ReferenceFile.string(), "--json"}), exitcode::Success);
    const auto j = nlohmann::json::parse(out.str());
    EXPECT_EQ(j["pagerName"], "Küche Süd");
    EXPECT_EQ(j["remoteDeleteText"], "  Fernlöschung  ");
    EXPECT_EQ(j["battery"], true);
    EXPECT_EQ(j["buzzer"], false);
    EXPECT_EQ(j["remoteDelete"], true);
    ASSERT_EQ(j["callers"].size(), 32u);
    EXPECT_EQ(j["callers"][0]["text"], "Tisch 1");
    EXPECT_EQ(j["callers"][0]["buttonId"], 305419896u);
    EXPECT_EQ(j["callers"][0]["idSuffix"], 3);
    EXPECT_EQ(j["callers"][5]["buttonId"], 33620223u);
    EXPECT_EQ(j["callers"][5]["idSuffix"], 255);
    ASSERT_EQ(j["kitchenCalls"].size(), 16u);
    EXPECT_EQ(j["kitchenCalls"][2]["text"], "Spülküche");
    EXPECT_EQ(j["kitchenCalls"][2]["key"], 255);
    EXPECT_EQ(j["kitchenCalls"][2]["station"], 200);
}

TEST_F(CliTest, ShowStartsFromTheFormsStartValues)
{
    const std::string path = file("nur-batterie.pag");
    std::ofstream(path, std::ios::binary) << "Batterie:1\r\n";
    EXPECT_EQ(run({"show", "--json", path}), exitcode::Success);
    const auto j = nlohmann::json::parse(out.str());
    EXPECT_EQ(j["pagerName"], "Pager:A");
    EXPECT_EQ(j["remoteDeleteText"], "  Fernlöschung  ");
    EXPECT_EQ(j["battery"], true);
    EXPECT_EQ(j["kitchenCalls"][15]["text"], "Station 16");
    EXPECT_EQ(j["kitchenCalls"][15]["key"], 16);
    EXPECT_EQ(j["kitchenCalls"][15]["station"], 1);
}

TEST_F(CliTest, LearnStoresTheButtonInTheSlotAndSavesTheFile)
{
    const std::string path = file("lernen.pag");
    std::filesystem::copy_file(ReferenceFile, path);
    pressWhenLearning({200, 3, 0, 0, 7}, 2500);
    EXPECT_EQ(run({"learn", "20", path}), exitcode::Success);
    EXPECT_NE(err.str().find("press the call button now"), std::string::npos);

    PagerConfiguration c;
    PagerDataFile::parse(readBytes(path), c);
    EXPECT_EQ(c.image.callers[19].buttonIdValue(), 968u);
    EXPECT_EQ(c.image.callers[19].idSuffix, 7);
    // Everything else is as the file had it.
    PagerConfiguration before;
    PagerDataFile::parse(readBytes(ReferenceFile), before);
    c.image.callers[19] = before.image.callers[19];
    EXPECT_EQ(PagerDataFile::format(c), PagerDataFile::format(before));
}

TEST_F(CliTest, LearnThatThePagerDoesNotEndExitsWithOneButSavesTheButton)
{
    pager->faults().noAckFor[">Setze Lernmodus:0"] = -1;
    pressWhenLearning({200, 3, 0, 0, 7}, 500);
    EXPECT_EQ(run({"learn", "3", file("neu.pag")}), exitcode::DeviceFailed);
    EXPECT_NE(err.str().find("did not confirm leaving learn mode"), std::string::npos);
    PagerConfiguration c;
    PagerDataFile::parse(readBytes(file("neu.pag")), c);
    EXPECT_EQ(c.image.callers[2].buttonIdValue(), 968u);
}

TEST_F(CliTest, LearnCreatesAMissingFile)
{
    pressWhenLearning({1, 0, 0, 0, 0}, 1000);
    const std::string path = file("neu.pag");
    EXPECT_EQ(run({"learn", "1", path}), exitcode::Success) << err.str();
    PagerConfiguration c;
    PagerDataFile::parse(readBytes(path), c);
    EXPECT_EQ(c.image.callers[0].buttonIdValue(), 1u);
    EXPECT_EQ(c.pagerName, "Pager:A");
}

TEST_F(CliTest, LearnWindowWithoutButtonExitsWithOneAndLeavesTheFile)
{
    const std::string path = file("lernen.pag");
    std::filesystem::copy_file(ReferenceFile, path);
    EXPECT_EQ(run({"learn", "5", path}), exitcode::DeviceFailed);
    EXPECT_NE(err.str().find("no call button was learned"), std::string::npos);
    EXPECT_EQ(readBytes(path), readBytes(ReferenceFile));
}

TEST_F(CliTest, LearnThatThePagerRefusesExitsWithOne)
{
    pager->faults().noAckFor[">Setze Lernmodus:1"] = -1;
    EXPECT_EQ(run({"learn", "1", file("neu.pag")}), exitcode::DeviceFailed);
    EXPECT_FALSE(std::filesystem::exists(file("neu.pag")));
}

TEST_F(CliTest, OptionSendsWhatAClickOnTheBoxSends)
{
    EXPECT_EQ(run({"option", "buzzer", "on"}), exitcode::Success);
    EXPECT_EQ(commandsStartingWith(">Setze E_Vibration"), std::vector<std::string>{">Setze E_Vibration:3Pager:A"});
    EXPECT_EQ(pager->state().vibration, 3u);

    pager->clearLog();
    EXPECT_EQ(run({"option", "remote-delete", "off"}), exitcode::Success);
    EXPECT_EQ(commandsStartingWith(">Setze Modus"), std::vector<std::string>{">Setze Modus_Fernloeschung:0Pager:A"});

    pager->state().pagerName = win1252("Küche");
    pager->clearLog();
    EXPECT_EQ(run({"option", "battery", "on", "--name", "Küche"}), exitcode::Success);
    EXPECT_EQ(commandsStartingWith(">Setze Debug"), std::vector<std::string>{win1252(">Setze Debug:1Küche")});
    EXPECT_EQ(pager->state().debug, 1u);
}

TEST_F(CliTest, OptionThePagerDoesNotConfirmExitsWithOne)
{
    pager->state().pagerName = "Anderer";
    EXPECT_EQ(run({"option", "battery", "on", "--name", "Bar 2"}), exitcode::DeviceFailed);
    EXPECT_NE(err.str().find("did not confirm the switch"), std::string::npos);
}

TEST_F(CliTest, ClockSetsTheRepeaterFromThisMachinesTime)
{
    pager->state().repeaterStatus = 1;
    clock.setLocalTime({9, 5, 3});
    EXPECT_EQ(run({"clock"}), exitcode::Success);
    EXPECT_EQ(pager->state().repeaterHour, 9u);
    EXPECT_EQ(pager->state().repeaterMinute, 5u);
}

TEST_F(CliTest, ClockWithoutRepeaterReportIsRefused)
{
    pager->state().repeaterStatus = 0;  // the repeater reports no valid time
    EXPECT_EQ(run({"clock"}), exitcode::DeviceFailed);
    EXPECT_TRUE(commandsStartingWith(">Setze Repeateruhrzeit:").empty());
    EXPECT_NE(err.str().find("did not report its clock"), std::string::npos);
}

TEST_F(CliTest, ClockTheRepeaterDoesNotConfirmExitsWithOne)
{
    pager->state().repeaterStatus = 1;
    pager->faults().noAckFor[">Setze Repeateruhrzeit:"] = -1;
    EXPECT_EQ(run({"clock"}), exitcode::DeviceFailed);
}

TEST_F(CliTest, BootloaderReachesTheHiddenHandler)
{
    EXPECT_EQ(run({"bootloader"}), exitcode::Success);
    EXPECT_TRUE(pager->state().bootloaderStarted);

    pager->faults().silentFor[">Bootloader"] = -1;
    EXPECT_EQ(run({"bootloader"}), exitcode::DeviceFailed);
}

TEST_F(CliTest, BadUsageExitsWithTwoAndTouchesNoPort)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"read"},
        {"learn", "0", "x.pag"},
        {"learn", "33", "x.pag"},
        {"learn", "eins", "x.pag"},
        {"option", "volume", "on"},
        {"option", "buzzer", "half"},
        {"--frobnicate", "search"},
        {"search", "extra"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? std::string("(nothing)") : args[0] + " ...");
        EXPECT_EQ(run(args), exitcode::BadInput);
        EXPECT_EQ(err.str().rfind("harvelin-cli: ", 0), 0u) << err.str();
    }
    EXPECT_EQ(run({"option", "buzzer", "on", "--name", "Fünfzehn Zeiche"}), exitcode::BadInput);
    EXPECT_EQ(run({"option", "buzzer", "on", "--name", "\xE2\x9C\x93"}), exitcode::BadInput);
    EXPECT_TRUE(backend.opened().empty());
}

TEST_F(CliTest, HelpAndVersionExitWithZero)
{
    EXPECT_EQ(run({"--help"}), exitcode::Success);
    EXPECT_NE(out.str().find("learn"), std::string::npos);
    EXPECT_NE(out.str().find("Exit status"), std::string::npos);
    EXPECT_EQ(run({"--version"}), exitcode::Success);
    EXPECT_NE(out.str().find(HARVELIN_VERSION), std::string::npos);
}

// --version names the sources: the version and the commit, or says that the
// commit is unknown, and whether the tree had changes beside it.
TEST_F(CliTest, VersionNamesTheCommitBuiltFrom)
{
    ASSERT_EQ(run({"--version"}), exitcode::Success);
    const BuildCommit commit = buildCommit();
    if (commit.id.empty()) {
        EXPECT_EQ(out.str(), std::string("harvelin-cli " HARVELIN_VERSION " (commit unknown)\n"));
        return;
    }
    EXPECT_EQ(commit.id.size(), 12u);
    EXPECT_EQ(commit.id.find_first_not_of("0123456789abcdef"), std::string_view::npos) << commit.id;
    EXPECT_EQ(out.str(), "harvelin-cli " HARVELIN_VERSION " (commit " + std::string(commit.id) +
                             (commit.uncommittedChanges ? ", with uncommitted changes" : "") + ")\n");
}

// The manual page is written by hand; it must name every command and every
// option that --help knows, and every exit status.
TEST_F(CliTest, ManualPageNamesEveryCommandAndOptionOfTheHelp)
{
    std::string page = readBytes(std::filesystem::path(HARVELIN_TEST_DATA) / "../../packaging/man/harvelin-cli.1");
    ASSERT_FALSE(page.empty());
    for (std::size_t at; (at = page.find("\\-")) != std::string::npos;)
        page.erase(at, 1);
    // The words that open the manual's macro lines (".B read", ".BI \"show \"").
    std::set<std::string> headed;
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(".B", 0) != 0 || line.find(' ') == std::string::npos)
            continue;
        std::istringstream words(line.substr(line.find(' ')));
        std::string word;
        words >> word;
        headed.insert(word.substr(word.front() == '"' ? 1 : 0));
    }

    run({"no-such-command"});
    const std::string listed = err.str().substr(err.str().find("Commands: ") + 10);
    std::vector<std::string> commands;
    std::istringstream names(listed.substr(0, listed.find('\n')));
    for (std::string name; std::getline(names >> std::ws, name, ',');)
        commands.push_back(name);
    ASSERT_GE(commands.size(), 14u);

    const std::regex option("--[a-z][a-z-]*");
    for (const std::string& command : commands) {
        EXPECT_TRUE(headed.count(command)) << "the manual page lacks the command " << command;
        run({command, "--help"});
        const std::string help = out.str();
        for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it)
            EXPECT_NE(page.find(it->str()), std::string::npos)
                << "the manual page lacks " << it->str() << " of " << command;
    }
    for (const char* status : {"0", "1", "2", "3", "130"})
        EXPECT_NE(page.find(std::string(".B ") + status + "\n"), std::string::npos) << "exit status " << status;
}

TEST_F(CliTest, TraceShowsEveryFrameWithItsTime)
{
    EXPECT_EQ(run({"--trace", "--port", "ttyUSB0", "search"}), exitcode::Success);
    const std::string trace = err.str();
    // The search waits 300 ms, probes, and reads for 200 ms after 100 ms.
    EXPECT_NE(trace.find("     0.300 ttyUSB0 open\n"
                         "     0.300 ttyUSB0 -> >@\\r\\n\n"
                         "     0.600 ttyUSB0 <- \\r\\nZelvatron Pager Direkt V2.62\\r\\n\n"
                         "     0.600 ttyUSB0 -> \\x16>Setze Repeatertest:1\\r\n"),
              std::string::npos)
        << trace;
    EXPECT_EQ(out.str(), "1 ttyUSB0\n");
}

TEST_F(CliTest, ProgressBarIsDrawnOnlyOnATerminal)
{
    EXPECT_EQ(run({"read", file("a.pag")}), exitcode::Success);
    EXPECT_EQ(err.str().find('['), std::string::npos);
    env.errIsTerminal = true;
    EXPECT_EQ(run({"read", file("b.pag")}), exitcode::Success);
    const std::string bar = err.str();
    EXPECT_NE(bar.find("\r[" + std::string(39, '#') + "."), std::string::npos);
    // The form's bar drops back to 0 when the read-out ends; the terminal
    // keeps the last state and ends the line.
    EXPECT_EQ(bar.find("] 0/52\n"), std::string::npos);
    EXPECT_EQ(bar.back(), '\n');
}

// Files whose names the tool makes up are never written through a symbolic
// link planted under such a name: the link's target stays as it was. The
// user's own file is still written through its link.
enum class PlantedName { PartialFile, Backup, TemporaryFile, UsersOwnFile };

class PlantedLink : public CliTest, public ::testing::WithParamInterface<PlantedName> {};

TEST_P(PlantedLink, MadeUpNamesAreNeverWrittenThroughIt)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    const std::string victim = file("fremd.pag");
    std::ofstream(victim, std::ios::binary) << "fremd\r\n";
    const std::string refusal = "Der Name ist ein Verweis auf eine andere Datei; durch ihn wird nicht geschrieben";
    PagerConfiguration config;
    config.pagerName = "Bar";
    std::string link;
    std::string error;
    switch (GetParam()) {
    case PlantedName::PartialFile:
        // Refused before the pager is busied with a read-out.
        link = file("kueche.partial.pag");
        std::filesystem::create_symlink(victim, link);
        EXPECT_EQ(run({"read", file("kueche.pag")}), exitcode::BadInput);
        EXPECT_EQ(err.str(), "Die Datei " + link + " konnte nicht gespeichert werden: " + refusal + "\n");
        EXPECT_TRUE(backend.opened().empty());
        break;
    case PlantedName::Backup: {
        const std::time_t when = std::time(nullptr);
        link = file(BackupFolder::fileName("Bar", when, true).c_str());
        std::filesystem::create_symlink(victim, link);
        // A name that a link holds is passed over ...
        std::string saved;
        FileCoverage answered;
        answered.pagerName = true;
        ASSERT_TRUE(BackupFolder(dir.path().string()).keep(config, when, saved, error, &answered)) << error;
        EXPECT_TRUE(saved.ends_with("-2.partial.pag")) << saved;
        EXPECT_EQ(readBytes(saved), "Pagername:Bar\r\n");
        // ... and one taken by a link after that look is refused.
        SaveOptions madeUp;
        madeUp.naming = FileNaming::MadeUp;
        EXPECT_FALSE(PagerDataFile::save(link, config, error, madeUp));
        EXPECT_EQ(error, refusal);
        break;
    }
    case PlantedName::TemporaryFile: {
        // The temporary file's name, seen while a save writes it, tells the
        // next save's.
        const std::string target = file("ziel.pag");
        std::string temporary;
        SaveOptions watch;
        watch.filter = [&](ByteSink& sink, std::string_view line) {
            for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                if (entry.path().filename().string().rfind("ziel.pag.~", 0) == 0)
                    temporary = entry.path().filename().string();
            return sink.write(line);
        };
        ASSERT_TRUE(PagerDataFile::save(target, config, error, watch));
        const std::string prefix = "ziel.pag.~" + std::to_string(::getpid()) + ".";
        ASSERT_EQ(temporary.rfind(prefix, 0), 0u) << temporary;
        const unsigned next = std::stoul(temporary.substr(prefix.size())) + 1;
        link = file((prefix + std::to_string(next) + ".tmp").c_str());
        std::filesystem::create_symlink(victim, link);
        // Passed over for a fresh name.
        config.pagerName = "Neu";
        ASSERT_TRUE(PagerDataFile::save(target, config, error)) << error;
        EXPECT_EQ(readBytes(target), PagerDataFile::format(config));
        break;
    }
    case PlantedName::UsersOwnFile:
        link = file("mein.pag");
        std::filesystem::create_symlink(victim, link);
        EXPECT_EQ(run({"read", link}), exitcode::Success) << err.str();
        break;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), victim);
    if (GetParam() == PlantedName::UsersOwnFile)
        EXPECT_EQ(readBytes(victim).rfind("Pagername:Pager:A\r\n", 0), 0u);
    else
        EXPECT_EQ(readBytes(victim), "fremd\r\n");
}

INSTANTIATE_TEST_SUITE_P(Names, PlantedLink,
                         ::testing::Values(PlantedName::PartialFile, PlantedName::Backup, PlantedName::TemporaryFile,
                                           PlantedName::UsersOwnFile));

TEST(TraceEscapingTest, ControlBytesAreEscapedAndLettersShownAsUtf8)
{
    EXPECT_EQ(escapedBytes("\x16>Lese:0\r"), "\\x16>Lese:0\\r");
    EXPECT_EQ(escapedBytes(win1252("Küche\t\\") + "\x02\x03\x81\x7F"), "Küche\\t\\\\\\x02\\x03\\x81\\x7F");
    EXPECT_EQ(escapedBytes("\x80"), "€");
}

}  // namespace
}  // namespace harvelin
