#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "files/backups.h"
#include "files/configuration_csv.h"
#include "files/configuration_json.h"
#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "sim_backend.h"
#include "test_files.h"

namespace harvelin {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const fs::path SavedConfiguration = fs::path(HARVELIN_TEST_DATA) / "configuration.pag";

// The command line on virtual time with one pager, backups in a folder of
// the test's own.
class TechnicianCliTest : public ::testing::Test, protected CliRig {
protected:
    TechnicianCliTest()
    {
        env.backupFolder = (dir.path() / "data" / "backups").string();
        env.interrupted = [this] { return stop && stop(); };
    }

    std::vector<std::string> backups() const
    {
        std::vector<std::string> names;
        for (const auto& b : BackupFolder(env.backupFolder).list())
            names.push_back(fs::path(b.path).filename().string());
        return names;
    }
    bool pagerWasWritten() const { return countStartingWith(">Setze:") > 0; }

    std::function<bool()> stop;
};

TEST_F(TechnicianCliTest, CompleteReadOutsAreKeptAsBackupsUnlessRefused)
{
    pager->state().pagerName = "Bar:1";
    ASSERT_EQ(run({"read", file("a.pag")}), exitcode::Success) << err.str();
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_EQ(backups()[0], BackupFolder::fileName("Bar:1", std::time(nullptr)).substr(0, 6) +
                                backups()[0].substr(6));
    EXPECT_EQ(backups()[0].rfind("Bar_1-20", 0), 0u);
    EXPECT_EQ(readBytes(fs::path(env.backupFolder) / backups()[0]), readBytes(file("a.pag")));

    EXPECT_EQ(run({"read", file("b.pag"), "--no-backup"}), exitcode::Success);
    EXPECT_EQ(run({"--no-backup", "verify", file("a.pag")}), exitcode::Success) << out.str();
    EXPECT_EQ(backups().size(), 1u);

    // An incomplete read-out is kept as what it is.
    pager->faults().silentFor[">Lese:3"] = -1;
    EXPECT_EQ(run({"read", file("c.pag")}), exitcode::DeviceFailed);
    ASSERT_EQ(backups().size(), 2u);
    const auto listed = BackupFolder(env.backupFolder).list();
    EXPECT_TRUE(listed[0].path.ends_with(".partial.pag") || listed[1].path.ends_with(".partial.pag"));

    EXPECT_EQ(run({"backups"}), exitcode::Success);
    EXPECT_EQ(out.str(), BackupFolder::shownTime(listed[0].when) + "  " + listed[0].path + "\n" +
                             BackupFolder::shownTime(listed[1].when) + "  " + listed[1].path + "\n");
}

TEST_F(TechnicianCliTest, BackupThatCannotBeWrittenLeavesTheReadOutAndStopsOnlyAWriteAskingForIt)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    // A file where the folder should be.
    fs::create_directories(fs::path(env.backupFolder).parent_path());
    writeBytes(env.backupFolder, "kein Ordner");
    EXPECT_EQ(run({"read", file("a.pag")}), exitcode::Success);
    EXPECT_TRUE(fs::exists(file("a.pag")));
    EXPECT_NE(err.str().find("Die Sicherungskopie der gelesenen Daten konnte nicht angelegt werden"),
              std::string::npos)
        << err.str();

    // The form names the system's reason; a folder that cannot be written is
    // the environment's fault.
    EXPECT_EQ(run({"write", SavedConfiguration.string(), "--backup"}), exitcode::BadInput);
    EXPECT_NE(err.str().find("Die Sicherungskopie der gelesenen Daten konnte nicht angelegt werden: "),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("nichts in den Pager geschrieben"), std::string::npos) << err.str();
    EXPECT_FALSE(pagerWasWritten());
    EXPECT_EQ(run({"write", SavedConfiguration.string(), "--backup", "--no-backup"}), exitcode::BadInput);
    EXPECT_FALSE(pagerWasWritten());
}

TEST_F(TechnicianCliTest, WriteWithBackupKeepsThePagerAsItWasBeforeTheWrite)
{
    pager->state().callers[0] = {"Vorher", {1, 2, 3, 4, 5}};
    ASSERT_EQ(run({"write", SavedConfiguration.string(), "--backup", "--verify"}), exitcode::Success) << err.str();
    ASSERT_EQ(backups().size(), 1u);
    PagerConfiguration before;
    PagerDataFile::parse(readBytes(fs::path(env.backupFolder) / backups()[0]), before);
    EXPECT_EQ(before.image.callers[0].text.str(), "Vorher");
    EXPECT_EQ(pager->state().callers[0].text, "Tisch 1");
}

struct PruneCase {
    int recent;    // backups 100 days old
    int old;       // backups 400 days old
    std::size_t left;
    int partial = 0;  // incomplete backups 10 days old
};

class BackupPruning : public ::testing::TestWithParam<PruneCase> {};

