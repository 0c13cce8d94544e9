#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "device/learn_window.h"
#include "device/repeater_clock.h"
#include "files/pager_data_file.h"
#include "link/device_search.h"
#include "link/serial_link.h"
#include "model/configuration_rule.h"
#include "model/pager_image.h"
#include "platform/clock.h"
#include "transfer/read_out.h"
#include "transfer/write.h"
#include "ui/dialog_host.h"
#include "ui/form_listener.h"
#include "ui/work_runner.h"

namespace harvelin {

// The form variables: what the controls show, as the data exchange takes it
// (rows are indexed 1..16, index 0 is unused).
struct FormFields {
    static constexpr int Rows = static_cast<int>(SlotsPerPage);
    static constexpr int KitchenRows = static_cast<int>(KitchenSlots);

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
};

// What an editable field of the form may hold, by the model's rule: a text
// field what checkText takes, "Taste" and "Station" a number from 0 to 255
// or nothing, which stands for 0. Both desktop forms refuse anything else in
// their edits as it is typed or pasted.
std::optional<Problem> checkFormField(Field field, std::string_view text);

// The main form (dialog 102) without any toolkit: its form variables, the data
// exchange with the controls and every handler of its message map. The
// handlers run on the form's thread; what talks to the pager they hand to
// the work runner, as operations below the form (search, read-out, write,
// learn window, link watch, switches, repeater clock, boot loader), and show
// what came of it when it has run. Files are read and written on the form's
// thread. The handlers are defined in src/ui.
class MainDialog {
public:
    static constexpr int Rows = FormFields::Rows;
    static constexpr int KitchenRows = FormFields::KitchenRows;

    // Without a runner, the work runs at once on the caller's thread.
    MainDialog(DialogHost& host, SerialBackend& backend, PortTable ports, Clock& clock, WorkRunner* runner = nullptr);
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

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
    // true: controls to variables. A field that holds what it may not
    // (checkFormField) is left as it is, its variable with the value taken
    // last and its control with what the user made of it, and nothing is
    // said: the timer takes the form this way ten times a second, and the
    // actions that need every field name it (takeEveryField). false when a
    // field was left.
    // false: variables to controls, also setting the edit controls' input
    // limits. Controls whose variable has not changed since they were last
    // read or written are left alone.
    bool UpdateData(bool saveAndValidate);
    // Before an action that needs every field as it is shown ("PC -> Pager",
    // "Speichern unter", "Beenden"): the controls to the variables; when a
    // field holds what it may not, one message naming it by group, row and
    // column, the focus in it, and false.
    bool takeEveryField();

    // --- form and image ---------------------------------------------------
    void formToImage();
    void imageToForm();
    void selectPage(ViewPage target);
    void deleteRow(int row);
    void clearImage();
    int pageOffset() const { return pageOffsetOf(viewPage_); }

    // --- the handlers ------------------------------------------------------
    void searchPager();
    void readFromPager();
    void writeToPager();
    void startLearn(int row);
    void onUiTimer();
    // Ends an open learn window, also on the pager, and gives the port back;
    // `then` runs on the form's thread when that is done.
    void leaveLearnModeAndClose(std::function<void()> then);
    void sendOptionSwitch(int checkId, std::string_view onText, std::string_view offText);
    // Reads the repeater's status and shows its time; `shown`, when given,
    // learns whether the repeater reported.
    void readRepeaterStatus(std::function<void(bool reported)> shown = {});
    void setRepeaterClock();
    void startBootloader();
    void openFile();
    void saveFile();
    // Shows the repeater clock group for this many ticks of the timer.
    void showRepeaterClockFor(std::uint8_t ticks);

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
    void showClockGroup(bool visible);

