// Detection on virtual time: the poll timer over a folder standing in for the
// Windows directory, the settings-change notice, and the capture, with the
// dialog and the message boxes answered from scripts.
#include <gtest/gtest.h>

#include <stdexcept>

#include "desktop/DesktopWallpaper.h"
#include "detect/WallpaperDetector.h"
#include "platform/Guard.h"
#include "support/AddFixture.h"
#include "support/FakeWallpaper.h"
#include "support/StandInFaces.h"
#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

using testing::AddRig;
using testing::Cancel;
using testing::Ok;
using testing::OkWith;
using Lines = std::vector<std::string>;

struct SlideControl : ISlideControl {
    int restarts = 0;
    void RestartSlideCountdown() override { ++restarts; }
    void ShowNextSlide() override {}
    void tmrSlideTimer() override {}
    void RunSlideshow1Click() override {}
    std::string SlideIntervalText() const override { return {}; }
};

struct DetectionHost : IDetectionHost {
    bool exiting = false;
    bool ExitUnderway() const override { return exiting; }
};

class DetectRig : public AddRig {
public:
    std::string windows = dir / "Windows";
    std::string drop = windows + "\\Netscape Wallpaper.bmp";
    testing::FakeWallpaper wallpaper;
    testing::StandInDesktopHost desktopHost{true, true};
    TDesktopWallpaper desktop{wallpaper, store, ui, desktopHost, desktopHost, "Pictavo"};
    SlideControl slides;
    DetectionHost host;
    TWallpaperDetector detector{
        {store, desktop, adder, ui, flags, timeout, clock, settings, slides, host, windows}};

    DetectRig() {
        desktop.AttachCaptureHistory(detector);
        ::CreateDirectoryA(windows.c_str(), nullptr);
        detector.BuildPollFileList();
        detector.ApplyPollSettings();
    }
    // Another program puts a picture on the desktop, as the profile shows it.
    void OnDesktop(const std::string& path, bool tile = true) {
        wallpaper.wallpaper = path;
        wallpaper.tileWallpaper = std::string(1, tile ? '1' : '0');
    }
    void Tick() { clock.Advance(5000); }
    static void SetWriteTime(const std::string& path, uint64_t fileTime) {
        HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    0, nullptr);
        FILETIME time{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
        ::SetFileTime(file, nullptr, nullptr, &time);
        ::CloseHandle(file);
    }
};

constexpr uint64_t kSomeTime = 133500000000000000ull;  // in 2024

// The road of one captured wallpaper, and the desktop keeping the copy: the
// browser's file is gone after the move, so the profile must name the copy.
TEST(WallpaperDetector, ABrowserWallpaperIsCapturedUnderTheNextVersionNameAndStaysOnTheDesktop) {
    DetectRig rig;
    AddRig::Put(rig.data + "\\v1 of Netscape Wallpaper.bmp");
    AddRig::Put(rig.data + "\\v2 of Netscape Wallpaper.bmp");
    AddRig::Put(rig.drop, "third");
    rig.OnDesktop(LowerCase(rig.drop), false);
    rig.dialog.answers = {Ok()};
    rig.clock.Advance(4999);
    EXPECT_TRUE(rig.dialog.shown.empty());
    rig.clock.Advance(1);

    // The capture takes the browser's name as written.
    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_EQ(rig.dialog.shown[0].enabledOptions, kOptionMove);
    EXPECT_EQ(rig.dialog.shown[0].option, kOptionMove);
    EXPECT_EQ(rig.dialog.shown[0].fileName, "v3 of Netscape Wallpaper");
    EXPECT_FALSE(rig.dialog.shown[0].tile);
    const std::string v3 = rig.data + "\\v3 of Netscape Wallpaper.bmp";
    EXPECT_EQ(AddRig::Content(v3), "third");
    EXPECT_FALSE(AddRig::Exists(rig.drop));
    EXPECT_TRUE(rig.Listed(v3));
    EXPECT_EQ(rig.detector.LastCapturedSource(), rig.drop);
    EXPECT_EQ(rig.detector.LastCapturedDestination(), v3);
    EXPECT_EQ(rig.slides.restarts, 1);
    ASSERT_EQ(rig.wallpaper.calls.size(), 1u);
    EXPECT_EQ(rig.wallpaper.calls[0].path, v3);
    EXPECT_EQ(rig.wallpaper.calls[0].fWinIni, UINT(SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE));
    EXPECT_EQ(rig.wallpaper.wallpaper, v3);
    EXPECT_EQ(rig.wallpaper.tileWallpaper, "0");
    EXPECT_FALSE(rig.flags.detectionBusy);
    EXPECT_TRUE(rig.detector.tmrPoll().Enabled());
}

