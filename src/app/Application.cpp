#include "app/Application.h"

#include <exception>

#include "platform/Guard.h"
#include "platform/Prompts.h"

namespace pictavo {

TApplication& Application() {
    static TApplication application;
    return application;
}

bool TApplication::HandleOne(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    // Tab, Enter and Escape move between and press the main window's controls.
    if (MainForm && ::IsWindow(MainForm) && ::IsDialogMessageA(MainForm, &msg)) return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

void TApplication::Run() {
    MSG msg;
    while (!terminated_ && !quitRequested_) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            terminated_ = true;
            break;
        }
        HandleOne(msg);
    }
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (!terminated_ && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        HandleOne(msg);
    }
}

bool TApplication::CreateForms(const std::function<void()>& create, IPrompts& prompts) {
    std::string failure;
    try {
        create();
        return true;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "Unknown error";
    }
    // A window that failed half-way may have installed a handler that reaches it.
    SetExceptionHandler(nullptr);
    prompts.Show(nullptr, "Exception: " + failure + "\r\rPictavo cannot start and will close.",
                 MB_OK | MB_ICONERROR);
    terminated_ = true;
    return false;
}

void TApplication::Terminate() {
    if (terminated_ || quitRequested_) return;
    quitRequested_ = true;
    ::PostQuitMessage(0);
}

}  // namespace pictavo
