#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/dialog_host.h"

namespace harvelin {

// A dialog host without a window: control state kept in memory. Serves the
// tests, the fuzz targets and the benchmarks.
class MemoryHost : public DialogHost {
public:
    std::string controlText(int id) const override;
    void setControlText(int id, const std::string& text) override { texts[id] = text; }
    bool isChecked(int id) const override { return checked.count(id) != 0; }
    void setChecked(int id, bool on) override;
    void setVisible(int id, bool visible) override;
    void setEnabled(int id, bool enabled) override;
    void setInputLimit(int id, int maxChars) override { limits[id] = maxChars; }
    void setFocus(int id) override { focus = id; }

    void setProgressRange(int low, int high) override;
    void setProgressPos(int pos) override;
    void setPortListLine(const std::string& line) override;

    void messageBox(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showLines(const std::string& heading, const std::vector<std::string>& lines) override
    {
        shownLines.push_back({heading, lines});
    }
    bool openInBrowser(const std::string& path) override
    {
        opened.push_back(path);
        return browserOpens;
    }
    std::optional<std::string> fileDialog(const FileDialogSpec& spec) override;

    void startTimer(int id, unsigned periodMs) override;
    void stopTimer(int id) override;
    void repaintNow() override
    {
        ++repaints;
        if (onRepaint)
            onRepaint();
    }
    void endDialog(int result) override { ended = result; }

    bool isVisible(int id) const { return hidden.count(id) == 0; }
    bool isEnabled(int id) const { return disabled.count(id) == 0; }
    bool timerRunning(int id) const { return timers.count(id) != 0; }

    std::map<int, std::string> texts;
    std::set<int> checked;
    std::set<int> hidden;
    std::set<int> disabled;
    std::map<int, int> limits;
    int focus = 0;
    int progressLow = 0;
    int progressHigh = 100;
    int progressPos = 0;
    std::vector<int> progressHistory;      // every position set, in order
    std::string portListLine;
    std::vector<std::string> portListHistory;
    std::vector<std::string> messages;     // every message box, in order
    std::vector<std::string> questions;    // every yes/no question, in order
    struct Lines {
        std::string heading;
        std::vector<std::string> lines;
    };
    std::vector<Lines> shownLines;         // every list of lines shown, in order
    std::vector<std::string> opened;       // every document opened in the browser
    bool browserOpens = true;
    std::deque<bool> yesNoAnswers;         // next answers; empty: "Ja"
    std::deque<std::optional<std::string>> fileDialogAnswers;  // next answers; empty: cancel
    std::vector<FileDialogSpec> fileDialogs;                   // every dialog shown
    std::map<int, unsigned> timers;        // running timers and their periods
    int timerStarts = 0;
    int timerStops = 0;
    int repaints = 0;
    std::optional<int> ended;

    // Called for every message box, e.g. to print it or run ticks meanwhile.
    std::function<void(const std::string&)> onMessage;
    // Called for every yes/no question, and for every file dialog while it
    // is open.
    std::function<void(const std::string&)> onQuestion;
    std::function<void()> onFileDialog;
    // Called for every progress position set.
    std::function<void(int low, int high, int pos)> onProgress;
    // Called for every repaint, which the link asks for while an exchange waits.
    std::function<void()> onRepaint;
};

}  // namespace harvelin
