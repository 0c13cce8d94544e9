#include <ctime>
#include <filesystem>
#include <string>

#include "files/backups.h"
#include "files/configuration_sheet.h"
#include "files/replacing_file.h"
#include "model/win1252.h"
#include "transfer/messages.h"
#include "ui/main_dialog.h"
#include "ui/texts.h"

namespace harvelin {

namespace {

// The data file dialogs; the save form asks before overwriting.
FileDialogSpec dataFileDialog(bool save)
{
    return {save, "pag", std::string(localized(FormText::DataFileFilter)), "*.pag"};
}

// A new name for the sheet in the system's folder for temporary files
// (UTF-8): the browser reads it after the form has gone on, so it stays.
// Empty when the system names no such folder.
std::string sheetPath(std::time_t when)
{
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec)
        return {};
    const std::string stem = BackupFolder::fileName("Harvelin-Uebersicht", when);
    const std::u8string name = (folder / std::filesystem::path(std::u8string(stem.begin(), stem.end())))
                                   .replace_extension(".html")
                                   .u8string();
    return {name.begin(), name.end()};
}

}  // namespace

// "Datei öffnen" (1057)
void MainDialog::openFile()
{
    // What the file holds takes the place of what the form shows; edits that
    // would go with it are given up only when the user says so, before the
    // file dialog opens.
    forgetLearnedMeanwhile();
    if (!mayDropUnsavedChanges(FormText::UnsavedOpenQuestion))
        return;
    UpdateData(true);
    // A cancelled open changes nothing, rows typed meanwhile included.
    if (const auto path = host_.fileDialog(dataFileDialog(false)))
        mergeFile(*path);
}

void MainDialog::openGivenFile(const std::string& path)
{
    // The button is not there while work runs; neither is this way in.
    if (runner_.working())
        return;
    forgetLearnedMeanwhile();
    if (!mayDropUnsavedChanges(FormText::UnsavedOpenQuestion))
        return;
    UpdateData(true);
    mergeFile(path);
}

void MainDialog::mergeFile(const std::string& path)
{
    // The file is merged into what the form shows: what it does not mention
    // stays, and the user is told which parts those are. A file that cannot
    // be read, or holds no configuration at all, changes nothing.
    PagerConfiguration config = configurationFromForm();
    FileOutcome opened = openConfigurationFile(path, config);
    const bool complete = opened.report.coverage.complete();
    if (opened.done) {
        applyConfiguration(config);
        currentFile_ = path;
        selectPage(viewPage_);
        // A complete file is what the form now holds, and kept; one merged
        // with what the form held is a change. A call button learned while
        // the file dialog was open goes into its slot after the file.
        if (complete)
            markConfigurationKept();
        applyLearnedMeanwhile();
        UpdateData(false);
        if (!complete)
            opened.messages.insert(opened.messages.begin(), incompleteFileMessage(path, opened.report.coverage));
    }
    listener_->fileEnded(opened.done, opened.done ? opened.report.coverage : FileCoverage{});
    tell(opened.messages);
}

// "Speichern unter" (1058)
void MainDialog::saveFile()
{
    // A field that holds what it may not is named, and nothing is saved.
    if (!takeEveryField())
        return;
    formToImage();
    const auto path = host_.fileDialog(dataFileDialog(true));
    if (!path)
        return;
    // The form and the image stay as they are.
    const FileOutcome saved = saveConfigurationFile(*path, configurationFromForm());
    if (saved.done) {
        currentFile_ = *path;
        markConfigurationKept();
    }
    listener_->fileEnded(saved.done, {});
    tell(saved.messages);
}

// "Übersicht drucken…" (system menu)
void MainDialog::printSheet()
{
    // What the form shows, unsaved changes included; a field that holds
    // what it may not is named, and nothing is printed.
    if (!takeEveryField())
        return;
    formToImage();
    const std::time_t now = std::time(nullptr);
    const std::string sheet = configurationSheet(configurationFromForm(), sheetSource(currentFile_, now));
    const std::string path = sheetPath(now);
    ReplacingFile file(path, FileNaming::MadeUp);
    if (path.empty() || !file.create() || !file.write(sheet) || !file.commit()) {
        host_.messageBox(fileNotSavedMessage(path.empty() ? "Harvelin-Uebersicht.html" : path,
                                             path.empty() ? std::string(localized(FormText::NoTemporaryFolder))
                                                          : file.error()));
        return;
    }
    if (!host_.openInBrowser(path)) {
        bool replaced = false;
        host_.messageBox(localized(FormText::SheetNotOpened, {utf8ToWin1252Replacing(path, replaced)}));
    }
}

}  // namespace harvelin
