#include "platform/InputTimeout.h"

#include "platform/Guard.h"

namespace pictavo {

TInputTimeout::TInputTimeout(ITimerFactory& timers, uint32_t waitTime)
    : waitTime_(waitTime), waitTimer_(timers.CreateTimer()) {
    waitTimer_->SetEnabled(false);
    waitTimer_->SetInterval(waitTime_);
    waitTimer_->OnTimer = [this] { WaitTimerTick(); };
}

TInputTimeout::~TInputTimeout() {
    waitTimer_->SetEnabled(false);
    // An error here has no caller left to reach but the program-wide handler.
    Guarded([this] { Run(); });
}

void TInputTimeout::SetWaitTime(uint32_t milliseconds) {
    waitTime_ = milliseconds;
    waitTimer_->SetInterval(milliseconds);
}

void TInputTimeout::Schedule(Sender sender, Action action) {
    if (closed_) return;
    waitTimer_->SetEnabled(false);
    if (Pending() && sender && sender != sender_) Run();
    sender_ = sender;
    action_ = std::move(action);
    if (enabled_) {
        waitTimer_->SetEnabled(true);
    } else {
        Run();
    }
}

void TInputTimeout::Flush() { Run(); }

void TInputTimeout::Close() {
    waitTimer_->SetEnabled(false);
    closed_ = true;
    Run();
}

void TInputTimeout::WaitTimerTick() {
    waitTimer_->SetEnabled(false);
    Run();
}

void TInputTimeout::Run() {
    if (!Pending()) return;
    // Cleared before the call so that the action may schedule again, and so a
    // failing action is not retried.
    Sender sender = sender_;
    Action action = std::move(action_);
    sender_ = nullptr;
    action_ = nullptr;
    action(sender);
}

}  // namespace pictavo
