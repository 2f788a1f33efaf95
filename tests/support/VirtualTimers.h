#pragma once
// Timers on virtual time: nothing ticks until the test advances the clock.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Timer.h"

namespace pictavo::testing {

class VirtualTimers final : public ITimerFactory {
public:
    std::unique_ptr<ITimer> CreateTimer() override {
        auto timer = std::make_unique<Timer>(*this);
        return timer;
    }

    uint64_t Now() const { return now_; }

    // The system refuses every timer to run this long or longer.
    uint64_t refuseFrom = UINT64_MAX;

    // Moves the clock forward, running each tick at its due time, in order.
    void Advance(uint64_t milliseconds) {
        const uint64_t end = now_ + milliseconds;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : live_) {
                // An interval of 0 never fires, as with window-message timers.
                if (t->enabled_ && t->interval_ > 0 && t->due_ <= end && (!next || t->due_ < next->due_)) next = t;
            }
            if (!next) break;
            now_ = next->due_;
            next->due_ = now_ + next->interval_;
            if (next->OnTimer) {
                auto handler = next->OnTimer;
                handler();
            }
        }
        now_ = end;
    }

private:
    class Timer final : public ITimer {
    public:
        explicit Timer(VirtualTimers& owner) : owner_(owner) { owner_.live_.push_back(this); }
        ~Timer() override {
            auto& live = owner_.live_;
            live.erase(std::remove(live.begin(), live.end(), this), live.end());
        }
        bool SetEnabled(bool enabled) override {
            enabled_ = enabled;
            return Restart();
        }
        bool Enabled() const override { return enabled_; }
        bool SetInterval(uint32_t milliseconds) override {
            interval_ = milliseconds;
            return Restart();
        }
        uint32_t Interval() const override { return interval_; }

        bool Restart() {
            due_ = owner_.now_ + interval_;
            if (enabled_ && interval_ > 0 && interval_ >= owner_.refuseFrom) {
                enabled_ = false;
                return false;
            }
            return true;
        }

        VirtualTimers& owner_;
        bool enabled_ = false;
        uint32_t interval_ = 1000;
        uint64_t due_ = 0;
    };

    uint64_t now_ = 0;
    std::vector<Timer*> live_;
};

}  // namespace pictavo::testing
