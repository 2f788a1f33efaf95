#include "platform/Timer.h"

#include <windows.h>

#include <unordered_map>

#include "platform/Guard.h"

namespace pictavo {
namespace {

class WinTimer final : public ITimer {
public:
    ~WinTimer() override { Kill(); }

    bool SetEnabled(bool enabled) override {
        enabled_ = enabled;
        return Update();
    }
    bool Enabled() const override { return enabled_; }
    bool SetInterval(uint32_t milliseconds) override {
        interval_ = milliseconds;
        return Update();
    }
    uint32_t Interval() const override { return interval_; }

private:
    static std::unordered_map<UINT_PTR, WinTimer*>& Live() {
        static std::unordered_map<UINT_PTR, WinTimer*> live;
        return live;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        auto it = Live().find(id);
        if (it == Live().end() || !it->second->OnTimer) return;
        // A tick handler may destroy the timer; copy what is needed first.
        auto handler = it->second->OnTimer;
        Guarded([&] { handler(); });
    }

    bool Update() {
        Kill();
        if (!enabled_ || interval_ == 0) return true;
        id_ = ::SetTimer(nullptr, 0, interval_, &WinTimer::Tick);
        if (id_ == 0) {
            // Out of timers: say so rather than look enabled and never tick.
            enabled_ = false;
            return false;
        }
        Live()[id_] = this;
        return true;
    }

    void Kill() {
        if (id_ == 0) return;
        ::KillTimer(nullptr, id_);
        Live().erase(id_);
        id_ = 0;
    }

    bool enabled_ = false;
    uint32_t interval_ = 1000;
    UINT_PTR id_ = 0;
};

class WinTimerFactory final : public ITimerFactory {
public:
    std::unique_ptr<ITimer> CreateTimer() override { return std::make_unique<WinTimer>(); }
};

}  // namespace

ITimerFactory& SystemTimers() {
    static WinTimerFactory factory;
    return factory;
}

}  // namespace pictavo
