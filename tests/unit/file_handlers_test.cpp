#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/win1252.h"
#include "temp_dir.h"
#include "test_rig.h"
#include "ui/control_ids.h"

namespace harvelin {
namespace {

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::filesystem::path ReferenceFile = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

class FileHandlersTest : public ::testing::Test {
protected:
    void SetUp() override { dlg.OnInitDialog(); }

    void answerDialog(const std::filesystem::path& path) { host.fileDialogAnswers.push_back(path.string()); }

    TempDir dir;
    TestRig rig;
    MainDialog& dlg = rig.dialog;
    MemoryHost& host = rig.host;
};

TEST_F(FileHandlersTest, SaveWritesWhatTheFormShows)
{
    // Rows typed but not yet taken into the image, identities from the image.
    host.setControlText(ctl::callerText(1), "Tisch 1");
    dlg.image.callers[0].setButtonIdValue(0x12345678);
    dlg.image.callers[0].idSuffix = 3;
    dlg.image.callers[5].buttonId = {255, 0, 1, 2};
    dlg.image.callers[5].idSuffix = 255;
    host.setControlText(ctl::callerText(6), win1252("Terrasse Süd"));
    dlg.image.callers[31].text.assign("12345678901234");
    dlg.image.callers[31].buttonId = {1, 2, 3, 4};
    dlg.image.callers[31].idSuffix = 5;
    host.setControlText(ctl::kitchenText(3), win1252("Spülküche"));
    host.setControlText(ctl::kitchenKey(3), "255");
    host.setControlText(ctl::kitchenStation(3), "200");
    host.setControlText(ctl::PagerName, win1252("Küche Süd"));
    host.setChecked(ctl::Battery, true);
    host.setChecked(ctl::RemoteDelete, true);

    const auto path = dir.path() / "neu.pag";
    answerDialog(path);
    dlg.onCommand(ctl::SaveFileButton);

    EXPECT_TRUE(dlg.lastFileOk);
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

    EXPECT_TRUE(dlg.lastFileOk);
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
    EXPECT_EQ(dlg.image.callers[31].text.str(), "12345678901234");
    EXPECT_EQ(dlg.viewPage, ViewPage::Lower);
}

TEST_F(FileHandlersTest, OpenOnTheUpperPageShowsTheUpperSlots)
{
    dlg.onCommand(ctl::PageUpper);
    answerDialog(ReferenceFile);
    dlg.onCommand(ctl::OpenFileButton);
    EXPECT_EQ(dlg.viewPage, ViewPage::Upper);
    EXPECT_EQ(host.controlText(ctl::callerText(16)), "12345678901234");
    EXPECT_EQ(host.controlText(ctl::idText(16)), "673059855");
    EXPECT_EQ(host.controlText(ctl::rowLabel(16)), "32");
}

TEST_F(FileHandlersTest, SaveAndOpenOnAFreshStartGiveTheSameForm)
{
    host.setControlText(ctl::callerText(2), win1252("Fenster groß"));
    dlg.image.callers[1].setButtonIdValue(4000000000u);
    dlg.image.callers[1].idSuffix = 7;
    host.setControlText(ctl::kitchenKey(16), "99");
    host.setChecked(ctl::Buzzer, true);
    const auto path = dir.path() / "hin-und-her.pag";
    answerDialog(path);
    dlg.saveFile();
    ASSERT_TRUE(dlg.lastFileOk);

    TestRig fresh;
    fresh.dialog.OnInitDialog();
    fresh.host.fileDialogAnswers.push_back(path.string());
    fresh.dialog.openFile();
    ASSERT_TRUE(fresh.dialog.lastFileOk);
    for (const int id : {ctl::callerText(2), ctl::kitchenKey(16), ctl::PagerName, ctl::RemoteDeleteText})
        EXPECT_EQ(fresh.host.controlText(id), host.controlText(id)) << "control " << id;
    EXPECT_EQ(fresh.host.controlText(ctl::idText(2)), "40000000007");
    // The default remote-delete text keeps its last blank.
    EXPECT_EQ(fresh.host.controlText(ctl::RemoteDeleteText), win1252("  Fernlöschung  "));
    EXPECT_TRUE(fresh.host.isChecked(ctl::Buzzer));
    EXPECT_FALSE(fresh.host.isChecked(ctl::Battery));
}

TEST_F(FileHandlersTest, FileThatOmitsSettingsLeavesThemAsShown)
{
    const auto path = dir.path() / "nur-batterie.pag";
    std::ofstream(path, std::ios::binary) << "Batterie:1\r\n";
    host.setChecked(ctl::Buzzer, true);
    host.setControlText(ctl::PagerName, "Eigener");
    host.setControlText(ctl::callerText(1), "Bleibt");  // typed, not yet in the image
    answerDialog(path);
    dlg.openFile();
    EXPECT_TRUE(host.isChecked(ctl::Battery));
    EXPECT_TRUE(host.isChecked(ctl::Buzzer));
    EXPECT_EQ(host.controlText(ctl::PagerName), "Eigener");
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Bleibt");
    EXPECT_EQ(host.controlText(ctl::kitchenText(16)), "Station 16");
}

TEST_F(FileHandlersTest, CancelledOpenChangesNothing)
{
    dlg.image.callers[0].text.assign("Im Bild");
    host.setControlText(ctl::callerText(1), "Getippt");
    host.setControlText(ctl::PagerName, "Neuer Name");
    dlg.openFile();
    EXPECT_FALSE(dlg.lastFileOk);
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Getippt");
    EXPECT_EQ(host.controlText(ctl::PagerName), "Neuer Name");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FileHandlersTest, CancelledSaveWritesNothing)
{
    dlg.saveFile();
    EXPECT_FALSE(dlg.lastFileOk);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(FileHandlersTest, UnreadableFileIsReportedAndChangesNothing)
{
    dlg.image.callers[0].text.assign("Im Bild");
    host.setControlText(ctl::callerText(1), "Getippt");
    host.setChecked(ctl::Battery, true);
    const auto path = dir.path() / "fehlt.pag";
    answerDialog(path);
    dlg.openFile();

    EXPECT_FALSE(dlg.lastFileOk);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "Die Datei " + path.string() + win1252(" konnte nicht geöffnet werden: ") +
                  "Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Getippt");
    EXPECT_EQ(dlg.image.callers[0].text.str(), "Im Bild");
    EXPECT_TRUE(host.isChecked(ctl::Battery));
}

TEST_F(FileHandlersTest, UncreatableFileIsReportedAndNothingIsWritten)
{
    const auto path = dir.path() / "fehlt" / "neu.pag";
    answerDialog(path);
    dlg.saveFile();
    EXPECT_FALSE(dlg.lastFileOk);
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
    dlg.saveFile();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(dlg.lastFileOk);
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
    dlg.saveFile();
    EXPECT_TRUE(dlg.lastFileOk);
    for (const std::string& name : removed)
        EXPECT_FALSE(std::filesystem::exists(dir.path() / name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;
}

TEST_F(FileHandlersTest, MessageShowsAPathWithUmlautsInTheFormsCharacters)
{
    const auto path = dir.path() / "Küche" / "neu.pag";  // UTF-8, as the hosts give paths
    answerDialog(path);
    dlg.saveFile();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(win1252("Küche")), std::string::npos);
}

TEST_F(FileHandlersTest, MessageShowsCharactersOutsideTheFormsSetAsQuestionMarks)
{
    const auto path = dir.path() / "Küche Ж€" / "neu.pag";
    answerDialog(path);
    dlg.saveFile();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(win1252("/Küche ?€/neu.pag konnte nicht")), std::string::npos);
    EXPECT_EQ(host.messages[0].find("Ð"), std::string::npos);
}

}  // namespace
}  // namespace harvelin
