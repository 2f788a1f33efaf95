#pragma once
// Moves the settings between the controls that hold them and the settings
// file, and reacts to the user changing them: each change hands a save to the
// deferred-action component, so a burst of changes ends in one write.
#include <windows.h>

#include <string>

#include "platform/InputTimeout.h"
#include "app/SettingsFile.h"
#include "app/SettingsPages.h"
#include "detect/WallpaperDetector.h"
#include "inventory/PictureAdder.h"

namespace pictavo {

// What the settings need from the window that owns them, and the handlers of
// other subsystems that some of the settings controls drive.
class ISettingsHost {
public:
    virtual ~ISettingsHost() = default;
    virtual void SetSettingsInProgress(bool inProgress) = 0;
    virtual RECT MainWindowBounds() const = 0;
    virtual void MoveMainWindow(int left, int top) = 0;
    virtual void ApplySlideInterval() = 0;
    virtual void ApplyPollSettings() = 0;
    virtual void SyncStartupShortcut() = 0;
    // The list's too-big marks follow the size limit.
    virtual void RecomputeTooBig() = 0;
    virtual void SetToolbarHints(bool on) = 0;
    // Handlers of the slideshow and detection that live on settings controls.
    virtual void chkAutoChangeClick() = 0;
    virtual void GenericSlideTimerChange(HWND sender) = 0;
    virtual void chkPollForChangeClick() = 0;
    virtual void edtPollFileNameChange() = 0;
    virtual void btnSelectEditorClick() = 0;
};

// Where a window goes so that it stays on a screen of the given size.
POINT ClampWindowPosition(int left, int top, int width, int height, int screenWidth,
                          int screenHeight);

class TSettings : public IAddingSettings, public IDetectionSettings, public ISettingsSaver {
public:
    TSettings(std::string path, const std::string& programFolder, TSettingsPages& pages,
              TInputTimeout& inputTimeout, ISettingsHost& host);

    const std::string& Path() const { return file_.Path(); }
    const TSettingsFile& File() const { return file_; }

    enum class Direction { Load, Save };
    void LoadSaveSettings(Direction direction, bool loadPosition = true);
    void SaveSettings(const void* sender = nullptr) override;

    // Routes a control's notice to its handler; false when the control is not a setting's.
    bool OnCommand(int id, int code, HWND control);
    bool OnNotify(const NMHDR& header);

    void GenericSettingsChange(const void* sender) override;
    void StartupSettingsChange(const void* sender);
    void chkLimitImageSizeClick(const void* sender);
    void chkToolbarHintsClick(const void* sender);
    void rdoDefaultEditorClick(const void* sender);
    void UpdateEditorControls();
    void ClampMainWindowPosition();

    std::string ReadLastWallpaper() const;
    void WriteLastWallpaper(const std::string& path) const;

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
    TSettingsFile file_;
    TSettingsPages& pages_;
    TInputTimeout& inputTimeout_;
    ISettingsHost& host_;
    std::string defaultDataDirectory_;
    std::string dataDirectory_;
    std::string importDir_;
    std::string tableFileName_ = "GDB.CDS";
    bool settingsTransfer_ = false;
};

}  // namespace pictavo
