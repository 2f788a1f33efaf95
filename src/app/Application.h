#pragma once
// The process-wide application object: title, help file, the message loop and
// the program-wide exception handler.
#include <windows.h>

#include <functional>
#include <string>

namespace pictavo {

class IPrompts;

class TApplication {
public:
    std::string Title = "Pictavo";
    // The main form is not shown when the message loop starts; start-up decides.
    bool ShowMainForm = false;
    HWND MainForm = nullptr;

    // Runs the message loop until the application terminates.
    void Run();
    // Handles the messages that are waiting, then returns.
    void ProcessMessages();
    void Terminate();

    // Creates the program's windows. A failure says what failed and ends the
    // program instead of leaving it running without a usable window. Returns
    // false (and the application is terminated) when creation failed.
    bool CreateForms(const std::function<void()>& create, IPrompts& prompts);
    // Also once the end has been asked for: a modal loop nested in the main
    // one may take the quit message for itself, and the end must hold anyway.
    bool Terminated() const { return terminated_ || quitRequested_; }

private:
    bool HandleOne(MSG& msg);
    bool terminated_ = false;
    bool quitRequested_ = false;
};

TApplication& Application();

}  // namespace pictavo
