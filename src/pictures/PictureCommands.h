#pragma once
// Removing, deleting, moving or renaming, and editing the selected picture:
// commands that live elsewhere and that the page's buttons, keys and menu reach.
namespace pictavo {

class IPictureCommands {
public:
    virtual ~IPictureCommands() = default;
    virtual void tbnRemoveClick() = 0;
    virtual void tbnDeleteClick() = 0;
    virtual void tbnMoveClick() = 0;
    virtual void mnuEdit1Click() = 0;
};

// The wallpaper commands of the list's toolbar, menu and clicks; the desktop's
// wallpaper carries them out.
class IListWallpaperCommands {
public:
    virtual ~IListWallpaperCommands() = default;
    virtual void tbnFindInListClick() = 0;
    virtual void tbnSetWallpaperClick() = 0;
    virtual void mnuSetWallpaper1Click() = 0;
    virtual void tbnNoneClick() = 0;
};

}  // namespace pictavo
