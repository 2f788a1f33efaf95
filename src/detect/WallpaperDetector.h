#pragma once
// Noticing wallpaper that others put on the desktop: the poll timer watches
// the browsers' fixed-name files in the Windows directory, the system's
// settings-change notice tells of any other change, and both end in a capture
// of the new picture into the inventory.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/DesktopWallpaper.h"
#include "desktop/SlideControl.h"
#include "detect/PollRules.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureAdder.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"
#include "platform/UserInterface.h"

namespace pictavo {

// The settings detection reads; the settings side implements it.
class IDetectionSettings {
public:
    virtual ~IDetectionSettings() = default;
    // "&Check for Wallpaper every:" and its number of seconds.
    virtual bool PollingChecked() const = 0;
    virtual int PollIntervalPosition() const = 0;
    // The names always watched, and the user's own one.
    virtual std::vector<std::string> FixedPollNames() const = 0;
    virtual std::string PollFileName() const = 0;
    // "Always prompt for name of new wallpaper".
    virtual bool PromptForName() const = 0;
    // "&Tinkle On Detection".
    virtual bool TinkleOnDetection() const = 0;
    // Settings are being moved between the file and the controls.
    virtual bool SettingsTransfer() const = 0;
    virtual void GenericSettingsChange(const void* sender) = 0;
};

// Detection's handlers on the settings controls of the "O&ptions" page.
class IPollControl {
public:
    virtual ~IPollControl() = default;
    // Sets the poll timer from "&Check for Wallpaper every:" and its seconds.
    virtual void ApplyPollSettings() = 0;
    virtual void chkPollForChangeClick() = 0;
    virtual void edtPollFileNameChange() = 0;
};

// The main window's life as detection sees it.
class IDetectionHost {
public:
    virtual ~IDetectionHost() = default;
    // A real exit has begun: no capture may start any more.
    virtual bool ExitUnderway() const = 0;
};

// The Windows directory as the system gives it, without trailing backslashes.
std::string WindowsDirectory();

// A file's signature, read through a handle that lets others keep writing;
// throws FileError when it cannot be read.
PollSignature ReadPollSignature(const std::string& path);

class TWallpaperDetector : public ICaptureHistory, public IPollControl {
public:
    struct Services {
        TInventoryStore& inventory;
        TDesktopWallpaper& desktop;
        TPictureAdder& adder;
        IUserInterface& ui;
        ProgramFlags& flags;
        TInputTimeout& inputTimeout;
        ITimerFactory& timers;
        IDetectionSettings& settings;
        // A capture restarts the slideshow's countdown.
        ISlideControl& slides;
        IDetectionHost& host;
        std::string windowsDirectory;
    };

    explicit TWallpaperDetector(Services services);

    void ApplyPollSettings() override;
    void chkPollForChangeClick() override { ApplyPollSettings(); }
    void tmrPollTimer();
    void CheckPollFiles(const std::string& folder, const std::vector<std::string>& names);
    void BuildPollFileList();
    void edtPollFileNameChange() override;
    // The settings-change notice; the section name may be null.
    void WMSettingChange(const char* section);
    void CaptureNewWallpaper(const std::string& path, bool tile);
    void ScanFoldersForBitmaps(const std::vector<std::string>& folders);

    std::string LastCapturedSource() const override { return lastCapturedSource_; }
    std::string LastCapturedDestination() const override { return lastCapturedDestination_; }
    const std::vector<std::string>& WatchedNames() const { return watchedNames_; }
    const std::string& WindowsDir() const { return s_.windowsDirectory; }
    ITimer& tmrPoll() { return *tmrPoll_; }

private:
    void Tinkle();

    Services s_;
    std::unique_ptr<ITimer> tmrPoll_;
    std::vector<std::string> watchedNames_;
    PollSignatureTable signatures_;
    // An error of a poll tick (not a file's) has been told and not cleared since.
    bool pollErrorTold_ = false;
    std::string lastCapturedSource_;
    std::string lastCapturedDestination_;
};

}  // namespace pictavo
