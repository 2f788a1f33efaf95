#pragma once
// The process-wide application object: title, help file, the message loop and
// the program-wide exception handler.
#include <windows.h>

#include <string>

namespace pictavo {

class TApplication {
public:
    std::string Title = "Pictavo";
    std::string HelpFile = "Pictavo.hlp";
    // The main form is not shown when the message loop starts; start-up decides.
    bool ShowMainForm = false;
    HWND MainForm = nullptr;

    // Runs the message loop until the application terminates.
    void Run();
    // Handles the messages that are waiting, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

private:
    bool HandleOne(MSG& msg);
    bool terminated_ = false;
};

TApplication& Application();

}  // namespace pictavo
