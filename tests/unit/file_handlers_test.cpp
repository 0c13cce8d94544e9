#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "form_results.h"
#include "model/win1252.h"
#include "test_files.h"
#include "dialog_rig.h"
#include "test_rig.h"
#include "ui/control_ids.h"

namespace harvelin {
namespace {

const std::filesystem::path ReferenceFile = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

class FileHandlersTest : public ::testing::Test {
protected:
    void SetUp() override { dlg.OnInitDialog(); }

    void answerDialog(const std::filesystem::path& path) { host.fileDialogAnswers.push_back(path.string()); }

    TempDir dir;
    TestRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
    MemoryHost& host = rig.host;
};

TEST_F(FileHandlersTest, SaveWritesWhatTheFormShows)
{
    // Identities from the image, rows typed but not yet taken into it.
    editImage(dlg, [&](PagerImage& image) { image.callers[0].setButtonIdValue(0x12345678); });
    editImage(dlg, [&](PagerImage& image) { image.callers[0].idSuffix = 3; });
    editImage(dlg, [&](PagerImage& image) { image.callers[5].buttonId = {255, 0, 1, 2}; });
    editImage(dlg, [&](PagerImage& image) { image.callers[5].idSuffix = 255; });
    editImage(dlg, [&](PagerImage& image) { image.callers[31].text.assign("12345678901234"); });
    editImage(dlg, [&](PagerImage& image) { image.callers[31].buttonId = {1, 2, 3, 4}; });
    editImage(dlg, [&](PagerImage& image) { image.callers[31].idSuffix = 5; });
    host.setControlText(ctl::callerText(1), "Tisch 1");
    host.setControlText(ctl::callerText(6), win1252("Terrasse Süd"));
    host.setControlText(ctl::kitchenText(3), win1252("Spülküche"));
    host.setControlText(ctl::kitchenKey(3), "255");
    host.setControlText(ctl::kitchenStation(3), "200");
    host.setControlText(ctl::PagerName, win1252("Küche Süd"));
    host.setChecked(ctl::Battery, true);
    host.setChecked(ctl::RemoteDelete, true);

    const auto path = dir.path() / "neu.pag";
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);

    EXPECT_TRUE(results.lastFileOk);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(readBytes(path), readBytes(ReferenceFile));
    ASSERT_EQ(host.fileDialogs.size(), 1u);
    EXPECT_TRUE(host.fileDialogs[0].save);
    EXPECT_EQ(host.fileDialogs[0].defaultExtension, "pag");
    EXPECT_EQ(host.fileDialogs[0].filterText, "Datenfiles (*.pag)");
    EXPECT_EQ(host.fileDialogs[0].filterPattern, "*.pag");
}

TEST_F(FileHandlersTest, OpenShowsTheFileInFormAndCheckBoxes)
{
    answerDialog(ReferenceFile);
    dlg.onCommand(ctl::OpenFileButton);

    EXPECT_TRUE(results.lastFileOk);
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(host.fileDialogs.size(), 1u);
    EXPECT_FALSE(host.fileDialogs[0].save);
    EXPECT_EQ(host.fileDialogs[0].defaultExtension, "pag");
    EXPECT_EQ(host.controlText(ctl::PagerName), win1252("Küche Süd"));
    EXPECT_EQ(host.controlText(ctl::RemoteDeleteText), win1252("  Fernlöschung  "));
    EXPECT_TRUE(host.isChecked(ctl::Battery));
    EXPECT_FALSE(host.isChecked(ctl::Buzzer));
    EXPECT_TRUE(host.isChecked(ctl::RemoteDelete));
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Tisch 1");
    EXPECT_EQ(host.controlText(ctl::idText(1)), "3054198963");
    EXPECT_EQ(host.controlText(ctl::callerText(6)), win1252("Terrasse Süd"));
    EXPECT_EQ(host.controlText(ctl::kitchenText(3)), win1252("Spülküche"));
    EXPECT_EQ(host.controlText(ctl::kitchenKey(3)), "255");
    EXPECT_EQ(host.controlText(ctl::kitchenStation(3)), "200");
    EXPECT_EQ(dlg.image().callers[31].text.str(), "12345678901234");
    EXPECT_EQ(dlg.viewPage(), ViewPage::Lower);
}

TEST_F(FileHandlersTest, OpenOnTheUpperPageShowsTheUpperSlots)
{
    dlg.onCommand(ctl::PageUpper);
    answerDialog(ReferenceFile);
    dlg.onCommand(ctl::OpenFileButton);
    EXPECT_EQ(dlg.viewPage(), ViewPage::Upper);
    EXPECT_EQ(host.controlText(ctl::callerText(16)), "12345678901234");
    EXPECT_EQ(host.controlText(ctl::idText(16)), "673059855");
    EXPECT_EQ(host.controlText(ctl::rowLabel(16)), "32");
}

TEST_F(FileHandlersTest, SaveAndOpenOnAFreshStartGiveTheSameForm)
{
    host.setControlText(ctl::callerText(2), win1252("Fenster groß"));
    editImage(dlg, [&](PagerImage& image) { image.callers[1].setButtonIdValue(4000000000u); });
    editImage(dlg, [&](PagerImage& image) { image.callers[1].idSuffix = 7; });
    host.setControlText(ctl::kitchenKey(16), "99");
    host.setChecked(ctl::Buzzer, true);
    const auto path = dir.path() / "hin-und-her.pag";
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);
    ASSERT_TRUE(results.lastFileOk);

