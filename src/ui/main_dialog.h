#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/learn_window.h"
#include "files/pager_data_file.h"
#include "link/serial_link.h"
#include "model/pager_image.h"
#include "platform/clock.h"
#include "transfer/read_out.h"
#include "ui/dialog_host.h"

namespace harvelin {

// The main form (dialog 102) without any toolkit: its form variables, the data
// exchange with the controls and every handler of its message map. Each
// handler that reaches the pager or a file runs an operation below the form
// (search, read-out, write, learn window, link watch, switches, repeater
// clock, boot loader, files) and shows what came of it; the handlers are
// defined in src/ui.
class MainDialog {
public:
    static constexpr int Rows = static_cast<int>(SlotsPerPage);
    static constexpr int KitchenRows = static_cast<int>(KitchenSlots);

    MainDialog(DialogHost& host, SerialBackend& backend, PortTable ports, Clock& clock);

    // --- framework side -------------------------------------------------
    // The window itself (system menu entry, icons) is set up by the host.
    bool OnInitDialog();
    void OnOK();
    // The close box and "Beenden": true when the tool may end now. Asks
    // first when the form holds changes that were neither saved nor written.
    bool queryClose();
    // Button, check-box and radio-button clicks, routed by control id.
    void onCommand(int controlId);
    void onTimer(int timerId);
    // true: controls to variables with length validation; false: variables to
    // controls, also setting the edit controls' input limits.
    bool UpdateData(bool saveAndValidate);

    // --- form and image ---------------------------------------------------
    void formToImage();
    void imageToForm();
    void selectPage(ViewPage target);
    void deleteRow(int row);
    void clearImage();
    int pageOffset() const { return pageOffsetOf(viewPage); }

    // --- device link ------------------------------------------------------
    void searchPager();

    // --- configuration transfer -------------------------------------------
    void readFromPager();
    void writeToPager();

    // --- device functions -------------------------------------------------
    void startLearn(int row);
    void onUiTimer();
    // Ends an open learn window, also on the pager, as the window's end does.
    void leaveLearnMode();
    void sendOptionSwitch(int checkId, std::string_view onText, std::string_view offText);
    bool readRepeaterStatus();
    void setRepeaterClock();
    void startBootloader();
    // One tick of the open learn window, and what it did made visible.
    void learnStep();
    void noteLearnModeExit(LearnModeExit exit);

    // --- data files -------------------------------------------------------
    void openFile();
    void saveFile();
    // Keeps a read-out in the backup folder: after a complete one what the
    // form now holds, after an incomplete one the lines the pager answered
    // (none: nothing). Tells the user once when that fails.
    void keepBackup(const ReadOutResult& result);

    // --- what the form holds -------------------------------------------------
    // The configuration as the form variables and the image hold it, the rows
    // shown included: what a save would write.
    PagerConfiguration configurationFromForm() const;
    // The image as held, without the rows shown, and the form-held settings.
    PagerConfiguration heldConfiguration() const;
    // Puts a configuration into the image, the form-held texts and the boxes.
    void applyConfiguration(const PagerConfiguration& config);
    // Whether the controls show a configuration other than the one last
    // saved, completely read or completely written.
    bool hasUnsavedChanges() const;
    // Before an action that would replace them (`action`, a UTF-8 literal:
    // "beenden", "vom Pager lesen" ...): true when there are no unsaved
    // changes or the user answers "Ja" to giving them up.
    bool mayDropUnsavedChanges(std::string_view action) const;
    // What the form shows now is kept (saved, read or written).
    void markConfigurationKept() { keptConfiguration = configurationFromForm(); }

    // --- helpers shared by the handlers -------------------------------------
    void showClockGroup(bool visible);
    void stopUiTimer();
    void startUiTimer();

    // --- state ---------------------------------------------------------------
    DialogHost& host;
    Clock& clock;

    PagerImage image;
    ViewPage viewPage = ViewPage::Lower;

    // Form variables; rows are indexed 1..16, index 0 is unused.
    std::array<std::string, Rows + 1> callerTexts;
    std::array<std::string, Rows + 1> idTexts;
    std::array<std::string, Rows + 1> rowLabels;
    std::array<std::string, KitchenRows + 1> kitchenTexts;
    std::array<std::string, KitchenRows + 1> kitchenKeys;
    std::array<std::string, KitchenRows + 1> kitchenStations;
    std::string statusText;
    std::string pagerName;
    std::string remoteDeleteText;
    std::string repeaterTimeText;
    std::string systemTimeText;
    int pageRadio = -1;  // 0 "1..16", 1 "17..32", -1 neither

    SerialLink link;

    // Learn mode and the timer ("Lernmodus": the pager's learn mode).
    bool deviceBusy = false;
    LearnWindow learnWindow;
    std::uint8_t clockDisplayTicks = 0;

    // What the last operations achieved, for front ends that report it.
    bool lastReadOutComplete = false;   // every step of the read-out got a valid reply
    bool lastWriteSucceeded = false;    // "Daten erfolgreich übertragen" was shown
    bool lastLearnStored = false;       // the last learn window stored an identity
    bool lastLearnModeLeft = false;     // the pager confirmed leaving learn mode at the window's end
    bool lastFileOk = false;            // the last open or save went through
    bool lastSwitchConfirmed = false;   // the pager confirmed the last option switch
    bool lastBootloaderConfirmed = false;  // the pager said it calls its boot loader
    bool lastWriteLeftSlotsOut = false; // a small pager could not take slots 17..32 or the kitchen calls
    unsigned lastPagerSlots = 0;        // caller slots (16 or 32) of the pager last read or written; 0: no version
    FileCoverage lastFileCoverage;      // which lines the last file opened held
    ReadOutResult lastReadOut;          // what the last read-out got, complete or not

    // The configuration last saved, completely read or completely written.
    PagerConfiguration keptConfiguration;
    // The image as the form starts: empty caller slots, the kitchen defaults.
    PagerImage startImage;

    // The file last opened or saved (UTF-8), for the window's title.
    std::string currentFile;
    // Where complete read-outs are kept (UTF-8); empty: nowhere.
    std::string backupFolder;
    std::string lastBackupPath;   // the backup of the last read-out (UTF-8), empty if none was kept
    bool backupFailureShown = false;
};

}  // namespace harvelin
