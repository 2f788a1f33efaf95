#pragma once
// Timers as the program's components see them: an interval, an enabled switch
// and a tick handler. Behind the interface are window-message timers of the
// user-interface thread, or virtual time in unit tests.
#include <cstdint>
#include <functional>
#include <memory>

namespace pictavo {

class ITimer {
public:
    virtual ~ITimer() = default;
    // Enabling (or changing the interval of) an enabled timer starts a full interval anew.
    // Both return false when the system refuses the timer; it is then disabled and never
    // ticks until it is enabled again with success.
    virtual bool SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual bool SetInterval(uint32_t milliseconds) = 0;
    virtual uint32_t Interval() const = 0;

    std::function<void()> OnTimer;
};

class ITimerFactory {
public:
    virtual ~ITimerFactory() = default;
    virtual std::unique_ptr<ITimer> CreateTimer() = 0;
};

// Window-message timers of the calling thread (SetTimer without a window).
ITimerFactory& SystemTimers();

}  // namespace pictavo
