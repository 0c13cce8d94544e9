#include "memory_host.h"

namespace harvelin {

std::string MemoryHost::controlText(int id) const
{
    const auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
}

void MemoryHost::setChecked(int id, bool on)
{
    if (on)
        checked.insert(id);
    else
        checked.erase(id);
}

void MemoryHost::setVisible(int id, bool visible)
{
    if (visible)
        hidden.erase(id);
    else
        hidden.insert(id);
}

void MemoryHost::setEnabled(int id, bool enabled)
{
    if (enabled)
        disabled.erase(id);
    else
        disabled.insert(id);
}

void MemoryHost::setProgressRange(int low, int high)
{
    progressLow = low;
    progressHigh = high;
}

void MemoryHost::setProgressPos(int pos)
{
    progressPos = pos;
    progressHistory.push_back(pos);
    if (onProgress)
        onProgress(progressLow, progressHigh, pos);
}

void MemoryHost::setPortListLine(const std::string& line)
{
    portListLine = line;
    portListHistory.push_back(line);
}

void MemoryHost::messageBox(const std::string& text)
{
    messages.push_back(text);
    if (onMessage)
        onMessage(text);
}

std::optional<std::string> MemoryHost::fileDialog(const FileDialogSpec& spec)
{
    fileDialogs.push_back(spec);
    if (onFileDialog)
        onFileDialog();
    if (fileDialogAnswers.empty())
        return std::nullopt;
    auto answer = fileDialogAnswers.front();
    fileDialogAnswers.pop_front();
    return answer;
}

void MemoryHost::startTimer(int id, unsigned periodMs)
{
    timers[id] = periodMs;
    ++timerStarts;
}

void MemoryHost::stopTimer(int id)
{
    timers.erase(id);
    ++timerStops;
}

}  // namespace harvelin

namespace harvelin {

bool MemoryHost::askYesNo(const std::string& text)
{
    questions.push_back(text);
    if (onQuestion)
        onQuestion(text);
    if (yesNoAnswers.empty())
        return true;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

}  // namespace harvelin
