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

#include "model/configuration_rule.h"
#include "model/option_switches.h"
#include "model/pager_image.h"
#include "platform/clock.h"
#include "session/pager_session.h"
#include "transfer/texts.h"
#include "ui/dialog_host.h"
#include "ui/form_listener.h"
#include "ui/texts.h"
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
// exchange with the controls and every handler of its message map. It is the
// form's adapter to the pager session: it moves between the fields and a
// configuration, asks the questions, runs the session's actions on the work
// runner and turns their outcomes into what the form shows and the German
// messages. What an outcome means (whether the pager is still there, what is
// kept, what learn mode does) the session decides. The handlers are defined
// in src/ui.
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
    // Button, check-box and radio-button clicks, routed by control id
    // ("Beenden" included).
    void onCommand(int controlId);
    void onTimer(int timerId);
    // true: controls to variables. A field that holds what it may not
    // (checkFormField) is left as it is, its variable with the value taken
    // last and its control with what the user made of it, and nothing is
    // said: the timer takes the form this way ten times a second, and the
    // actions that need every field name it. false when a field was left.
    // false: variables to controls, also setting the edit controls' input
    // limits. Controls whose variable has not changed since they were last
    // read or written are left alone.
    bool UpdateData(bool saveAndValidate);
    // The close box: true when the tool may end now. Asks first when the form
    // holds changes that were neither saved nor written.
    bool queryClose();
    // A close asked for while "PC -> Pager" runs: whether the user agrees to
    // stop the write, which leaves the pager partly written (and to give up
    // unsaved changes). Once agreed, queryClose() asks nothing more.
    bool mayStopWriteToClose();
    // The end of the form, however it ends ("Beenden", the close box, a
    // signal, the end of the user's session): learn mode is left on the
    // pager and the port given back; `then` runs on the form's thread when
    // that is done.
    void leaveLearnModeAndClose(std::function<void()> then);
    // A file given from outside the form (on the command line, dropped on
    // the window; UTF-8), opened as "Datei öffnen" opens the one chosen:
    // the question about unsaved changes, the checks, the merge, the
    // messages. Nothing happens while work runs.
    void openGivenFile(const std::string& path);

    // --- what the form holds -------------------------------------------------
    // The configuration as the form variables and the image hold it, the rows
    // shown included: what a save would write.
    PagerConfiguration configurationFromForm() const;
    // Puts a configuration into the image, the form-held texts and the boxes,
    // and shows it.
    void applyConfiguration(const PagerConfiguration& config);
    // Whether the controls show a configuration other than the one last
    // saved, completely read or completely written.
    bool hasUnsavedChanges() const;
    const PagerImage& image() const { return image_; }
    const FormFields& fields() const { return fields_; }
    ViewPage viewPage() const { return viewPage_; }
    // The file last opened or saved (UTF-8), for the window's title.
    const std::string& currentFile() const { return currentFile_; }
    // Shows the title and the change mark anew when either has changed:
    // after every click, and on a tick of the timer after typing or a call
    // button learned.
    void refreshTitle();
    void setListener(FormListener* listener) { listener_ = listener ? listener : &silent_; }
    // "Nach dem Schreiben prüfen": whether "PC -> Pager" is followed by a
    // comparison of the pager with the form. Off at start; the system
    // menu's entry toggles it (layout::VerifyAfterWriteCommand).
    bool verifiesAfterWrite() const { return verifyAfterWrite_; }
    // The pager session the form runs. Its actions belong to the work
    // runner's thread while work runs; requestStop() may come from anywhere.
    PagerSession& session() { return session_; }

