#pragma once
// What the picture commands need of the settings, the desktop and the shell,
// each as small as the commands use it.
#include <string>

namespace pictavo {

// The options the commands read, and the two the confirmation dialog changes.
class IPictureActionSettings {
public:
    virtual ~IPictureActionSettings() = default;
    // "Ask before &removing files"
    virtual bool AskBeforeRemoving() const = 0;
    // "Ask before &deleting files from disk"
    virtual bool ConfirmDeleteDisk() const = 0;
    // As a click on the option's check box: the change is saved with the settings.
    virtual void SetAskBeforeRemoving(bool ask) = 0;
    virtual void SetConfirmDeleteDisk(bool ask) = 0;
};

// The desktop's side of a move: the file of the wallpaper on the desktop may
// have been taken away.
class IMovedWallpaper {
public:
    virtual ~IMovedWallpaper() = default;
    // A picture's file went from one path to another with this tile mode.
    virtual void WallpaperFileMoved(const std::string& from, const std::string& to, bool tile) = 0;
};

// Opens a picture file in the user's picture editor.
class IPictureEditor {
public:
    virtual ~IPictureEditor() = default;
    // The picture's folder and file name as stored.
    virtual void EditPicture(const std::string& location, const std::string& fileName) = 0;
};

}  // namespace pictavo
