#include "platform/Guard.h"

#include <windows.h>

#include <exception>

namespace pictavo {
namespace {

ExceptionHandler& Handler() {
    static ExceptionHandler handler;
    return handler;
}

ExceptionHandler& NoticeHandler() {
    static ExceptionHandler handler;
    return handler;
}

}  // namespace

void SetNoticeHandler(ExceptionHandler handler) { NoticeHandler() = std::move(handler); }

void HandleNotice(const std::string& message) {
    if (NoticeHandler()) {
        try {
            NoticeHandler()(message);
            return;
        } catch (const std::exception&) {
        }
    }
    ::MessageBoxA(nullptr, message.c_str(), "Pictavo", MB_OK | MB_ICONERROR);
}

void SetExceptionHandler(ExceptionHandler handler) { Handler() = std::move(handler); }

void HandleException(const std::string& message) {
    if (Handler()) {
        // The handler itself must not throw back into a Windows frame.
        try {
            Handler()(message);
            return;
        } catch (const std::exception&) {
        }
    }
    ::MessageBoxA(nullptr, message.c_str(), "Pictavo", MB_OK | MB_ICONERROR);
}

bool Guarded(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const NoticeError& e) {
        HandleNotice(e.what());
    } catch (const std::exception& e) {
        HandleException(e.what());
    } catch (...) {
        HandleException("Unknown error");
    }
    return false;
}

}  // namespace pictavo