TEST_P(BackupPruning, KeepsTheNewestTwentyCompleteOnesAndEverythingYoungerThanAYear)
{
    TempDir dir;
    const BackupFolder folder(dir.path().string());
    const std::time_t now = std::time(nullptr);
    constexpr std::time_t Day = 24 * 3600;
    for (int i = 0; i < GetParam().recent; ++i)
        writeBytes(dir.path() / BackupFolder::fileName("Alt", now - 100 * Day - i * 60), "x");
    for (int i = 0; i < GetParam().old; ++i)
        writeBytes(dir.path() / BackupFolder::fileName("Alt", now - 400 * Day - i * 60), "x");
    for (int i = 0; i < GetParam().partial; ++i)
        writeBytes(dir.path() / BackupFolder::fileName("Alt", now - 10 * Day - i * 60, true), "x");
    writeBytes(dir.path() / "Kunde Meier.pag", "not a backup");

    PagerConfiguration config;
    config.pagerName = win1252("<Küche>");
    std::string saved;
    std::string error;
    ASSERT_TRUE(folder.keep(config, now, saved, error));
    EXPECT_EQ(fs::path(saved).filename().string(), "_Küche_" + BackupFolder::fileName("", now).substr(5));
    const auto left = folder.list();
    EXPECT_EQ(left.size(), GetParam().left);
    EXPECT_EQ(left.front().path, saved);
    EXPECT_TRUE(fs::exists(dir.path() / "Kunde Meier.pag"));
    std::size_t complete = 0;
    for (const BackupFolder::Entry& e : left) {
        if (!e.path.ends_with(".partial.pag") && ++complete > BackupFolder::KeepNewest) {
            EXPECT_LE(now - e.when, BackupFolder::KeepDays * Day);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ages, BackupPruning,
                         ::testing::Values(PruneCase{25, 10, 26}, PruneCase{0, 30, 20}, PruneCase{3, 2, 6},
                                           PruneCase{0, 30, 45, 25}));

TEST_F(TechnicianCliTest, VerifyComparesWithoutWriting)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    ASSERT_EQ(run({"write", SavedConfiguration.string()}), exitcode::Success);
    EXPECT_EQ(run({"verify", SavedConfiguration.string()}), exitcode::Success) << out.str();
    EXPECT_EQ(out.str(), "");
    pager->state().kitchenCalls[2].key = 9;
    pager->state().vibration = 3;
    pager->clearLog();
    EXPECT_EQ(run({"verify", SavedConfiguration.string()}), exitcode::DeviceFailed);
    const std::string lines = "Küchenruf 3 Taste: Datei \"255\", Pager \"9\"\n"
                              "Einstellungen Summer: Datei \"aus\", Pager \"ein\"\n";
    EXPECT_EQ(out.str(), lines);
    // JSON carries the same lines, for a script.
    EXPECT_EQ(run({"verify", SavedConfiguration.string(), "--json"}), exitcode::DeviceFailed);
    EXPECT_EQ(out.str().rfind("{\n  \"equal\": false,", 0), 0u) << out.str();
    EXPECT_NE(out.str().find(R"("line": "Küchenruf 3 Taste: Datei \"255\", Pager \"9\"")"), std::string::npos);
    EXPECT_NE(out.str().find(R"("line": "Einstellungen Summer: Datei \"aus\", Pager \"ein\"")"), std::string::npos);
    EXPECT_FALSE(pagerWasWritten());
}

TEST_F(TechnicianCliTest, VerifyOnA16SlotPagerComparesWhatItHoldsAndSaysWhatNot)
{
    pager->state().version = "1.40";
    const std::string notCompared = "harvelin-cli: der Pager hat 16 Plätze, ihm fehlt Fernlöschtext, Fernlöschung, "
                                    "Tischsender 17-32, Küchenrufe 1-16; nicht verglichen\n";
    // The file fills slots 17..32 and the kitchen calls: the write fails even
    // though slots 1..16 and the settings are held as sent.
    EXPECT_EQ(run({"--language", "de", "write", SavedConfiguration.string(), "--verify"}), exitcode::DeviceFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "Daten erfolgreich übertragen\nDer Pager hat nur 16 Speicherplätze: Plätze 17 bis 32 und "
                         "die Küchenrufe wurden nicht übertragen.\n" + notCompared);

    pager->state().callers[0].text = "alt";
    pager->faults().forgetCallerWrite.insert(0);
    EXPECT_EQ(run({"--language", "de", "write", SavedConfiguration.string(), "--verify"}), exitcode::DeviceFailed);
    ASSERT_FALSE(out.str().empty());
    for (const std::string& line : linesOf(out.str()))
        EXPECT_EQ(line.rfind("Platz 1 ", 0), 0u) << line;
    EXPECT_NE(err.str().find(notCompared), std::string::npos) << err.str();

    // In a series the result line tells it in the same words, with the
    // version as the pager writes it.
    stop = [&] { return !out.str().empty(); };
    EXPECT_EQ(run({"--language", "de", "write", SavedConfiguration.string(), "--each"}), exitcode::DeviceFailed);
    EXPECT_NE(out.str().find("  ttyUSB0  #1  Küche Süd  1.40  fehlgeschlagen: der Pager hat 16 Plätze, ihm fehlt "
                             "Fernlöschtext"),
              std::string::npos)
        << out.str();
}

struct LogRefusal {
    const char* name;
    const char* why;
};

class SeriesLogRefusal : public TechnicianCliTest, public ::testing::WithParamInterface<LogRefusal> {};

// Refused before the pager is touched. The FIFO has a reader, so a log opened
// as a FIFO would take lines instead of keeping the test waiting.
TEST_P(SeriesLogRefusal, LogThatKeepsNoLinesIsRefusedBeforeThePagerIsTouched)
{
    const std::string kind = GetParam().name;
    std::string log = kind == "Folder" ? dir.path().string() : "/dev/full";
    int reader = -1;
    if (kind == "Fifo") {
        log = file("serie.csv");
        ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
        reader = ::open(log.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
    }
    stop = [&] { return clock.nowMs() > 60000; };
    EXPECT_EQ(run({"write", SavedConfiguration.string(), "--each", "--log", log}), exitcode::BadInput);
    EXPECT_EQ(err.str(), "harvelin-cli: cannot write the log " + log + ": " + GetParam().why + "\n");
    EXPECT_TRUE(pager->commands().empty());
    if (reader >= 0)
        ::close(reader);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SeriesLogRefusal,
                         ::testing::Values(LogRefusal{"Fifo", "it is a FIFO, not a regular file"},
                                           LogRefusal{"DevFull", "it is a device, not a regular file"},
                                           LogRefusal{"Folder", "it is a folder"}),
                         [](const ::testing::TestParamInfo<LogRefusal>& c) { return std::string(c.param.name); });

struct NamingRefusal {
    const char* name;
    std::vector<std::string> args;  // "NAMES": a file holding `names`
    std::string names;
    std::string why;
};

class SeriesNamingRefusal : public TechnicianCliTest, public ::testing::WithParamInterface<NamingRefusal> {};

// Every name is checked by the rule of what a pager's name may hold before
// any port is opened; the refusal names the line.
TEST_P(SeriesNamingRefusal, IsToldBeforeAnyPortIsOpened)
{
    writeBytes(file("namen.txt"), GetParam().names);
    std::vector<std::string> args = {"write", SavedConfiguration.string(), "--each"};
    for (const std::string& a : GetParam().args)
        args.push_back(a == "NAMES" ? file("namen.txt") : a);
    stop = [&] { return clock.nowMs() > 60000; };
    EXPECT_EQ(run(args), exitcode::BadInput);
    EXPECT_NE(err.str().find(GetParam().why), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("nothing was written"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(pager->commands().empty());
    EXPECT_EQ(clock.nowMs(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SeriesNamingRefusal,
    ::testing::Values(
        NamingRefusal{"FifteenCharacters", {"--names", "NAMES"}, "Service 01\nKellnerin Maria\n",
                      "namen.txt: line 2: pager name \"Kellnerin Maria\" is longer than 14 characters"},
        NamingRefusal{"ControlCharacter", {"--names", "NAMES"}, "Service 01\r\nService 02\r\nBar\x07\r\n",
                      "namen.txt: line 3: pager name \"Bar\\x07\" holds the control character \\x07"},
        NamingRefusal{"EmptyLine", {"--names", "NAMES"}, "Service 01\n\nService 02\n", "line 2: no name"},
        NamingRefusal{"PatternTooLong", {"--name-pattern", "Servicekraft {n:03}"}, "",
                      "pager name \"Servicekraft 001\" is longer than 14 characters"},
        NamingRefusal{"PatternWithoutNumber", {"--name-pattern", "Service {x}"}, "", "needs one {n}"}),
    [](const ::testing::TestParamInfo<NamingRefusal>& c) { return std::string(c.param.name); });

TEST_F(TechnicianCliTest, LogLineThatCannotBeWrittenEndsTheSeriesWithTwo)
{
    const std::string log = file("serie.csv");
    writeBytes(log, "time,port,version,result\r\n");
    // No file may grow beyond the log's size now; without the signal the
    // write fails with EFBIG.
    rlimit kept{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &kept), 0);
    rlimit full = kept;
    full.rlim_cur = static_cast<rlim_t>(fs::file_size(log));
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    stop = [&] { return clock.nowMs() > 600000; };
    const int status = run({"write", SavedConfiguration.string(), "--each", "--log", log});
    ::setrlimit(RLIMIT_FSIZE, &kept);
    ::signal(SIGXFSZ, handler);

    EXPECT_EQ(status, exitcode::BadInput);
    EXPECT_EQ(linesOf(out.str()).size(), 1u) << out.str();
    EXPECT_NE(err.str().find("harvelin-cli: cannot write the log " + log + ": " + std::strerror(EFBIG) +
                             "; the series ends after the pagers at hand\n"),
              std::string::npos)
        << err.str();
}

TEST_F(TechnicianCliTest, ReadEachKeepsEveryPagerInTheFolderUntilStopped)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    // The backups cannot be kept: the series says so once and goes on.
    fs::create_directories(fs::path(env.backupFolder).parent_path());
    writeBytes(env.backupFolder, "kein Ordner");
    pager->state().pagerName = "Bar 1";
    pager->state().callers[0].text = "Erster";
    std::int64_t unpluggedAt = -1;
    stop = [&] {
        const std::size_t results = linesOf(out.str()).size();
        if (results == 1 && unpluggedAt < 0) {
            backend.unplug("ttyUSB0");
            unpluggedAt = clock.nowMs();
        } else if (unpluggedAt >= 0 && clock.nowMs() > unpluggedAt + 5000 && pager->state().pagerName != "Bar/2") {
            // Another pager, set up differently, on the same port.
            pager->state() = sim::PagerState{};
            pager->state().pagerName = "Bar/2";
            backend.plug("ttyUSB0");
        }
        return results == 2 || clock.nowMs() > 600000;
    };
    ASSERT_EQ(run({"read", "--each", file("serie"), "--log", file("serie.csv")}), exitcode::Success) << err.str();
    const std::vector<std::string> results = linesOf(out.str());
    ASSERT_EQ(results.size(), 2u);
    EXPECT_NE(results[0].find("  ttyUSB0  #1  Bar 1  2.62  ok Bar 1-20"), std::string::npos) << results[0];
    EXPECT_NE(results[1].find("  ttyUSB0  #2  Bar/2  2.62  ok Bar_2-20"), std::string::npos) << results[1];
    EXPECT_EQ(linesOf(readBytes(file("serie.csv"))).size(), 3u);

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(file("serie")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    PagerConfiguration first;
    PagerDataFile::parse(readBytes(fs::path(file("serie")) / names[0]), first);
    EXPECT_EQ(first.image.callers[0].text.str(), "Erster");
    const std::string told = err.str();
    const std::size_t once = told.find("Die Sicherungskopie");
    EXPECT_NE(once, std::string::npos) << told;
    EXPECT_EQ(told.find("Die Sicherungskopie", once + 1), std::string::npos) << told;
}

// A pattern names each pager by the counter from --first on; the series
// ends once --count pagers are written well, each holding its own name.
TEST_F(TechnicianCliTest, PatternNamesEachPagerAndTheSeriesEndsAtTheCount)
{
    std::vector<std::string> held;
    std::int64_t unpluggedAt = -1;
    stop = [&] {
        if (linesOf(out.str()).size() > held.size()) {
            held.push_back(pager->state().pagerName);
            backend.unplug("ttyUSB0");
            unpluggedAt = clock.nowMs();
        } else if (unpluggedAt >= 0 && clock.nowMs() > unpluggedAt + 5000) {
            pager->state() = sim::PagerState{};
            backend.plug("ttyUSB0");
            unpluggedAt = -1;
        }
        return clock.nowMs() > 600000;
    };
    ASSERT_EQ(run({"write", SavedConfiguration.string(), "--each", "--name-pattern", "Service {n:02}", "--first", "9",
                   "--count", "2"}),
              exitcode::Success)
        << err.str();
    const std::vector<std::string> results = linesOf(out.str());
    ASSERT_EQ(results.size(), 2u) << err.str();
    EXPECT_NE(results[0].find("  ttyUSB0  #1/2  Service 09  2.62  ok"), std::string::npos) << results[0];
    EXPECT_NE(results[1].find("  ttyUSB0  #2/2  Service 10  2.62  ok"), std::string::npos) << results[1];
    EXPECT_EQ(held, (std::vector<std::string>{"Service 09", "Service 10"}));
    EXPECT_LT(clock.nowMs(), 600000);
    EXPECT_NE(err.str().find("harvelin-cli: 2 pager(s), 0 failed, in "), std::string::npos) << err.str();
}

TEST_F(TechnicianCliTest, ExportAndImportGiveTheSameFileByteForByte)
{
    ASSERT_EQ(run({"export", SavedConfiguration.string(), file("t.csv")}), exitcode::Success) << err.str();
    EXPECT_EQ(linesOf(readBytes(file("t.csv"))).front(), "kind,slot,text,identity,b0,b1,b2,b3,suffix,key,station\r");
    ASSERT_EQ(run({"import", file("t.csv"), file("t.pag")}), exitcode::Success) << err.str();
    EXPECT_EQ(readBytes(file("t.pag")), readBytes(SavedConfiguration));

    // A locale with decimal commas gets semicolons; import finds them itself.
    env.decimalPoint = ',';
    ASSERT_EQ(run({"export", SavedConfiguration.string(), "-"}), exitcode::Success);
    EXPECT_EQ(out.str().substr(0, 10), "kind;slot;");
    EXPECT_NE(out.str().find("caller;6;Terrasse Süd;"), std::string::npos);
    writeBytes(file("s.csv"), out.str());
    ASSERT_EQ(run({"import", file("s.csv"), file("s.pag")}), exitcode::Success) << err.str();
    EXPECT_EQ(readBytes(file("s.pag")), readBytes(SavedConfiguration));
    ASSERT_EQ(run({"export", SavedConfiguration.string(), "-", "--separator", "t"}), exitcode::Success);
    EXPECT_EQ(out.str().substr(0, 10), "kind\tslot\t");

    ASSERT_EQ(run({"show", "--json", SavedConfiguration.string()}), exitcode::Success);
    writeBytes(file("j.json"), out.str());
    ASSERT_EQ(run({"import", file("j.json"), file("j.pag")}), exitcode::Success) << err.str();
    EXPECT_EQ(readBytes(file("j.pag")), readBytes(SavedConfiguration));
}

TEST_F(TechnicianCliTest, FormulaTextGoesThroughExportAndImportByteForByteBehindAnApostrophe)
{
    PagerConfiguration config = startConfiguration();
    config.image.callers[0].text.assign("=SUMME(A1)");
    std::string error;
    ASSERT_TRUE(PagerDataFile::save(file("f.pag"), config, error));
    ASSERT_EQ(run({"export", file("f.pag"), file("f.csv")}), exitcode::Success) << err.str();
    const std::string table = readBytes(file("f.csv"));
    EXPECT_NE(table.find("\r\ncaller,1,'=SUMME(A1),"), std::string::npos) << table;
    ASSERT_EQ(run({"import", file("f.csv"), file("g.pag")}), exitcode::Success) << err.str();
    EXPECT_EQ(readBytes(file("g.pag")), readBytes(file("f.pag")));
}

TEST_F(TechnicianCliTest, SeriesLogGuardsAndEscapesThePagersVersionText)
{
    // 0x9D has no Windows-1252 character; as UTF-8 it is a terminal's
    // command introducer.
    pager->state().version = "=2.62\x9D";
    stop = [&] { return !out.str().empty() || clock.nowMs() > 600000; };
    run({"write", SavedConfiguration.string(), "--each", "--log", file("serie.csv")});
    const std::vector<std::string> results = linesOf(out.str());
    ASSERT_EQ(results.size(), 1u) << err.str();
    EXPECT_NE(results[0].find("  ttyUSB0  #1  Küche Süd  =2.62\\x9d  "), std::string::npos) << results[0];
    const std::vector<std::string> log = linesOf(readBytes(file("serie.csv")));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[1].find(",ttyUSB0,1,Küche Süd,'=2.62\\x9d,"), std::string::npos) << log[1];
}

struct ImportCase {
    const char* name;
    const char* extension;
    std::string text;
    std::string message;  // a problem named
};

class ImportRefusal : public TechnicianCliTest, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportRefusal, NamesLineAndColumnAndWritesNothing)
{
    const std::string in = file(GetParam().extension);
    writeBytes(in, GetParam().text);
    writeBytes(file("out.pag"), "vorher");
    EXPECT_EQ(run({"import", in, file("out.pag")}), exitcode::BadInput);
    EXPECT_NE(err.str().find(in + ", " + GetParam().message + "\n"), std::string::npos) << err.str();
    EXPECT_EQ(readBytes(file("out.pag")), "vorher");
    // What the file holds is quoted safely: no raw control character, no cell whole.
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
    EXPECT_LT(err.str().size(), 1000u);
}

const std::string Header = "kind,slot,text,identity,b0,b1,b2,b3,suffix,key,station\n";

INSTANTIATE_TEST_SUITE_P(
    Values, ImportRefusal,
    ::testing::Values(
        ImportCase{"LongText", "in.csv", Header + "caller,1,Tisch 1 am Fenster,,,,,,,,\n",
                   "line 2, column 3: caller text \"Tisch 1 am Fenster\" is longer than 14 characters"},
        ImportCase{"NoWindows1252", "in.csv", Header + "caller,1,ok,,,,,,,,\nkitchen,2,Caf\xE2\x98\x95,,,,,,,1,2\n",
                   "line 3, column 3: \"Caf\xE2\x98\x95\" holds a character that the pager cannot show"},
        ImportCase{"NumberOver255", "in.csv", Header + "kitchen,2,Bar,,,,,,,256,1\n",
                   "line 2, column 10: key 256 is not a number from 0 to 255"},
        ImportCase{"SlotOutOfRange", "in.csv",
                   "kind;slot;text;identity;b0;b1;b2;b3;suffix;key;station\r\nkitchen;17;Bar;;;;;;;1;1\r\n",
                   "line 2, column 2: kitchen slot 17 is not a number from 1 to 16"},
        ImportCase{"IdentityAgainstBytes", "in.csv", Header + "caller,3,Bar,999,1,0,0,0,0,,\n",
                   "line 2, column 4: identity \"999\" does not match the five bytes, which give \"10\""},
        ImportCase{"QuotedLineBreak", "in.csv", Header + "caller,1,\"zwei\nZeilen\",,,,,,,,\n",
                   "line 2, column 3: caller text \"zwei\\x0aZeilen\" holds the control character \\x0a"},
        ImportCase{"LinesCountedAcrossQuotedBreaks", "in.csv",
                   Header + "setting,pagerName,\"a\n\nb\",,,,,,,,\ncaller,40,x,,,,,,,,\n",
                   "line 5, column 2: caller slot 40 is not a number from 1 to 32"},
        ImportCase{"JsonText", "in.json", "{\n  \"pagerName\": \"Pager:A\",\n  \"callers\": [\n    {\"text\": \"a\"},\n"
                                          "    {\"text\": \"Tisch 2 am Fenster\"}\n  ]\n}\n",
                   "line 5, column 14: caller text \"Tisch 2 am Fenster\" is longer than 14 characters"},
        ImportCase{"JsonNumber", "in.json", "{\"kitchenCalls\": [{\"key\": 300}]}",
                   "line 1, column 27: key 300 is not a number from 0 to 255"},
        ImportCase{"JsonSyntax", "in.json", "{\"callers\": [}", "line 1, column 14: syntax error while parsing value - unexpected '}'; expected '[', '{', or a literal"},
        ImportCase{"TooFewColumns", "in.csv", Header + "kitchen,3,Pizza,9,1\n",
                   "line 2, column 6: the row has 5 columns; 11 are expected, as in the header"},
        ImportCase{"TooManyColumns", "in.csv", Header + "caller,1,a,,1,0,0,0,0,,,x\n",
                   "line 2, column 12: the row has 12 columns; 11 are expected, as in the header"},
        ImportCase{"ValueWhereTheKindHasNone", "in.csv", Header + "caller,1,a,,,,,,,9,\n",
                   "line 2, column 10: a caller row has no key; the cell must be empty"},
        ImportCase{"MisspelledColumn", "in.csv", "kind,slot,text,identity,b0,b1,b2,b3,suffix,Key,station\n",
                   "line 1, column 10: no column is called \"Key\"; did you mean \"key\"?"},
        ImportCase{"MisspelledKind", "in.csv", Header + "kitchn,1,a,,,,,,,,\n",
                   "line 2, column 1: \"kitchn\" is none of caller, kitchen, setting; did you mean \"kitchen\"?"},
        ImportCase{"MisspelledSetting", "in.csv", Header + "setting,Buzzer,on,,,,,,,,\n",
                   "line 2, column 2: no setting is called \"Buzzer\"; did you mean \"buzzer\"?"},
        ImportCase{"TabHeader", "in.csv",
                   "kind\tslot\ttext\tidentity\tb0\tb1\tb2\tb3\tsuffix\tkey\tstation\nkitchen\t2\tBar\t\t\t\t\t\t\t256\t1\n",
                   "line 2, column 10: key 256 is not a number from 0 to 255"},
        ImportCase{"CsvByItsExtension", "in.csv", "{\"buzzer\": true}",
                   "line 1, column 1: the first line is not the header \"" + Header.substr(0, Header.size() - 1) + "\""},
        ImportCase{"JsonUnknownKey", "in.json", "{\"callers\": [{\"buttonID\": 5}]}",
                   "line 1, column 15: no key is called \"buttonID\"; did you mean \"buttonId\"?"},
        ImportCase{"JsonKeyTwice", "in.json", "{\"pagerName\": \"a\",\n \"pagerName\": \"b\"}",
                   "line 2, column 2: the key \"pagerName\" appears already on line 1, column 2"},
        ImportCase{"JsonWrongType", "in.json", "{\"buzzer\": \"yes\"}", "line 1, column 12: \"yes\" is neither true nor false"},
        ImportCase{"JsonEmpty", "in.json", " \n", "line 1, column 1: a JSON object is expected, but the text is empty"},
        ImportCase{"JsonList", "in.json", "[{}]", "line 1, column 1: a JSON object in braces is expected, not a list"},
        ImportCase{"JsonTooDeep", "in.json", "{\"callers\": " + std::string(100000, '['),
                   "line 1, column 28: the JSON is nested deeper than 16 levels"},
        ImportCase{"JsonByItsFirstCharacter", "in.txt", "\n {\"Buzzer\": true}",
                   "line 2, column 3: no key is called \"Buzzer\"; did you mean \"buzzer\"?"},
        ImportCase{"SlotTwiceInAnotherSpelling", "in.csv", Header + "caller,1,A,,,,,,,,\ncaller,01,B,,,,,,,,\n",
                   "line 3, column 2: caller slot 1 is given twice; it appears already on line 2"},
        ImportCase{"EscapeEscaped", "in.csv", Header + "caller,1,\x1b[31mrot,,,,,,,,\n",
                   "line 2, column 3: caller text \"\\x1b[31mrot\" holds the control character \\x1b"},
        ImportCase{"UnassignedByte", "in.csv", Header + "kitchen,1,a\xC2\x81,,,,,,,1,1\n",
                   "line 2, column 3: kitchen text \"a\\x81\" holds the byte \\x81, which is no Windows-1252 "
                   "character"},
        ImportCase{"LongCellCut", "in.csv", Header + "caller,1," + std::string(1000000, 'x') + ",,,,,,,,\n",
                   "line 2, column 3: caller text \"" + std::string(40, 'x') +
                       "\u2026\" is longer than 14 characters"},
        ImportCase{"LongUnknownKindCut", "in.csv", Header + "\x1b" + std::string(100, 'k') + ",1,a,,,,,,,,\n",
                   "line 2, column 1: \"\\x1b" + std::string(39, 'k') + "\u2026\" is none of caller, kitchen, setting"},
        ImportCase{"JsonEscapeEscaped", "in.json", "{\"pagerName\": \"\\u001b[31m\"}",
                   "line 1, column 15: pager name \"\\x1b[31m\" holds the control character \\x1b"},
        ImportCase{"JsonLongKeyCut", "in.json", "{\"" + std::string(100, 'k') + "\": 1}",
                   "line 1, column 2: no key is called \"" + std::string(39, 'k') + "\u2026"},
        ImportCase{"JsonUnclosedLongTextCut", "in.json", "{\"pagerName\": \"" + std::string(1000000, 'x'),
                   "line 1, column 1000016: syntax error while parsing value - invalid string: missing closing "
                   "quote; last read: '\"" + std::string(39, 'x') + "\u2026'"}),
    [](const ::testing::TestParamInfo<ImportCase>& c) { return std::string(c.param.name); });

struct LackingCase {
    const char* name;
    const char* extension;
    std::string text;
    std::string lacks;  // as the message names it
};

class ImportOfWhatLacks : public TechnicianCliTest, public ::testing::WithParamInterface<LackingCase> {};

// A table or JSON object that lacks slots or settings would make a .pag file
// that write takes as complete, the start values standing in for the user's
// own: it is imported only with --partial, and then a note says what the
// start values filled.
TEST_P(ImportOfWhatLacks, IsRefusedUnlessPartialWhichFillsTheStartValues)
{
    const std::string in = file(GetParam().extension);
    const std::string pag = file("out.pag");
    writeBytes(in, GetParam().text);
    writeBytes(pag, "vorher");
    EXPECT_EQ(run({"import", in, pag}), exitcode::BadInput);
    EXPECT_EQ(err.str(), "harvelin-cli: " + in + " is an incomplete configuration; it lacks " + GetParam().lacks +
                             ". Nothing was written; --partial imports it anyway, with the start values in their "
                             "place\n");
    EXPECT_EQ(readBytes(pag), "vorher");

    ASSERT_EQ(run({"import", in, pag, "--partial"}), exitcode::Success) << err.str();
    EXPECT_EQ(err.str(), "harvelin-cli: " + in + " lacks " + GetParam().lacks + "; " + pag +
                             " holds the start values in their place\n");
    EXPECT_EQ(readBytes(pag), PagerDataFile::format(startConfiguration()));
}

// What export and show --json make of the start values, without the lines
// that begin with one of `left`.
std::string startValuesWithout(std::string text, std::initializer_list<std::string_view> left)
{
    std::string kept;
    for (const std::string& line : linesOf(text))
        if (std::none_of(left.begin(), left.end(), [&](std::string_view l) { return line.starts_with(l); }))
            kept += line + "\n";
    return kept;
}

const std::string NothingGiven = "the pager name (pagerName), the remote-delete text (remoteDeleteText), the "
                                 "remote-delete switch (remoteDelete), the buzzer switch (buzzer), the battery "
                                 "switch (battery), caller slots 1-32 (";

INSTANTIATE_TEST_SUITE_P(
    Values, ImportOfWhatLacks,
    ::testing::Values(
        LackingCase{"EmptyJsonObject", "in.json", "{}", NothingGiven + "callers), kitchen calls 1-16 (kitchenCalls)"},
        LackingCase{"TableOfTheHeaderAlone", "in.csv", Header, NothingGiven + "caller), kitchen calls 1-16 (kitchen)"},
        LackingCase{"JsonWithoutKitchenCalls", "in.json",
                    [] {
                        const std::string json = configurationJson(startConfiguration());
                        return json.substr(0, json.find(",\n  \"kitchenCalls\"")) + "\n}\n";
                    }(),
                    "kitchen calls 1-16 (kitchenCalls)"},
        LackingCase{"TableWithoutSingleRows", "in.csv",
                    startValuesWithout(csv::format(startConfiguration(), ','), {"caller,3,", "kitchen,16,",
                                                                                "setting,buzzer,"}),
                    "the buzzer switch (buzzer), caller slots 3 (caller), kitchen calls 16 (kitchen)"}),
    [](const ::testing::TestParamInfo<LackingCase>& c) { return std::string(c.param.name); });

struct SeparatorCase {
    const char* name;
    std::string argument;
    char separator;  // '\0': refused
};

class ExportSeparator : public TechnicianCliTest, public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(ExportSeparator, IsOneOfThreeAndWhatExportWritesImportsAgainByteForByte)
{
    PagerConfiguration config;
    config.pagerName = win1252("a,b;c\"d");
    config.remoteDeleteText = win1252(" Fernlöschung ");
    config.image.callers[0].text.assign(win1252("Tisch \"7\"; €"));
    config.image.callers[0].setButtonIdValue(0xDEADBEEF);
    config.image.callers[0].idSuffix = 9;
    config.image.kitchenCalls[15].text.assign(win1252(" Küche,Süd"));
    config.image.kitchenCalls[15].key = 255;
    config.battery = true;
    std::string error;
    ASSERT_TRUE(PagerDataFile::save(file("a.pag"), config, error));

    const int status = run({"export", file("a.pag"), file("a.csv"), "--separator", GetParam().argument});
    if (GetParam().separator == '\0') {
        EXPECT_EQ(status, exitcode::BadInput);
        EXPECT_EQ(err.str().rfind("harvelin-cli: --separator takes \",\", \";\" or \"t\" (a tab), not ", 0), 0u)
            << err.str();
        EXPECT_FALSE(fs::exists(file("a.csv")));
        return;
    }
    ASSERT_EQ(status, exitcode::Success) << err.str();
    const std::string table = readBytes(file("a.csv"));
    EXPECT_EQ(table.substr(0, 5), std::string("kind") + GetParam().separator);
    ASSERT_EQ(run({"import", file("a.csv"), file("b.pag")}), exitcode::Success) << err.str();
    EXPECT_EQ(readBytes(file("b.pag")), readBytes(file("a.pag")));
    ASSERT_EQ(run({"export", file("b.pag"), "-", "--separator", GetParam().argument}), exitcode::Success);
    EXPECT_EQ(out.str(), table);
}

INSTANTIATE_TEST_SUITE_P(Values, ExportSeparator,
                         ::testing::Values(SeparatorCase{"Comma", ",", ','}, SeparatorCase{"Semicolon", ";", ';'},
                                           SeparatorCase{"TabAsT", "t", '\t'}, SeparatorCase{"Tab", "\t", '\t'},
                                           SeparatorCase{"Letter", "x", '\0'}, SeparatorCase{"Quote", "\"", '\0'},
                                           SeparatorCase{"Space", " ", '\0'}, SeparatorCase{"HalfACharacter", "\xC3", '\0'},
                                           SeparatorCase{"Two", ",;", '\0'}),
                         [](const ::testing::TestParamInfo<SeparatorCase>& c) { return std::string(c.param.name); });

// Standard output on a full disk.
class FullDisk : public std::streambuf {
    int overflow(int) override
    {
        errno = ENOSPC;
        return traits_type::eof();
    }
};

TEST_F(TechnicianCliTest, ImportReadsWindows1252AndFilesThatCannotBeReadOrWrittenAreNamedWithTheirReason)
{
    writeBytes(file("w.csv"), Header + "kitchen,1,K\xFC" "che,,,,,,,1,2\r\n");
    ASSERT_EQ(run({"import", file("w.csv"), file("w.pag"), "--partial"}), exitcode::Success) << err.str();
    EXPECT_EQ(err.str().rfind("harvelin-cli: " + file("w.csv") + " is not UTF-8; it is read as Windows-1252\n", 0), 0u)
        << err.str();
    PagerConfiguration read;
    PagerDataFile::parse(readBytes(file("w.pag")), read);
    EXPECT_EQ(read.image.kitchenCalls[0].text.str(), "K\xFC" "che");

    const std::string folder = file("ordner");
    fs::create_directory(folder);
    // The form's German messages.
    EXPECT_EQ(run({"--language", "de", "import", folder, file("x.pag")}), exitcode::BadInput);
    EXPECT_EQ(err.str(), "Die Datei " + folder + " konnte nicht geöffnet werden: Das ist ein Verzeichnis\n");
    const std::string notSaved = "Die Datei " + folder + " konnte nicht gespeichert werden: Das ist ein Verzeichnis\n";
    EXPECT_EQ(run({"--language", "de", "export", file("w.pag"), folder}), exitcode::BadInput);
    EXPECT_EQ(err.str(), notSaved);
    EXPECT_EQ(run({"--language", "de", "import", file("w.csv"), folder, "--partial"}), exitcode::BadInput);
    EXPECT_TRUE(err.str().ends_with("Windows-1252\n" + notSaved)) << err.str();
    FullDisk full;
    std::ostream fullOut(&full);
    CliEnvironment onFullDisk{backend, clock, env.systemPorts, nullptr, fullOut, err, false, {}, '.', nullptr,
                                false, env.systemLanguage};
    err.str({});
    EXPECT_EQ(runCliWith({"export", file("w.pag"), "-"}, onFullDisk), exitcode::BadInput);
    EXPECT_EQ(err.str(), std::string("harvelin-cli: cannot write the result to standard output: ") +
                             std::strerror(ENOSPC) + "\n");
    // A text that import would refuse is not exported: the file is refused.
    writeBytes(file("c.pag"), "Sonder:002 a\x01z\t001 001 \r\n");
    EXPECT_EQ(run({"export", file("c.pag"), file("c.csv")}), exitcode::BadInput);
    EXPECT_EQ(err.str(), "harvelin-cli: " + file("c.pag") +
                             ", line 1: kitchen text \"a\\x01z\" holds the control character \\x01\n");
    if (::geteuid() != 0) {  // the superuser may read any file
        fs::permissions(file("w.csv"), fs::perms::none);
        EXPECT_EQ(run({"--language", "de", "import", file("w.csv"), file("x.pag")}), exitcode::BadInput);
        EXPECT_EQ(err.str(), "Die Datei " + file("w.csv") + " konnte nicht geöffnet werden: Zugriff verweigert\n");
    }
    EXPECT_FALSE(fs::exists(file("x.pag")));
    EXPECT_FALSE(fs::exists(file("c.csv")));
}

}  // namespace
}  // namespace harvelin
