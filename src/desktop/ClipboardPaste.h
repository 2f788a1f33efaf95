#pragma once
// A bitmap on the clipboard made the wallpaper in one step: it is written to a
// new file in the data directory (after the "Add Wallpaper" question), listed,
// and applied without being persisted, so the user profile keeps the earlier
// wallpaper until the program ends.
#include <windows.h>

#include <optional>
#include <string>

#include "desktop/DesktopWallpaper.h"
#include "desktop/WallpaperMenu.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureAdder.h"
#include "platform/UserInterface.h"

namespace pictavo {

// Whether the clipboard offers a bitmap, as a device-independent one or not.
bool ClipboardHasBitmap();

// The clipboard's bitmap as a packed device-independent bitmap: CF_DIB where
// it is offered, else CF_BITMAP read through its CF_PALETTE. Nothing when the
// clipboard holds no bitmap, cannot be opened, or the bitmap cannot be read.
std::optional<std::string> ReadClipboardDib(HWND owner);

class TClipboardPaste : public IPasteWallpaper {
public:
    struct Services {
        TPictureAdder& adder;
        TInventoryStore& inventory;
        TDesktopWallpaper& desktop;
        ProgramFlags& flags;
        IUserInterface& ui;
    };
    explicit TClipboardPaste(Services services) : s_(services) {}

    void mnuSetWallpaperfromClipboardClick() override;
    // Writes the clipboard's bitmap to the path as a bitmap file. The file is
    // written whole under a temporary name beside it and only then put in
    // place, so a failure leaves no part of a file and whatever was there
    // before stays.
    bool SaveClipboardBitmap(const std::string& path);

private:
    Services s_;
};

}  // namespace pictavo