    // --- for the front ends ----------------------------------------------------
    const PagerImage& image() const { return image_; }
    const FormFields& fields() const { return fields_; }
    ViewPage viewPage() const { return viewPage_; }
    const PagerImage& startImage() const { return startImage_; }
    // The link to the pager. Its owner is the work runner's thread while work
    // runs; "Abbrechen" (SerialLink::cancel) may come from anywhere.
    SerialLink& link() { return link_; }
    const SerialLink& link() const { return link_; }
    const LearnWindow& learnWindow() const { return learnWindow_; }
    bool deviceBusy() const { return deviceBusy_; }
    std::uint8_t clockDisplayTicks() const { return clockDisplayTicks_; }
    // The file last opened or saved (UTF-8), for the window's title.
    const std::string& currentFile() const { return currentFile_; }
    // Where read-outs are kept (UTF-8); empty: nowhere.
    void setBackupFolder(std::string folder) { backupFolder_ = std::move(folder); }
    void setListener(FormListener* listener) { listener_ = listener ? listener : &silent_; }

private:
    template <class Work, class Done>
    void runOnLink(Work work, Done done);

    // A field the exchange left: where the form shows it, and what is wrong.
    struct LeftField {
        int controlId = 0;
        std::string place;  // "Küchenrufe, Zeile 3, Taste" (Windows-1252)
        Problem problem;
    };
    // The controls to the variables; the first field left, if any.
    std::optional<LeftField> takeControls();

    // The tick's halves: the pager's part on the runner, what it did shown here.
    struct TickResult;
    void showTick(const TickResult& tick);
    void showLearnTick(const LearnTick& tick);
    void finishSearch(const SearchResult& result, bool shownFound);
    void finishReadOut(const ReadOutResult& result);
    void finishWrite(const WriteResult& result);
    void finishSwitch(int checkId, bool ticked, bool confirmed);
    void showRepeaterStatus(const RepeaterStatus& status);
    void noteLearnModeExit(LearnModeExit exit);
    // Keeps a read-out in the backup folder: after a complete one what the
    // form now holds, after an incomplete one the lines the pager answered
    // (none: nothing). Tells the user once when that fails. The path kept,
    // empty when none.
    std::string keepBackup(const ReadOutResult& result);
    void setActive(bool active);
    // What the form shows now is kept (saved, read or written).
    void markConfigurationKept() { keptConfiguration_ = configurationFromForm(); }
    void stopUiTimer();
    void startUiTimer();

    DialogHost& host_;
    Clock& clock_;
    std::unique_ptr<WorkRunner> ownRunner_;
    WorkRunner& runner_;
    FormListener silent_;
    FormListener* listener_ = &silent_;

    PagerImage image_;
    ViewPage viewPage_ = ViewPage::Lower;
    FormFields fields_;
    // What each bound control was last given or read (by control id), so
    // that the exchange touches only what changed.
    std::map<int, std::string> shownTexts_;
    std::map<int, bool> shownChecks_;
    std::map<int, int> limitsSet_;

    SerialLink link_;

    // Learn mode and the timer ("Lernmodus": the pager's learn mode).
    bool deviceBusy_ = false;
    LearnWindow learnWindow_;
    bool learnStored_ = false;  // the open learn window stored an identity
    std::uint8_t clockDisplayTicks_ = 0;

    // The configuration last saved, completely read or completely written.
    PagerConfiguration keptConfiguration_;
    // The image as the form starts: empty caller slots, the kitchen defaults.
    PagerImage startImage_;

    std::string currentFile_;
    std::string backupFolder_;
    bool backupFailureShown_ = false;
};

// Hands `work` (taking the runner's WorkContext, returning a result value) to
// the runner, and `done` the result on the form's thread.
template <class Work, class Done>
void MainDialog::runOnLink(Work work, Done done)
{
    using Result = std::invoke_result_t<Work&, WorkContext&>;
    auto result = std::make_shared<Result>();
    runner_.run([work = std::move(work), result](WorkContext& context) mutable { *result = work(context); },
                [done = std::move(done), result]() mutable { done(*result); });
}

}  // namespace harvelin
