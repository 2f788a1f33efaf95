#include "platform/Trace.h"

#include "platform/TraceRecord.h"

namespace pictavo {

void SendTrace(const std::string& text, HWND sender) {
    // Looked up on every call, so a viewer started later receives what follows.
    HWND viewer = ::FindWindowA(nullptr, kTraceWindowTitle);
    if (!viewer) return;
    TraceRecord record = BuildTraceRecord(text);
    COPYDATASTRUCT data{};
    data.dwData = kTraceCopyDataId;
    data.cbData = static_cast<DWORD>(record.size());
    data.lpData = record.data();
    // SMTO_BLOCK: while it waits for the viewer, a trace call must not let
    // other programs' messages run into the middle of the operation that traces.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(viewer, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                          reinterpret_cast<LPARAM>(&data), SMTO_BLOCK | SMTO_ABORTIFHUNG, 250,
                          &answer);
}

}  // namespace pictavo