    TestRig fresh;
    fresh.dialog.OnInitDialog();
    fresh.host.fileDialogAnswers.push_back(path.string());
    fresh.dialog.onCommand(ctl::OpenFileButton);
    ASSERT_TRUE(fresh.results.lastFileOk);
    for (const int id : {ctl::callerText(2), ctl::kitchenKey(16), ctl::PagerName, ctl::RemoteDeleteText})
        EXPECT_EQ(fresh.host.controlText(id), host.controlText(id)) << "control " << id;
    EXPECT_EQ(fresh.host.controlText(ctl::idText(2)), "40000000007");
    // The default remote-delete text keeps its last blank.
    EXPECT_EQ(fresh.host.controlText(ctl::RemoteDeleteText), win1252("  Fernlöschung  "));
    EXPECT_TRUE(fresh.host.isChecked(ctl::Buzzer));
    EXPECT_FALSE(fresh.host.isChecked(ctl::Battery));
}

// A file cut short (a copy that broke off, a backup of an incomplete
// read-out) fills what it holds; the rest keeps what the form showed, the
// message names it, and the form counts as changed.
TEST_F(FileHandlersTest, FileThatLacksLinesSaysWhatKeepsTheFormsValues)
{
    const std::string whole = readBytes(ReferenceFile);
    for (const std::size_t cut : {whole.find("Eintrag:020") + 12, std::size_t{900}}) {
        SCOPED_TRACE(cut);
        const auto path = dir.path() / "kurz.pag";
        std::ofstream(path, std::ios::binary) << whole.substr(0, cut);
        host.messages.clear();
        editImage(dlg, [&](PagerImage& image) {
            image.callers[20].text.assign("Bleibt");
            image.callers[20].buttonId = {1, 2, 3, 4};
            image.callers[23].text.assign("Auch");
        });
        answerDialog(path);
        dlg.onCommand(ctl::OpenFileButton);
        EXPECT_TRUE(results.lastFileOk);
        const std::string first = cut == 900 ? "24" : "21";
        EXPECT_EQ(host.messages.front(), "Die Datei " + path.string() +
                                             win1252(" enthält nicht alle Zeilen einer vollständigen Datei. Es "
                                                     "fehlen: Tischsender " + first + "-32, Küchenrufe 1-16. Sie "
                                                     "behalten die Werte, die das Formular vorher zeigte."));
        EXPECT_EQ(dlg.image().callers[20].text.str(), cut == 900 ? "" : "Bleibt");
        EXPECT_EQ(dlg.image().callers[23].text.str(), "Auch");
        EXPECT_TRUE(dlg.hasUnsavedChanges());
    }
}

