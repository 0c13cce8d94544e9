#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "pager_simulator.h"

namespace harvelin::sim {

// A simulated pager behind a pseudo-terminal, in real time, on a thread of
// its own. The tool opens devicePath() like any serial device.
class PtyPager {
public:
    struct Options {
        PagerState state;
        std::string linkPath;          // if set: a symlink of this name to the device
        std::string frameLogPath;      // if set: every frame received is logged here
        bool pressButtonOnLearn = false;  // "press" a call button a moment after learn mode starts
        // How long after learn mode starts that press comes: a real person
        // takes a moment between the tool's learn command and the button.
        std::chrono::milliseconds learnPressDelay{1500};
        // The pager falls silent for good at the first command that starts
        // with this, as one whose cable is pulled.
        std::string silentFrom{};
    };

    explicit PtyPager(Options options);
    ~PtyPager();
    PtyPager(const PtyPager&) = delete;
    PtyPager& operator=(const PtyPager&) = delete;

    // Opens the pseudo-terminal and starts answering. False when no
    // pseudo-terminal could be had.
    bool start();
    void stop();

    // The device to open: the symlink when one was asked for, else the pty's name.
    std::string devicePath() const;

    // The line vanishes and comes back (the device disappears and reappears
    // under the same path).
    void unplug();
    void plug();

    // Presses a call button now (answered only while in learn mode).
    void pressButton(const std::array<std::uint8_t, 5>& id);

    // The engine. Hold lock() while touching it: it runs on its own thread.
    std::unique_lock<std::mutex> lock();
    PagerSimulator& pager();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace harvelin::sim
