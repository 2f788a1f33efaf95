#pragma once
// What any part of the program may ask of the main window, which is the
// program's face: tell the user something, show a hint, send a trace line
// with the main window's handle, and let waiting messages run. Subsystems get
// it by reference instead of calling the main window's class.
#include <windows.h>

#include <string>

namespace pictavo {

class IUserInterface {
public:
    virtual ~IUserInterface() = default;
    // The window that owns the program's message boxes and dialogs.
    virtual HWND MainWindow() const = 0;
    virtual void Trace(const std::string& text) = 0;
    // Brings the main window to the foreground, then shows the message: code
    // that runs while the window is hidden (timer ticks, drops) needs it in front.
    virtual void ShowError(const std::string& message) = 0;
    virtual void ShowHint(const std::string& text) = 0;
    virtual void ProcessMessages() = 0;
};

// The main window's plain flags that keep work from running into other work.
// One thread: a tick or notice that finds its flag set is dropped, not queued.
struct ProgramFlags {
    bool startingUp = false;          // start-up has not finished
    bool settingsInProgress = false;  // settings are being loaded or saved
    bool detectionBusy = false;       // a capture, bulk addition or import runs
    bool previewSuspended = false;    // moving through the list does not reload the preview
};

}  // namespace pictavo