TEST_F(FileHandlersTest, FileThatOmitsSettingsLeavesThemAsShown)
{
    const auto path = dir.path() / "nur-batterie.pag";
    std::ofstream(path, std::ios::binary) << "Batterie:1\r\n";
    host.setChecked(ctl::Buzzer, true);
    host.setControlText(ctl::PagerName, "Eigener");
    host.setControlText(ctl::callerText(1), "Bleibt");  // typed, not yet in the image
    answerDialog(path);
    dlg.onCommand(ctl::OpenFileButton);
    EXPECT_TRUE(host.isChecked(ctl::Battery));
    EXPECT_TRUE(host.isChecked(ctl::Buzzer));
    EXPECT_EQ(host.controlText(ctl::PagerName), "Eigener");
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Bleibt");
    EXPECT_EQ(host.controlText(ctl::kitchenText(16)), "Station 16");
}

TEST_F(FileHandlersTest, CancelledOpenChangesNothing)
{
    editImage(dlg, [&](PagerImage& image) { image.callers[0].text.assign("Im Bild"); });
    host.setControlText(ctl::callerText(1), "Getippt");
    host.setControlText(ctl::PagerName, "Neuer Name");
    dlg.onCommand(ctl::OpenFileButton);
    EXPECT_FALSE(results.lastFileOk);
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Getippt");
    EXPECT_EQ(host.controlText(ctl::PagerName), "Neuer Name");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FileHandlersTest, CancelledSaveWritesNothing)
{
    dlg.onCommand(ctl::SaveFileButton);
    EXPECT_FALSE(results.lastFileOk);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(FileHandlersTest, UnreadableFileIsReportedAndChangesNothing)
{
    editImage(dlg, [&](PagerImage& image) { image.callers[0].text.assign("Im Bild"); });
    host.setControlText(ctl::callerText(1), "Getippt");
    host.setChecked(ctl::Battery, true);
    const auto path = dir.path() / "fehlt.pag";
    answerDialog(path);
    dlg.onCommand(ctl::OpenFileButton);

    EXPECT_FALSE(results.lastFileOk);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "Die Datei " + path.string() + win1252(" konnte nicht geöffnet werden: ") +
                  "Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Getippt");
    EXPECT_EQ(dlg.image().callers[0].text.str(), "Im Bild");
    EXPECT_TRUE(host.isChecked(ctl::Battery));
}

