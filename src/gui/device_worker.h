#pragma once

#include <QObject>

#include "ui/device_runner.h"

namespace harvelin::gui {

// The form's work on its device thread (ui/device_runner.h), with what the
// work hands back posted to the GUI thread as queued calls. In Blocking mode
// there is no device thread: the work runs on the GUI thread as it is handed
// over.
class DeviceWorker final : public DeviceRunner {
public:
    enum class Mode { Threaded, Blocking };

    DeviceWorker(DialogHost& host, QObject& guiContext, Mode mode)
        : DeviceRunner(
              host,
              [&guiContext](std::function<void()> f) {
                  QMetaObject::invokeMethod(&guiContext, std::move(f), Qt::QueuedConnection);
              },
              mode == Mode::Threaded),
          mode_(mode)
    {
    }

    Mode mode() const { return mode_; }

private:
    Mode mode_;
};

}  // namespace harvelin::gui
