#pragma once
// Exceptions must never unwind through Windows' own frames (window procedures,
// timer callbacks). Every callback runs its work through Guarded, which hands
// whatever escapes to the program-wide handler and carries on.
#include <functional>
#include <stdexcept>
#include <string>

namespace pictavo {

using ExceptionHandler = std::function<void(const std::string& message)>;

// Installs the program-wide handler; an empty handler restores the default,
// which shows the message in a plain message box.
void SetExceptionHandler(ExceptionHandler handler);

// Passes a message to the program-wide handler.
void HandleException(const std::string& message);

// An error whose text is for the user as it stands ("Unable to write to ..."),
// not an unexpected one: whatever it escapes to shows it without calling it an
// exception.
class NoticeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// Installs the handler of NoticeError; without one they show in a plain box.
void SetNoticeHandler(ExceptionHandler handler);
void HandleNotice(const std::string& message);

// Runs work; an exception that escapes it goes to the program-wide handler.
// Returns false when that happened.
bool Guarded(const std::function<void()>& work);

}  // namespace pictavo