TEST_F(FileHandlersTest, UncreatableFileIsReportedAndNothingIsWritten)
{
    const auto path = dir.path() / "fehlt" / "neu.pag";
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);
    EXPECT_FALSE(results.lastFileOk);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Die Datei " + path.string() +
                                    " konnte nicht gespeichert werden: Datei oder Verzeichnis nicht gefunden");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(FileHandlersTest, SaveOverTheFileSizeLimitIsReportedInGerman)
{
    const auto path = dir.path() / "gross.pag";
    // The limit makes every write past 100 bytes fail with EFBIG instead of
    // the signal, which the programs ignore as this test does.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(results.lastFileOk);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Die Datei " + path.string() + " konnte nicht gespeichert werden: " +
                                    win1252("Die Datei würde größer, als das System erlaubt"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(FileHandlersTest, SaveRemovesTemporariesOfKilledSavesBesideTheSameFile)
{
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string deadPid = std::to_string(gone);
    const std::string livePid = std::to_string(::getppid());
    const auto path = dir.path() / "ziel.pag";
    const std::vector<std::string> removed = {"ziel.pag.~" + deadPid + ".0.tmp", "ziel.pag.~" + deadPid + ".17.tmp"};
    // A save still running, another file's leftovers, and names that only
    // look alike stay.
    const std::vector<std::string> kept = {"ziel.pag.~" + livePid + ".0.tmp", "andere.pag.~" + deadPid + ".0.tmp",
                                           "ziel.pag.~" + deadPid + ".x.tmp", "ziel.pag.~" + deadPid + ".0.bak"};
    for (const auto& names : {removed, kept})
        for (const std::string& name : names)
            std::ofstream(dir.path() / name) << "halb";
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);
    EXPECT_TRUE(results.lastFileOk);
    for (const std::string& name : removed)
        EXPECT_FALSE(std::filesystem::exists(dir.path() / name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;
}

TEST_F(FileHandlersTest, MessageShowsAPathWithUmlautsInTheFormsCharacters)
{
    const auto path = dir.path() / "Küche" / "neu.pag";  // UTF-8, as the hosts give paths
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(win1252("Küche")), std::string::npos);
}

TEST_F(FileHandlersTest, MessageShowsCharactersOutsideTheFormsSetAsQuestionMarks)
{
    const auto path = dir.path() / "Küche Ж€" / "neu.pag";
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(win1252("/Küche ?€/neu.pag konnte nicht")), std::string::npos);
    EXPECT_EQ(host.messages[0].find("Ð"), std::string::npos);
}

// Opening refuses what is no configuration, and reads only regular files of
// a sane size; nothing in the form changes, and nothing blocks.
TEST_F(FileHandlersTest, RefusedFilesChangeNothing)
{
    const auto at = [&](const char* name) { return dir.path() / name; };
    std::ofstream(at("leer.pag"), std::ios::binary);
    std::ofstream(at("binaer.pag"), std::ios::binary) << std::string("\x7F" "ELF\x02\x01\x01\0\0\r\n\xFF", 13);
    std::ofstream(at("README.pag"), std::ios::binary) << "# Harvelin\n\nKonfigurationen: Eintrag und Sonder.\n";
    std::ofstream(at("gross.pag"), std::ios::binary) << std::string(65 * 1024, '\n') << "Batterie:1\r\n";
    ASSERT_EQ(::mkfifo(at("fifo.pag").c_str(), 0600), 0);
    std::filesystem::create_directory(at("ordner.pag"));
    struct Case {
        std::filesystem::path path;
        std::string message;
    };
    const auto noData = [](const std::filesystem::path& p) {
        return "Die Datei " + p.string() + win1252(" enthält keine Pager-Daten.");
    };
    const auto cannot = [](const std::filesystem::path& p, const std::string& reason) {
        return "Die Datei " + p.string() + win1252(" konnte nicht geöffnet werden: ") + reason;
    };
    const Case cases[] = {
        {at("leer.pag"), noData(at("leer.pag"))},
        {at("binaer.pag"), noData(at("binaer.pag"))},
        {at("README.pag"), noData(at("README.pag"))},
        {at("gross.pag"), cannot(at("gross.pag"), win1252("Die Datei ist zu groß für Pager-Daten (mehr als 64 KB)"))},
        {at("fifo.pag"), cannot(at("fifo.pag"), win1252("Das ist keine gewöhnliche Datei"))},
        {"/dev/zero", cannot("/dev/zero", win1252("Das ist keine gewöhnliche Datei"))},
        {at("ordner.pag"), cannot(at("ordner.pag"), "Das ist ein Verzeichnis")},
    };
    host.setControlText(ctl::callerText(1), "Getippt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        host.messages.clear();
        answerDialog(c.path);
        dlg.onCommand(ctl::OpenFileButton);
        EXPECT_FALSE(results.lastFileOk);
        EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(host.controlText(ctl::callerText(1)), "Getippt");
        EXPECT_FALSE(host.isChecked(ctl::Battery));
    }
}

// Saving replaces only a regular file or a missing one.
TEST_F(FileHandlersTest, SaveRefusesWhatIsNoRegularFile)
{
    const auto at = [&](const char* name) { return dir.path() / name; };
    std::filesystem::create_symlink(at("nirgends.pag"), at("verweis.pag"));
    ASSERT_EQ(::mkfifo(at("fifo.pag").c_str(), 0600), 0);
    std::filesystem::create_directory(at("ordner.pag"));
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {at("verweis.pag"), "Der Verweis zeigt auf keine vorhandene Datei"},
        {at("fifo.pag"), win1252("Das ist keine gewöhnliche Datei")},
        {"/dev/null", win1252("Das ist keine gewöhnliche Datei")},
        {at("ordner.pag"), "Das ist ein Verzeichnis"},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.string());
        host.messages.clear();
        answerDialog(path);
        dlg.onCommand(ctl::SaveFileButton);
        EXPECT_FALSE(results.lastFileOk);
        EXPECT_EQ(host.messages,
                  std::vector<std::string>{"Die Datei " + path.string() + " konnte nicht gespeichert werden: " + reason});
    }
    EXPECT_FALSE(std::filesystem::exists(at("nirgends.pag")));
    EXPECT_TRUE(std::filesystem::is_fifo(at("fifo.pag")));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// A file an editor saved as UTF-8 reads as the text it shows; characters the
