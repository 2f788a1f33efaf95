#include "detect/WallpaperDetector.h"

#include "imaging/PictureFormats.h"
#include "pictures/AddRules.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Guard.h"
#include "platform/Handles.h"

namespace pictavo {
namespace {

const char kTitle[] = "Add Wallpaper";
const char kIntervalTooLarge[] = "Error: Poll interval is too large";

}  // namespace

std::string WindowsDirectory() {
    char buffer[MAX_PATH + 1] = {};
    UINT n = ::GetWindowsDirectoryA(buffer, sizeof(buffer));
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(StripTrailingBackslashes(std::string_view(buffer, n)));
}

PollSignature ReadPollSignature(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = ::GetLastError();
        throw FileError("Unable to open " + path + ": " + SystemErrorText(code), code);
    }
    LARGE_INTEGER size{};
    // The last write, not the creation: a browser writes its wallpaper over
    // the same file. Wine reports both times alike (measured here: an appended
    // file's creation time moves with its last write), so no test under Wine
    // can tell one from the other.
    FILETIME written{};
    if (!::GetFileSizeEx(file.Get(), &size) ||
        !::GetFileTime(file.Get(), nullptr, nullptr, &written)) {
        const DWORD code = ::GetLastError();
        throw FileError(
            "Unable to read the size and date of " + path + ": " + SystemErrorText(code), code);
    }
    return PollSignature{
        (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime,
        static_cast<uint64_t>(size.QuadPart)};
}

TWallpaperDetector::TWallpaperDetector(Services services)
    : s_(std::move(services)), tmrPoll_(s_.timers.CreateTimer()) {
    tmrPoll_->SetEnabled(false);
    tmrPoll_->OnTimer = [this] { tmrPollTimer(); };
}

void TWallpaperDetector::ApplyPollSettings() {
    const std::optional<uint32_t> interval =
        PollIntervalMilliseconds(s_.settings.PollIntervalPosition());
    if (!interval) {
        s_.ui.ShowError(kIntervalTooLarge);
    } else if (*interval != tmrPoll_->Interval()) {
        tmrPoll_->SetEnabled(false);
        tmrPoll_->SetInterval(*interval);
    }
    // The system may refuse the timer only now, as it starts: that is told too,
    // rather than a box that looks checked and never polls.
    if (!tmrPoll_->SetEnabled(s_.settings.PollingChecked()) && interval) {
        s_.ui.ShowError(kIntervalTooLarge);
    }
    s_.settings.GenericSettingsChange(this);
}

void TWallpaperDetector::tmrPollTimer() {
    // Dropped, not queued: nothing is stored, so the next tick looks again.
    if (s_.flags.settingsInProgress || s_.flags.detectionBusy) return;
    tmrPoll_->SetEnabled(false);
    struct Resume {
        ITimer& timer;
        ~Resume() { timer.SetEnabled(true); }
    } resume{*tmrPoll_};
    FlagHold busy(s_.flags.detectionBusy);
    CheckPollFiles(s_.windowsDirectory, watchedNames_);
}

void TWallpaperDetector::CheckPollFiles(const std::string& folder,
                                        const std::vector<std::string>& names) {
    bool failed = false;
    for (const std::string& entry : names) {
        const std::string name = TrimBlanks(entry);
        if (name.empty()) continue;
        const std::string path = JoinPath(folder, name);
        if (!FileExists(path)) continue;
        try {
            const PollSignature signature = ReadPollSignature(path);
            if (!signatures_.Changed(path, signature)) continue;
            bool tile = true;
            const std::string wallpaper = s_.desktop.ReadDesktopWallpaper(tile);
            s_.adder.BeginAddBatch(false);
            if (SameTextIgnoringCase(wallpaper, path)) CaptureNewWallpaper(path, tile);
            // Also when declined or not the wallpaper: only a new version comes again.
            signatures_.Store(path, signature);
        } catch (const FileError& e) {
            // A browser may still be writing it: the next tick tries again.
            s_.ui.Trace("CheckPollFiles: " + std::string(e.what()));
        } catch (const std::exception& e) {
            // The same fault would come back every few seconds: told once,
            // and again only after a tick that went well.
            failed = true;
            s_.ui.Trace("CheckPollFiles: " + std::string(e.what()));
            if (!pollErrorTold_) {
                pollErrorTold_ = true;
                HandleException(e.what());
            }
        }
    }
    if (!failed) pollErrorTold_ = false;
}

void TWallpaperDetector::BuildPollFileList() {
    watchedNames_ = BuildWatchedNames(s_.settings.FixedPollNames(), s_.settings.PollFileName());
}

void TWallpaperDetector::edtPollFileNameChange() {
    // Loading the settings sets the box too; start-up builds the list itself.
    if (s_.settings.SettingsTransfer()) return;
    s_.inputTimeout.Schedule(&watchedNames_, [this](const void*) {
        BuildPollFileList();
        s_.inventory.SaveInventory();
    });
}

void TWallpaperDetector::WMSettingChange(const char* section) {
    s_.ui.Trace("FrmMain: WMSettingChange");
    // Closing applies the wallpaper it leaves behind, which is heard here too:
    // no dialog may open on the way out.
    if (s_.host.ExitUnderway()) return;
    if (s_.flags.detectionBusy) return;
    FlagHold busy(s_.flags.detectionBusy);
    if (section && *section) return;
    bool tile = true;
    const std::string path = s_.desktop.ReadDesktopWallpaper(tile);
    if (s_.inventory.IsInInventoryWithTile(path, tile)) return;
    // A wallpaper whose file is gone has nothing to capture.
    if (path.empty() || !FileExists(path)) return;
    s_.adder.BeginAddBatch(false);
    CaptureNewWallpaper(path, tile);
}

void TWallpaperDetector::CaptureNewWallpaper(const std::string& path, bool tile) {
    s_.slides.RestartSlideCountdown();
    FlagHold busy(s_.flags.detectionBusy);
    s_.adder.BeginAddBatch(false);
    std::string destination = path;
    bool chosenTile = tile;
    bool copy = false;
    lastCapturedSource_.clear();
    lastCapturedDestination_.clear();

    if (s_.adder.IsInputFileName(path)) {
        destination = s_.adder.MakeCaptureName(std::string(ExtractFileName(path)));
        if (!s_.adder.AskWallpaperOptions(kTitle, destination, true, false, kOptionMove,
                                          kOptionMove, copy, chosenTile) ||
            !s_.adder.TransferPictureFile(path, destination, copy)) {
            return;
        }
    } else {
        if (!s_.settings.PromptForName() && s_.inventory.IsInInventory(path)) {
            if (s_.inventory.StorePictureRecord(path, path, true, true, tile)) Tinkle();
            return;
        }
        if (!s_.adder.AskWallpaperOptions(kTitle, destination, true, false, kOptionLeave,
                                          kOptionLeave | kOptionMove | kOptionCopy, copy,
                                          chosenTile) ||
            !s_.adder.TransferPictureFile(path, destination, copy)) {
            return;
        }
    }
    if (s_.inventory.StorePictureRecord(path, destination, false, true, chosenTile)) Tinkle();
    lastCapturedSource_ = path;
    lastCapturedDestination_ = destination;

    // The desktop must not keep naming a file that the capture took away: it
    // would be without wallpaper after the program ends or the user logs on
    // again. The notice of this change is dropped by the busy flag.
    if (!SameTextIgnoringCase(path, destination) && !FileExists(path)) {
        bool registryTile = chosenTile;
        if (SameTextIgnoringCase(s_.desktop.ReadDesktopWallpaper(registryTile), path)) {
            s_.desktop.ApplyWallpaper(destination, chosenTile, true);
            return;
        }
    }
    if (chosenTile != tile) s_.desktop.ApplyWallpaper(destination, chosenTile, false);
}

void TWallpaperDetector::ScanFoldersForBitmaps(const std::vector<std::string>& folders) {
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        WIN32_FIND_DATAA data{};
        UniqueFind find(::FindFirstFileA((folder + "\\*.bmp").c_str(), &data));
        if (!find) continue;
        do {
            // The pattern also matches longer extensions through short names.
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                IsBitmapFileName(data.cFileName)) {
                found.push_back(JoinPath(folder, data.cFileName));
            }
        } while (::FindNextFileA(find.Get(), &data));
    }
    s_.adder.AddPictureFiles(found, false);
}

void TWallpaperDetector::Tinkle() {
    if (s_.settings.TinkleOnDetection()) ::MessageBeep(MB_OK);
}

}  // namespace pictavo
