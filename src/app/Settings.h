#pragma once
// Moves the settings between the controls that hold them (on the pages
// "&Slideshow" and "O&ptions", the preview's height and the fixed options)
// and the settings file. A change the user makes on a page hands a save to
// the deferred-action component, so a burst of changes ends in one write.
#include <windows.h>

#include <string>

#include "app/DesignOptions.h"
#include "app/OptionsPage.h"
#include "app/SettingsChanges.h"
#include "preview/PreviewPage.h"
#include "app/SettingsFile.h"
#include "app/SlideshowPage.h"
#include "detect/WallpaperDetector.h"
#include "pictures/PictureAdder.h"
#include "shell/NextWallpaperHotKey.h"
#include "platform/InputTimeout.h"
#include "platform/UserInterface.h"
#include "slideshow/SlideSettings.h"

namespace pictavo {

// Brings the start-up shortcut in line with "Start with &Windows".
class IStartupShortcut {
public:
    virtual ~IStartupShortcut() = default;
    virtual void SyncStartupShortcut(bool startWithWindows) = 0;
};

// The shortcut to this program; a shortcut that cannot be written or deleted is told to the user.
class TStartupShortcut : public IStartupShortcut {
public:
    explicit TStartupShortcut(IUserInterface& ui) : ui_(ui) {}
    void SyncStartupShortcut(bool startWithWindows) override;

private:
    IUserInterface& ui_;
};

// Where a window goes so that it stays on a screen of the given size.
POINT ClampWindowPosition(int left, int top, int width, int height, int screenWidth,
                          int screenHeight);

class TSettings : public IAddingSettings,
                  public IDetectionSettings,
                  public IRenditionRecord,
                  public ISettingsSaver,
                  public ISettingsChanges {
public:
    // The controls that hold the settings.
    struct Controls {
        TSlideshowPage& slideshow;
        TOptionsPage& options;
        const TDesignOptions& design;
    };
    struct Services {
        TInputTimeout& inputTimeout;
        IUserInterface& ui;  // its main window is placed as stored
        ProgramFlags& flags;
        IStartupShortcut& startupShortcut;
    };

    TSettings(std::string path, const std::string& programFolder, Controls controls,
              Services services);

    // The slideshow and detection read their settings through the pages and
    // this class, so they are made after it; once attached, a load applies
    // the slide interval and the poll settings as it reads them.
    void Attach(ISlideshowHandlers& slides, IPollControl& polls) {
        slides_ = &slides;
        polls_ = &polls;
    }

    // The hot key is registered on the main window, made after the settings;
    // once attached, a load and each save bring it in line with its control.
    void AttachHotKey(TNextWallpaperHotKey& hotKey) { hotKey_ = &hotKey; }

    const std::string& Path() const { return file_.Path(); }
    const TSettingsFile& File() const { return file_; }

    enum class Direction { Load, Save };
    void LoadSaveSettings(Direction direction, bool loadPosition = true);
    void SaveSettings(const void* sender = nullptr) override;

    void GenericSettingsChange(const void* sender) override;
    void StartupSettingsChange(const void* sender) override;
    void HotKeySettingsChange(const void* sender) override;
    // Registers the key the control shows. A new key the system refuses is
    // told, and the control goes back to the key chosen before. A chosen key
    // not in force (another program held it) is tried again, and its refusal
    // told only the first time.
    void ApplyNextWallpaperHotKey();
    void SyncStartupShortcut();
    void ClampMainWindowPosition();

    // The height of the preview picture's panel, which the settings file keeps.
    // The "&Preview" page is made after the settings; until it is attached the
    // height is held here.
    void AttachPreviewPanel(IPreviewPanelHeight& panel) {
        previewPanel_ = &panel;
        panel.SetPreviewPanelHeight(previewHeight_);
    }
    int PreviewPanelHeight() const;
    void SetPreviewPanelHeight(int height);

    std::string ReadLastWallpaper() const;
    void WriteLastWallpaper(const std::string& path) const;
    // The picture the program's own wallpaper bitmap was rendered from.
    std::string RenditionSource() const override;
    void SetRenditionSource(const std::string& path) override;

    // The data directory as loaded (lower case) and the table file's name.
    const std::string& DataDirectory() const override { return dataDirectory_; }
    void SetDataDirectory(const std::string& directory) { dataDirectory_ = directory; }
    const std::string& DefaultDataDirectory() const { return defaultDataDirectory_; }
    const std::string& TableFileName() const { return tableFileName_; }
    const std::string& ImportDir() const override { return importDir_; }
    void SetImportDir(const std::string& folder) override { importDir_ = folder; }

    // Settings read from their controls by adding and detection.
    bool PromptForName() const override;
    bool ConfirmAdditions() const override;
    std::vector<std::string> RenameFileNames() const override;
    std::string PollFileName() const override;
    bool PollingChecked() const override;
    int PollIntervalPosition() const override;
    std::vector<std::string> FixedPollNames() const override;
    bool TinkleOnDetection() const override;

    bool SettingsTransfer() const override { return settingsTransfer_; }

private:
    IPreviewPanelHeight* previewPanel_ = nullptr;
    int previewHeight_ = TPreviewPage::kDefaultPreviewHeight;
    RECT MainWindowBounds() const;
    void MoveMainWindow(int left, int top);

    TSettingsFile file_;
    Controls c_;
    Services s_;
    ISlideshowHandlers* slides_ = nullptr;
    IPollControl* polls_ = nullptr;
    TNextWallpaperHotKey* hotKey_ = nullptr;
    // The key the user chose, which the settings file keeps whether or not
    // the system lets the program have it now (another program may hold it
    // for a while at logon).
    HotKey chosenHotKey_;
    // The chosen key was refused and the user told so.
    bool hotKeyRefusalTold_ = false;
    std::string defaultDataDirectory_;
    std::string dataDirectory_;
    std::string importDir_;
    std::string tableFileName_ = "GDB.CDS";
    bool settingsTransfer_ = false;
};

}  // namespace pictavo