// pager cannot show become "?", and the user is told once.
TEST_F(FileHandlersTest, Utf8FileIsReadAsUtf8)
{
    const auto path = dir.path() / "utf8.pag";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBFPagername:K\xC3\xBC" "che\r\n"
                                          << "Eintrag:000 Getr\xC3\xA4nke \xE2\x82\xAC\t001 002 003 004 005\r\n"
                                          << "Sonder:001 \xCE\xA9 Bar \xE2\x98\x83\t003 004 \r\n";
    answerDialog(path);
    dlg.onCommand(ctl::OpenFileButton);
    EXPECT_TRUE(results.lastFileOk);
    EXPECT_EQ(host.controlText(ctl::PagerName), win1252("Küche"));
    EXPECT_EQ(host.controlText(ctl::callerText(1)), win1252("Getränke €"));
    EXPECT_EQ(host.controlText(ctl::kitchenText(2)), "? Bar ?");
    EXPECT_EQ(host.messages.back(), "Die Datei " + path.string() +
                                        win1252(" enthält Zeichen, die der Pager nicht darstellen kann; sie werden "
                                                "als \"?\" gezeigt."));
}

// "Beenden" asks only when the form holds what was neither saved nor
// written; "Nein" leaves everything, the link included, as it was.
TEST(FileHandlers, BeendenAsksOnlyAboutUnsavedChanges)
{
    const std::string question =
        win1252("Die Änderungen sind weder gespeichert noch zum Pager übertragen. Trotzdem beenden?");
    TempDir dir;
    DialogRig rig;
    MainDialog& dlg = rig.dialog;
    MemoryHost& host = rig.host;
    rig.connect();
    host.setControlText(ctl::kitchenKey(4), "9");
    host.yesNoAnswers = {false};
    dlg.onCommand(ctl::Ok);
    EXPECT_EQ(host.questions, std::vector<std::string>{question});
    EXPECT_FALSE(host.ended);
    EXPECT_EQ(dlg.session().linkState(), LinkState::Open);

    host.fileDialogAnswers.push_back((dir.path() / "gesichert.pag").string());
    dlg.onCommand(ctl::SaveFileButton);
    ASSERT_TRUE(rig.results.lastFileOk);
    dlg.onCommand(ctl::Ok);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.ended, ctl::Ok);
    EXPECT_EQ(dlg.session().linkState(), LinkState::Closed);
}

}  // namespace
}  // namespace harvelin
