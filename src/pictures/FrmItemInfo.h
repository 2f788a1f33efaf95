#pragma once
// The "Add Wallpaper" dialog: where a new picture goes (leave, move, copy),
// its name and its display. One instance lives as long as the program and is
// shown modally; while it is up it keeps itself in front of other programs.
#include <windows.h>

#include "pictures/WallpaperOptions.h"
#include "platform/Window.h"

namespace pictavo {

class TfrmItemInfo : public Window, public IWallpaperOptionsDialog {
public:
    static constexpr int kFontHeight = -11;

    // The owner is disabled while the dialog is shown.
    explicit TfrmItemInfo(HWND owner);

    bool ShowModal(WallpaperOptionsState& state) override;

    HWND lblFromFolder = nullptr, edtFromDir = nullptr;
    HWND Label2 = nullptr, edtFileName = nullptr, Label1 = nullptr;
    HWND Label3 = nullptr, rdoTiled = nullptr, rdoCenter = nullptr;
    HWND gbxCopyMode = nullptr, rdoLeave = nullptr, rdoMove = nullptr, rdoCopy = nullptr;
    HWND chkApplyToAll = nullptr;
    HWND btnOK = nullptr, btnCancel = nullptr;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Load(const WallpaperOptionsState& state);
    void Read(WallpaperOptionsState& state) const;
    void BringToFront(bool beep);

    HWND owner_;
    bool modal_ = false;
    int result_ = 0;
};

}  // namespace pictavo
