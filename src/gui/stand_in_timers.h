#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QObject>
#include <QTimer>

namespace harvelin::gui {

// Qt does not fire a timer again while its own handler is still running, so
// a modal loop entered from inside a tick would hold up the ticks. While
// `inTick`, every running timer is stood in for by one that lives as long as
// the returned list, ticking `tick` in `context` as long as its original runs.
inline std::vector<std::unique_ptr<QTimer>> standInTimers(bool inTick, const std::map<int, QTimer*>& timers,
                                                          QObject* context, const std::function<void(int)>& tick)
{
    std::vector<std::unique_ptr<QTimer>> standIns;
    if (!inTick)
        return standIns;
    for (const auto& [id, timer] : timers) {
        if (!timer || !timer->isActive())
            continue;
        auto standIn = std::make_unique<QTimer>();
        QObject::connect(standIn.get(), &QTimer::timeout, context, [tick, id = id, timer = timer] {
            if (timer->isActive())
                tick(id);
        });
        standIn->start(timer->interval());
        standIns.push_back(std::move(standIn));
    }
    return standIns;
}

}  // namespace harvelin::gui