private:
    // What the session tells while the form's work runs, shown on the
    // form's thread: the runner hands each event over.
    class Shown final : public SessionEvents {
    public:
        explicit Shown(MainDialog& dialog) : dialog_(dialog) {}
        void progressRange(int low, int high) override;
        void progress(int position) override;
        void portLine(const std::string& line) override;
        void repaint() override;
        void notice(const std::string& text) override;
        void pagerFound(const FoundPager& pager) override;
        void repeaterStatus(const RepeaterStatus& status) override;
        void clockTimeSent(const std::string& time) override;
        void learnEnded(bool stored, LearnModeExit exit) override;

    private:
        MainDialog& dialog_;
    };

    // Hands one of the session's actions to the work runner: `work` takes
    // the events the form shows while it runs and returns the outcome, which
    // `done` gets on the form's thread.
    // Both are defined in main_dialog.cpp, beside every action they hand over.
    template <class Work, class Done>
    void runOnDevice(Work work, Done done);
    // The same for the search, the read-out and the write: no keep-alive
    // goes out while they run, and when they end the form shows what
    // `done` made of the outcome, then tells its messages.
    template <class Work, class Done>
    void runBusy(Work work, Done done);

    // A field the exchange left: where the form shows it, and what is wrong.
    struct LeftField {
        int controlId = 0;
        std::string place;  // "Küchenrufe, Zeile 3, Taste" (Windows-1252)
        Problem problem;
    };
    // The controls to the variables; the first field left, if any.
    std::optional<LeftField> takeControls();
    // Before an action that needs every field as it is shown ("PC -> Pager",
    // "Speichern unter", "Beenden"): the controls to the variables; when a
    // field holds what it may not, one message naming it by group, row and
    // column, the focus in it, and false.
    bool takeEveryField();
    // Before "PC -> Pager" and "Mit Pager vergleichen": every field taken
    // into the image, and a pager found; otherwise what is wrong is said,
    // and false.
    bool everyFieldTakenForThePager();
    void OnOK();

    // --- form and image ---------------------------------------------------
    void formToImage();
    void imageToForm();
    void selectPage(ViewPage target);
    void deleteRow(int row);
    void clearImage();
    int pageOffset() const { return pageOffsetOf(viewPage_); }
    // The image as held, without the rows shown, and the form-held settings.
    PagerConfiguration heldConfiguration() const;
    // Before an action that would replace them, asked by its `question`
    // ("... Trotzdem beenden?"): true when there are no unsaved changes or
    // the user answers "Ja" to giving them up.
    bool mayDropUnsavedChanges(FormText question) const;
    // What the form shows now is kept (saved or opened).
    void markConfigurationKept() { session_.keep(configurationFromForm()); }
    // Call buttons learned while a question or a file dialog of the action
    // under way was open: the action (an open, a read-out) must not take
    // them away. Forgotten as such an action begins; put back when it has
    // replaced the form.
    void forgetLearnedMeanwhile() { learnedMeanwhile_.clear(); }
    void applyLearnedMeanwhile();

    // --- the handlers ------------------------------------------------------
    void searchPager();
    void readFromPager();
    void writeToPager();
    // "Mit Pager vergleichen": reads the pager as "Pager -> PC" does and
    // shows where it differs from the form, which stays as it is.
    void compareWithPager();
    // The differences a comparison found, under `heading`, with the form as
    // the first side; or `agreed` when there are none.
    void showComparison(const PagerComparison& comparison, TransferText heading, TransferText agreed);
    void startLearn(int row);
    void onUiTimer();
    void sendOptionSwitch(int checkId, OptionSwitchTexts texts);
    void setRepeaterClock();
    void startBootloader();
    void openFile();
    // What "Datei öffnen" does with the file chosen or given: the checks,
    // the merge and the messages.
    void mergeFile(const std::string& path);
    void saveFile();
    // "Übersicht drucken…": the sheet of what the form shows, as a page in
    // the system's browser, where the user prints it.
    void printSheet();

    // The tick's halves: the pager's part on the runner, what it did shown here.
    void showTick(const TimerTick& tick);
    void showLearnStep(const LearnStep& step);
    void showClockGroup(bool visible);
    // Shows the repeater clock group for this many ticks of the timer.
    void showRepeaterClockFor(std::uint8_t ticks);
    void setActive(bool active);
    // An outcome's messages, one box each.
    void tell(const Messages& messages);
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

    PagerSession session_;
    Shown shown_{*this};

    // No keep-alive may go out while the pager is searched, read or written.
    bool deviceBusy_ = false;
    std::uint8_t clockDisplayTicks_ = 0;

    std::string currentFile_;
    std::map<int, CallerEntry> learnedMeanwhile_;  // by slot 1..32
    bool closeAgreed_ = false;
    bool verifyAfterWrite_ = false;
    std::optional<std::pair<std::string, bool>> titleShown_;
    // A control's text or a learned identity changed since the title was
    // last judged.
    bool titleStale_ = true;
};

}  // namespace harvelin