// Declined once, the same version is not offered again; any new write is,
// even within the same second and with the same size.
TEST(WallpaperDetector, ADeclinedVersionIsNotOfferedAgainButEveryNewWriteIs) {
    DetectRig rig;
    AddRig::Put(rig.drop, "same size");
    DetectRig::SetWriteTime(rig.drop, kSomeTime);
    rig.OnDesktop(LowerCase(rig.drop));
    rig.dialog.answers = {Cancel()};
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_TRUE(rig.detector.LastCapturedSource().empty());

    AddRig::Put(rig.drop, "SAME SIZE");
    DetectRig::SetWriteTime(rig.drop, kSomeTime + 5'000'000);  // half a second later
    rig.dialog.answers = {Cancel()};
    rig.Tick();
    EXPECT_EQ(rig.dialog.shown.size(), 2u);
}

TEST(WallpaperDetector, AWatchedFileThatIsNotTheWallpaperIsOnlyRemembered) {
    DetectRig rig;
    AddRig::Put(rig.drop);
    rig.OnDesktop(rig.pics + "\\other.bmp");
    rig.Tick();
    // Made the wallpaper later without a new version: polling does not offer it.
    rig.OnDesktop(LowerCase(rig.drop));
    rig.Tick();
    EXPECT_TRUE(rig.dialog.shown.empty());
}

// A dialog opened by something other than detection (a move, a paste) holds
// the busy flag too: a tick meanwhile is dropped without a trace in the
// signatures, so the file is offered once the dialog has gone.
TEST(WallpaperDetector, APollTickWhileTheDialogIsUpIsDroppedAndTheFileTriedAgain) {
    DetectRig rig;
    AddRig::Put(rig.drop);
    rig.OnDesktop(LowerCase(rig.drop));
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
    rig.dialog.answers = {[&](WallpaperOptionsState&) {
                              rig.Tick();
                              return false;
                          },
                          Ok()};
    std::string path = a;
    bool copy = false, tile = true;
    rig.adder.BeginAddBatch(false);
    rig.adder.AskWallpaperOptions("Add Wallpaper", path, true, false, kOptionLeave, 7, copy, tile);
    EXPECT_EQ(rig.dialog.shown.size(), 1u);

    rig.Tick();
    ASSERT_EQ(rig.dialog.shown.size(), 2u);
    EXPECT_EQ(rig.dialog.shown[1].fileName, "v1 of Netscape Wallpaper");
    EXPECT_TRUE(rig.Listed(rig.data + "\\v1 of Netscape Wallpaper.bmp"));
}

TEST(WallpaperDetector, TheSettingsChangeNoticeOffersOnlyANewWallpaperWhileNothingElseRuns) {
    enum Setup { kNew, kSection, kListed, kOtherTile, kOtherTileSilent, kExiting, kBusy, kGone };
    struct Case {
        Setup setup;
        size_t dialogs;
    } cases[] = {{kNew, 1},     {kSection, 0}, {kListed, 0}, {kOtherTile, 1}, {kOtherTileSilent, 0},
                 {kExiting, 0}, {kBusy, 0},    {kGone, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.setup));
        DetectRig rig;
        const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
        if (c.setup == kListed || c.setup == kOtherTile || c.setup == kOtherTileSilent) {
            rig.store.StorePictureRecord("", a, false, true, true);
        }
        rig.OnDesktop(c.setup == kGone ? rig.pics + "\\gone.bmp" : LowerCase(a),
                      !(c.setup == kOtherTile || c.setup == kOtherTileSilent));
        rig.settings.promptForName = c.setup != kOtherTileSilent;
        rig.host.exiting = c.setup == kExiting;
        rig.flags.detectionBusy = c.setup == kBusy;
        rig.dialog.answers = {Ok()};

        rig.detector.WMSettingChange(c.setup == kSection ? "Colors" : nullptr);
        EXPECT_EQ(rig.ui.traces, Lines{"FrmMain: WMSettingChange"});
        EXPECT_EQ(rig.dialog.shown.size(), c.dialogs);
        EXPECT_EQ(rig.flags.detectionBusy, c.setup == kBusy);
        if (c.setup == kNew) {
            EXPECT_TRUE(rig.Listed(a));
        }
        if (c.setup == kOtherTileSilent) {
            EXPECT_TRUE(rig.Record(a).Tile);  // refreshed without a question: display kept
        }
    }
}

TEST(WallpaperDetector, ACaptureWithAnotherDisplayShowsThePictureAgainWithoutSavingIt) {
    for (bool changeTile : {false, true}) {
        DetectRig rig;
        const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
        rig.OnDesktop(LowerCase(a), true);
        rig.dialog.answers = {OkWith(kOptionLeave, false, !changeTile)};
        rig.detector.WMSettingChange(nullptr);
        EXPECT_EQ(rig.Record(a).Tile, !changeTile);
        if (changeTile) {
            ASSERT_EQ(rig.wallpaper.calls.size(), 1u);
            EXPECT_EQ(rig.wallpaper.calls[0].fWinIni, 0u);
            EXPECT_EQ(rig.wallpaper.tileWallpaper, "0");
        } else {
            EXPECT_TRUE(rig.wallpaper.calls.empty());
        }
    }
}

