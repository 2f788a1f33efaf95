#pragma once
// The toolbar of the "&Preview" page, tbrMainToolbar: flat 25 by 25 pixel
// buttons with hints. It holds "Add files to list" (tbnAddFiles).
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include "inventory/PictureAdder.h"

namespace pictavo {

class TPreviewToolbar {
public:
    enum CommandId { idAddFiles = 400 };

    TPreviewToolbar(HWND page, int top, TPictureAdder& adder);

    HWND tbrMainToolbar = nullptr;

    // The toolbar's notices, passed on by the main window; true when handled.
    bool OnCommand(int id, int code);
    bool OnNotify(NMHDR& header);
    void SetHints(bool on) { hints_ = on; }

    void tbnAddFilesClick() { adder_.mnuAdd1Click(); }

private:
    TPictureAdder& adder_;
    bool hints_ = true;
};

}  // namespace pictavo
