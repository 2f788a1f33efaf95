#pragma once
// What surrounds the desktop's wallpaper and the "&Preview" page when a test
// or a benchmark builds them without the main window: the options and
// captions, the page's host and the picture commands. Fixed answers; the
// calls they pass on are logged where a log is given.
#include <string>
#include <vector>

#include "desktop/DesktopWallpaper.h"
#include "pictures/PictureCommands.h"
#include "preview/PreviewPage.h"

namespace pictavo::testing {

// Calls written to a log of the test's, where it gives one.
struct CallLog {
    std::vector<std::string>* log = nullptr;
    void Log(const char* call) {
        if (log) log->push_back(call);
    }
};

struct StandInDesktopHost final : IDesktopOptions, IWallpaperCaptions {
    bool sendChangeNotification = false;
    bool syncWithManualChange = true;
    std::string caption;  // the last one set

    StandInDesktopHost() = default;
    StandInDesktopHost(bool sendChange, bool sync)
        : sendChangeNotification(sendChange), syncWithManualChange(sync) {}
    bool SendChangeNotification() const override { return sendChangeNotification; }
    bool SyncWithManualChange() const override { return syncWithManualChange; }
    void UncheckAutoChange() override {}
    bool shrinkToFit = true;
    bool ShrinkToFit() const override { return shrinkToFit; }
    void SetCaptions(const std::string& text) override { caption = text; }
};

struct StandInPreviewHost final : IPreviewHost, CallLog {
    bool limit = true;
    int maxSize = 250;  // thousands of bytes

    bool LimitPreviewSize() const override { return limit; }
    int MaxPreviewSize() const override { return maxSize; }
    bool ToolbarHints() const override { return true; }
    void ShowNextSlide() override { Log("ShowNextSlide"); }
    void OpenExportManager() override { Log("OpenExportManager"); }
};

struct StandInPictureCommands final : IPictureCommands, CallLog {
    void tbnRemoveClick() override { Log("Remove"); }
    void tbnDeleteClick() override { Log("Delete"); }
    void tbnMoveClick() override { Log("Move"); }
    void mnuEdit1Click() override { Log("Edit"); }
};

}  // namespace pictavo::testing
