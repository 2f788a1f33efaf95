#pragma once
// The splash picture shown while the program starts. It closes at the second
// of two events: its 3-second timer runs out, and start-up finishes.
#include <functional>
#include <memory>

#include "platform/Timer.h"
#include "platform/Handles.h"
#include "platform/Window.h"

namespace pictavo {

class TFrmSplash : public Window {
public:
    explicit TFrmSplash(ITimerFactory& timers);
    ~TFrmSplash() override;

    bool Ready = false;
    std::unique_ptr<ITimer> Timer1;
    void Close();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Timer1Timer();
    UniqueGdiObject picture_;
    HWND lblHome_ = nullptr;
};

// Reads "Verbose" from the settings file and shows the splash when it is on.
void BeginSplash(ITimerFactory& timers = SystemTimers());
void ShowSplash(ITimerFactory& timers = SystemTimers());
void EndSplash();
void HideSplash();
TFrmSplash* Splash();
// What a click on the splash's web address does; given the splash window.
void SetSplashLinkHandler(std::function<void(HWND splash)> handler);

}  // namespace pictavo