TEST(WallpaperDetector, PollSettingsFollowTheControlsAndARefusedIntervalIsTold) {
    DetectRig rig;
    EXPECT_EQ(rig.detector.tmrPoll().Interval(), 5000u);
    EXPECT_TRUE(rig.detector.tmrPoll().Enabled());
    EXPECT_EQ(rig.settings.settingsSaves.size(), 1u);

    rig.settings.pollInterval = -5;
    rig.settings.polling = false;
    rig.detector.ApplyPollSettings();
    EXPECT_EQ(rig.ui.errors, Lines{"Error: Poll interval is too large"});
    EXPECT_EQ(rig.detector.tmrPoll().Interval(), 5000u);
    EXPECT_FALSE(rig.detector.tmrPoll().Enabled());

    // A number in range that the system refuses as the timer starts.
    rig.ui.errors.clear();
    rig.clock.refuseFrom = 60000;
    rig.settings.pollInterval = 100;
    rig.settings.polling = true;
    rig.detector.ApplyPollSettings();
    EXPECT_EQ(rig.ui.errors, Lines{"Error: Poll interval is too large"});
    EXPECT_FALSE(rig.detector.tmrPoll().Enabled());
    rig.clock.refuseFrom = UINT64_MAX;

    // 0 seconds with polling on: no tick ever comes.
    AddRig::Put(rig.drop);
    rig.OnDesktop(LowerCase(rig.drop));
    rig.settings.pollInterval = 0;
    rig.settings.polling = true;
    rig.detector.ApplyPollSettings();
    rig.clock.Advance(60000);
    EXPECT_TRUE(rig.dialog.shown.empty());
}

// A fault that is not a file's comes back at every tick; the user hears of it
// once, and again only after a tick has gone well.
TEST(WallpaperDetector, AnErrorInPollTicksIsToldOnceUntilATickSucceeds) {
    struct Told {
        Lines messages;
        Told() { SetExceptionHandler([this](const std::string& m) { messages.push_back(m); }); }
        ~Told() { SetExceptionHandler({}); }
    } told;
    DetectRig rig;
    AddRig::Put(rig.drop, "first");
    DetectRig::SetWriteTime(rig.drop, kSomeTime);
    rig.OnDesktop(LowerCase(rig.drop));
    auto fail = [](WallpaperOptionsState&) -> bool { throw std::runtime_error("out of luck"); };
    rig.dialog.answers = {fail, fail, fail, Cancel(), fail};
    for (int i = 0; i < 3; ++i) rig.Tick();
    EXPECT_EQ(rig.dialog.shown.size(), 3u);  // tried again at every tick
    EXPECT_EQ(told.messages, Lines{"out of luck"});

    rig.Tick();  // declined: a tick without error
    AddRig::Put(rig.drop, "second");
    DetectRig::SetWriteTime(rig.drop, kSomeTime + 10'000'000);
    rig.Tick();
    EXPECT_EQ(rig.dialog.shown.size(), 5u);
    EXPECT_EQ(told.messages, Lines(2, "out of luck"));
    EXPECT_TRUE(rig.detector.tmrPoll().Enabled());
    EXPECT_FALSE(rig.flags.detectionBusy);
}

TEST(WallpaperDetector, ANewPollFileNameIsWatchedAfterTheQuietTimeButNotWhileLoading) {
    DetectRig rig;
    rig.settings.pollFileName = "  My Wall.bmp ";
    rig.settings.settingsTransfer = true;
    rig.detector.edtPollFileNameChange();
    EXPECT_FALSE(rig.timeout.Pending());

    rig.settings.settingsTransfer = false;
    rig.detector.edtPollFileNameChange();
    rig.clock.Advance(2249);
    EXPECT_EQ(rig.detector.WatchedNames().size(), 2u);
    rig.clock.Advance(1);
    EXPECT_EQ(rig.detector.WatchedNames(),
              (Lines{"Netscape Wallpaper.bmp", "Internet Explorer Wallpaper.bmp", "My Wall.bmp"}));
}

TEST(WallpaperDetector, TheFirstRunSweepHandsEveryBitmapOfTheFoldersToOneBatch) {
    DetectRig rig;
    AddRig::Put(rig.windows + "\\Setup.BMP");
    AddRig::Put(rig.windows + "\\clouds.bmp");
    AddRig::Put(rig.windows + "\\readme.txt");
    ::CreateDirectoryA((rig.windows + "\\folder.bmp").c_str(), nullptr);
    rig.dialog.answers = {OkWith(kOptionLeave, true)};
    rig.detector.ScanFoldersForBitmaps({rig.windows});

    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_TRUE(rig.dialog.shown[0].applyToAllEnabled);
    EXPECT_EQ(rig.store.Table().Count(), 2u);
    EXPECT_TRUE(rig.Listed(rig.windows + "\\setup.bmp"));
    EXPECT_TRUE(rig.Listed(rig.windows + "\\clouds.bmp"));
    EXPECT_TRUE(rig.prompts.shown.empty());
}

}  // namespace
}  // namespace pictavo
