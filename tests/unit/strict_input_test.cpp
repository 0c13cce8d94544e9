#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "files/pager_data_file.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"
#include "session_rig.h"
#include "test_files.h"
#include "test_rig.h"
#include "ui/control_ids.h"

// Only what the user wrote reaches the pager: every way in refuses a value
// the pager cannot hold, instead of wrapping, cutting or dropping it.
namespace harvelin {
namespace {

using namespace std::string_literals;

const std::filesystem::path ReferenceFile = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

// The reference file with line `line` (from 1) replaced, or with a line
// added after the last when `line` is 54.
std::string referenceWithLine(std::size_t line, const std::string& text)
{
    std::istringstream in(readBytes(ReferenceFile));
    std::string bytes;
    std::string l;
    for (std::size_t n = 1; std::getline(in, l); ++n)
        bytes += (n == line ? text + "\r" : l) + "\n";
    if (line == 54)
        bytes += text + "\r\n";
    return bytes;
}

struct BadFile {
    const char* name;
    std::size_t line;
    std::string text;
    std::string what;  // what the command line says is wrong
    std::size_t named = 0;  // the line named, when it is not `line`
};

void PrintTo(const BadFile& f, std::ostream* os) { *os << f.name; }

class BadPagFile : public ::testing::TestWithParam<BadFile>, protected CliRig {};

// The file is refused as a whole, before the port is opened, with the file,
// the line and what is wrong; the form's "Datei öffnen" changes nothing.
TEST_P(BadPagFile, IsRefusedByEveryWayIn)
{
    const BadFile& bad = GetParam();
    const std::string path = (dir.path() / "kueche.pag").string();
    std::ofstream(path, std::ios::binary) << referenceWithLine(bad.line, bad.text);
    const std::string line = std::to_string(bad.named ? bad.named : bad.line);
    const std::string message = "harvelin-cli: " + path + ", line " + line + ": " + bad.what + "\n";

    for (const char* command : {"write", "show", "verify", "diff"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> args{command, path};
        if (std::string(command) == "diff")
            args.push_back(ReferenceFile.string());
        EXPECT_EQ(run(args), exitcode::BadInput);
        EXPECT_EQ(err.str(), message);
        EXPECT_TRUE(out.str().empty());
    }
    EXPECT_TRUE(backend.opened().empty());
    EXPECT_TRUE(pager->commands().empty());

    TestRig rig;
    rig.dialog.OnInitDialog();
    const std::string before = PagerDataFile::format(rig.dialog.configurationFromForm());
    rig.host.fileDialogAnswers.push_back(path);
    rig.dialog.onCommand(ctl::OpenFileButton);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_NE(rig.host.messages[0].find("Zeile " + line + ": "), std::string::npos)
        << rig.host.messages[0];
    EXPECT_EQ(PagerDataFile::format(rig.dialog.configurationFromForm()), before);
    EXPECT_TRUE(rig.dialog.currentFile().empty());
}

// The name that option --name puts behind a switch is held to the same rule.
TEST_F(BadPagFile, OptionNameWithAControlCharacterIsRefusedBeforeTheSearch)
{
    for (const char* name : {"A\r>Bootloader", "Pager:\x1b[31m", "Pager:Restaurant"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(run({"option", "battery", "on", "--name", name}), exitcode::BadInput);
        EXPECT_EQ(err.str().rfind("harvelin-cli: --name: pager name \"", 0), 0u) << err.str();
    }
    EXPECT_TRUE(backend.opened().empty());
}

INSTANTIATE_TEST_SUITE_P(
    StrictFiles, BadPagFile,
    ::testing::Values(
        BadFile{"CarriageReturnInText", 6, "Eintrag:000 A\r>Bootloader\t001 002 003 004 005",
                "caller text \"A\\x0d>Bootloader\" holds the control character \\x0d"},
        BadFile{"NulInText", 6, "Eintrag:000 Ti\0sch\t001 002 003 004 005"s,
                "caller text \"Ti\\x00sch\" holds the control character \\x00"},
        BadFile{"TextOf22Characters", 7, "Eintrag:001 Terrasse am Springbrunnen\t000 000 000 000 000",
                "caller text \"Terrasse am Springbrunnen\" is longer than 14 characters"},
        BadFile{"IdentityByte256", 6, "Eintrag:000 Tisch 1\t256 086 052 018 003",
                "identity byte 256 is not a number from 0 to 255"},
        BadFile{"IdentityByteNegative", 6, "Eintrag:000 Tisch 1\t120 -17 052 018 003",
                "identity byte \"-17\" is not a number from 0 to 255"},
        BadFile{"IdentityByteNoNumber", 6, "Eintrag:000 Tisch 1\tabc 086 052 018 003",
                "identity byte \"abc\" is not a number from 0 to 255"},
        BadFile{"Key999", 40, "Sonder:002 Test\t999 200 ", "key 999 is not a number from 0 to 255"},
        BadFile{"BuzzerFive", 4, "Summer:5", "switch value \"5\" is neither 0 nor 2"},
        BadFile{"SlotBeyondTheCallers", 54, "Eintrag:040 X\t000 000 000 000 000",
                "caller slot 040 is not a number from 0 to 31"},
        BadFile{"NegativeKitchenSlot", 54, "Sonder:-01 X\t001 001 ",
                "kitchen slot \"-01\" is not a number from 0 to 15"},
        BadFile{"SlotGivenTwice", 54, "Eintrag:9 Doppelt\t000 000 000 000 000", "caller slot 9 is given twice"},
        // The name in UTF-8; the remote-delete text on line 2 is still Windows-1252.
        BadFile{"Utf8NameBesideWindows1252Texts", 1, "Pagername:K\xC3\xBC" "che", "mixes UTF-8 and Windows-1252", 2}),
    [](const auto& test) { return std::string(test.param.name); });

// Behind the files, the write itself sends no text that could end a
// command's frame: a configuration made in code with a CR in a text is
// refused before the first byte.
TEST(WireCannotBeForged, WriteRefusesATextThatBreaksTheRule)
{
    SessionRig rig;
    rig.connect();
    PagerConfiguration config = startConfiguration();
    config.image.callers[31].text.assign("T\r>Setze:0 \x02X");
    rig.session.configuration() = config;
    const WriteOutcome outcome = rig.session.write(rig.events);
    ASSERT_TRUE(outcome.result.refused);
    EXPECT_FALSE(outcome.result.succeeded);
    EXPECT_EQ(outcome.result.refused->slot, 32u);
    EXPECT_TRUE(rig.commands().empty());
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_NE(win1252ToUtf8(outcome.messages[0]).find("Nicht übertragen: Tischsender 32: Meldetext"),
              std::string::npos);
}

}  // namespace
}  // namespace harvelin

namespace harvelin {
namespace {

// Every file the tool writes opens again unchanged: the start values (the
// 16-character remote-delete text included), texts of every character the
// pager can show at full length, the lines of an incomplete read-out, and
// every file of the test data.
TEST(OwnFilesOpenAgain, EveryFileTheToolWritesReadsBackByteForByte)
{
    std::vector<std::pair<std::string, std::string>> files;
    const PagerConfiguration start = startConfiguration();
    files.emplace_back("start", PagerDataFile::format(start));

    PagerConfiguration full = start;
    std::string showable;
    for (int b = 0x20; b <= 0xFF; ++b)
        if (isShowable(static_cast<unsigned char>(b)))
            showable += static_cast<char>(b);
    for (std::size_t s = 0; s < CallerSlots; ++s) {
        full.image.callers[s].text.assign(showable.substr((s * SlotTextMax) % (showable.size() - SlotTextMax), SlotTextMax));
        full.image.callers[s].buttonId = {255, 0, static_cast<std::uint8_t>(s), 9};
        full.image.callers[s].idSuffix = 255;
    }
    for (std::size_t k = 0; k < KitchenSlots; ++k) {
        full.image.kitchenCalls[k].text.assign(showable.substr(showable.size() - SlotTextMax - k, SlotTextMax));
        full.image.kitchenCalls[k] = {full.image.kitchenCalls[k].text, 255, 0};
    }
    full.pagerName = showable.substr(0, PagerNameMax);
    full.remoteDeleteText = showable.substr(showable.size() - RemoteDeleteTextMax);
    full.buzzer = full.battery = full.remoteDelete = true;
    ASSERT_FALSE(checkConfiguration(full));
    files.emplace_back("full", PagerDataFile::format(full));

    FileCoverage partial;
    partial.pagerName = partial.buzzer = true;
    partial.callers.set(0);
    partial.callers.set(31);
    partial.kitchenCalls.set(15);
    files.emplace_back("partial", PagerDataFile::format(full, &partial));

    for (const auto& entry : std::filesystem::directory_iterator(HARVELIN_TEST_DATA))
        if (entry.path().extension() == ".pag")
            files.emplace_back(entry.path().filename().string(), readBytes(entry.path()));

    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        PagerConfiguration read = start;
        FileCoverage coverage;
        const auto problem = PagerDataFile::parse(bytes, read, &coverage);
        ASSERT_FALSE(problem) << problem->describe(name);
        EXPECT_EQ(PagerDataFile::format(read, &coverage), bytes);
    }
}

}  // namespace
}  // namespace harvelin
