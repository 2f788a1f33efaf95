#pragma once
#include <windows.h>

#include <string>

namespace pictavo {

// Sends one trace line to the trace viewer, if one runs. A viewer that does not
// answer within a short time is skipped: the program never waits on it.
void SendTrace(const std::string& text, HWND sender);

}  // namespace pictavo
