#pragma once

#include <string>

#include "ui/main_dialog.h"

namespace harvelin {

// What the form's operations came to, as the form tells it: the latest of
// each kind. Attaches itself to the dialog it is made with.
struct FormResults : FormListener {
    explicit FormResults(MainDialog& dialog) { dialog.setListener(this); }
    FormResults(const FormResults&) = delete;
    FormResults& operator=(const FormResults&) = delete;

    void readOutEnded(const ReadOutResult& result, const std::string& backupPath) override
    {
        lastReadOut = result;
        lastReadOutComplete = result.complete();
        lastBackupPath = backupPath;
    }
    void writeEnded(const WriteResult& result) override
    {
        lastWriteSucceeded = result.succeeded;
        lastWriteLeftSlotsOut = result.leftSlotsOut;
        lastWriteLateReply = result.lateReplySeen;
    }
    void learnEnded(bool stored, LearnModeExit exit) override
    {
        lastLearnStored = stored;
        if (exit != LearnModeExit::NotSent)
            lastLearnModeLeft = exit == LearnModeExit::Confirmed;
    }
    void switchSent(bool confirmed) override { lastSwitchConfirmed = confirmed; }
    void bootloaderStarted(bool confirmed) override { lastBootloaderConfirmed = confirmed; }
    void fileEnded(bool ok, const FileCoverage& coverage) override
    {
        lastFileOk = ok;
        lastFileCoverage = coverage;
    }

    bool lastReadOutComplete = false;
    bool lastWriteSucceeded = false;
    bool lastWriteLeftSlotsOut = false;
    bool lastWriteLateReply = false;
    bool lastLearnStored = false;
    bool lastLearnModeLeft = false;
    bool lastFileOk = false;
    bool lastSwitchConfirmed = false;
    bool lastBootloaderConfirmed = false;
    FileCoverage lastFileCoverage;
    ReadOutResult lastReadOut;
    std::string lastBackupPath;
};

// Changes the image the form holds, as learning or a file would. What was
// typed into the rows shown is taken first, as the form's timer takes it.
template <class Change>
void editImage(MainDialog& dialog, Change change)
{
    dialog.UpdateData(true);
    PagerConfiguration config = dialog.configurationFromForm();
    change(config.image);
    dialog.applyConfiguration(config);
}

}  // namespace harvelin
