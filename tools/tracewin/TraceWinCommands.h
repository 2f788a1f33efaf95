#pragma once
// The menu commands of tracewin.exe. Another program (a test) may send them
// as WM_COMMAND to the viewer's window, so their numbers stay as they are.
namespace tracewin {

enum Command {
    idCopyAll = 101,
    idClear = 102,
    idExit = 103,
};

}  // namespace tracewin
