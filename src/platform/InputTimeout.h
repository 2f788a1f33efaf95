#pragma once
// Runs one pending action after a quiet time, so a burst of changes ends in one
// save. A request from a different sender first runs the action still pending.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Timer.h"

namespace pictavo {

class TInputTimeout {
public:
    using Sender = const void*;
    using Action = std::function<void(Sender)>;

    explicit TInputTimeout(ITimerFactory& timers, uint32_t waitTime = 2250);
    ~TInputTimeout();  // a pending action runs before the component goes
    TInputTimeout(const TInputTimeout&) = delete;
    TInputTimeout& operator=(const TInputTimeout&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    uint32_t WaitTime() const { return waitTime_; }
    void SetWaitTime(uint32_t milliseconds);

    void Schedule(Sender sender, Action action);
    // Runs the pending action now, if there is one.
    void Flush();
    // Runs the pending action, then drops every later request: for when what
    // the actions work on is about to go away.
    void Close();
    bool Closed() const { return closed_; }
    bool Pending() const { return sender_ && action_; }

private:
    void Run();
    void WaitTimerTick();

    bool enabled_ = true;
    bool closed_ = false;
    uint32_t waitTime_;
    std::unique_ptr<ITimer> waitTimer_;
    Sender sender_ = nullptr;
    Action action_;
};

}  // namespace pictavo
