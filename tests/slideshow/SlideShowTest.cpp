#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "slideshow/SlideShow.h"
#include "support/SlideFixture.h"
#include "support/UnmappedDrive.h"

namespace pictavo {
namespace {

using testing::SlideRig;
using Lines = std::vector<std::string>;

const std::string kTrace = "FrmMain.GetNextSlideInfo: ";

// Changes a check box without the click its owner would hear.
void SetQuietly(HWND box, bool checked) {
    ::SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---------------------------------------------------------------------------
// Choosing the next slide

TEST(SlideShow, EmptyInventoryRandomSearchGivesUpAfter501TriesAndStopsTheSlideshow) {
    SlideRig rig;
    rig.SetInterval(0, 5, 0);
    rig.slideShow.ShowNextSlide();

    EXPECT_EQ(rig.host.traces, (Lines{kTrace + "Random Search 0 records",
                                      kTrace + "501 tries of 500", kTrace + "Sequential Search"}));
    EXPECT_EQ(rig.random.asked.size(), 500u);
    EXPECT_EQ(rig.host.messages, Lines{"No images selected for slideshow!"});
    EXPECT_FALSE(Checked(rig.pages.chkAutoChange));
    EXPECT_EQ(rig.host.autoChangeClicks, 1);
    EXPECT_FALSE(rig.host.runSlideshowChecked);
    EXPECT_FALSE(rig.slideShow.tmrSlide().Enabled());
    EXPECT_EQ(rig.wallpaper.Applied(), 0u);

    // With the slideshow off, giving up is silent.
    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.traces.size(), 6u);
}

TEST(SlideShow, OnlyEligiblePictureIsChosenAgain) {
    for (bool random : {true, false}) {
        SCOPED_TRACE(random ? "random" : "in order");
        SlideRig rig;
        SetChecked(rig.pages.chkRandom, random);
        rig.AddPicture("a.bmp", false);
        const std::string b = rig.AddPicture("b.bmp");
        rig.AddPicture("c.bmp", false);
        rig.PutSlideCursorOn("b.bmp");
        // Every record in turn, the start picture among them.
        rig.slideShow.Random = [k = 0](int n) mutable { return k++ % n; };

        rig.slideShow.ShowNextSlide();
        Lines expected = {kTrace + "Sequential Search", kTrace + "Selected 2 " + b};
        if (random) {
            expected.insert(expected.begin(),
                            {kTrace + "Random Search 3 records", kTrace + "501 tries of 500"});
        }
        EXPECT_EQ(rig.host.traces, expected);
        EXPECT_EQ(rig.AppliedPaths(), Lines{b});
        EXPECT_TRUE(rig.host.messages.empty());
    }
}

TEST(SlideShow, RandomSearchPassesOverTheStartPicture) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    const std::string c = rig.AddPicture("c.bmp");
    rig.PutSlideCursorOn("b.bmp");
    rig.random.answers = {1, 1, 2};

    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.host.traces, (Lines{kTrace + "Random Search 3 records", kTrace + "3 tries of 500",
                                      kTrace + "Selected 3 " + c}));
    EXPECT_EQ(rig.AppliedPaths(), Lines{c});
}

TEST(SlideShow, RandomSearchDropsVanishedFilesSilently) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    const std::string b = rig.AddPicture("b.bmp");
    const std::string c = rig.AddPicture("c.bmp");
    ASSERT_TRUE(::DeleteFileA(b.c_str()));
    rig.random.answers = {1, 1};  // b, then the second of what is left

    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.random.asked, (std::vector<int>{3, 2}));
    EXPECT_FALSE(rig.Listed("b.bmp"));
    EXPECT_EQ(rig.store.Table().Count(), 2u);
    EXPECT_EQ(rig.inventoryHost.hint, "2 Pictures in List");
    EXPECT_TRUE(rig.inventoryHost.errors.empty());
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.host.traces, (Lines{kTrace + "Random Search 3 records", kTrace + "2 tries of 500",
                                      kTrace + "Selected 2 " + c}));
    EXPECT_EQ(rig.AppliedPaths(), Lines{c});
    EXPECT_TRUE(rig.ListSaved());
}

TEST(SlideShow, SequentialSearchMovesOnWrapsOnceAndDropsVanishedFiles) {
    const struct {
        const char* start;
        std::set<std::string> disabled, vanished;
        const char* chosen;  // "" for none
        int recNo;
        size_t left;
    } cases[] = {
        {"a.bmp", {}, {}, "b.bmp", 2, 3},
        {"c.bmp", {}, {}, "a.bmp", 1, 3},  // from the last: the first from the top
        {"a.bmp", {"b.bmp"}, {}, "c.bmp", 3, 3},
        {"b.bmp", {}, {"c.bmp"}, "a.bmp", 1, 2},
        {"a.bmp", {"b.bmp", "c.bmp"}, {}, "a.bmp", 1, 3},
        {"a.bmp", {}, {"b.bmp", "c.bmp"}, "a.bmp", 1, 1},
        {"c.bmp", {"b.bmp"}, {"a.bmp"}, "c.bmp", 2, 2},
        {"b.bmp", {"a.bmp", "b.bmp", "c.bmp"}, {}, "", 0, 3},
        {"b.bmp", {"a.bmp", "c.bmp"}, {"b.bmp"}, "", 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "start " << c.start << ", chosen " << c.chosen << ", left " << c.left);
        SlideRig rig;
        SetChecked(rig.pages.chkRandom, false);
        SetChecked(rig.pages.chkAutoChange, false);
        std::string chosenPath;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
            const std::string path = rig.AddPicture(name, !c.disabled.count(name));
            if (c.vanished.count(name)) ::DeleteFileA(path.c_str());
            if (name == std::string(c.chosen)) chosenPath = path;
        }
        rig.PutSlideCursorOn(c.start);
        rig.host.traces.clear();

        const TSlideShow::SlideInfo info = rig.slideShow.GetNextSlideInfo();
        EXPECT_EQ(info.path, chosenPath);
        EXPECT_EQ(rig.store.Table().Count(), c.left);
        for (const std::string& name : c.vanished) EXPECT_FALSE(rig.Listed(name)) << name;
        Lines traces = {kTrace + "Sequential Search"};
        if (*c.chosen)
            traces.push_back(kTrace + "Selected " + std::to_string(c.recNo) + " " + chosenPath);
        EXPECT_EQ(rig.host.traces, traces);
        EXPECT_TRUE(rig.host.messages.empty());
    }
}

TEST(SlideShow, EligibilityRules) {
    enum Mode { All, TiledOnly, CentredOnly };
    const struct {
        const char* what;
        bool enabled, exists, tile;
        Mode mode;
        bool limit;
        int maxK;
        int32_t size;
        bool shown;
    } cases[] = {
        {"plain", true, true, true, All, false, 1500, 58, true},
        {"disabled", false, true, true, All, false, 1500, 58, false},
        {"file gone", true, false, true, All, false, 1500, 58, false},
        {"at the size limit", true, true, true, All, true, 1500, 1500000, true},
        {"one byte over", true, true, true, All, true, 1500, 1500001, false},
        {"over, limit off", true, true, true, All, false, 1500, 1500001, true},
        {"over 1500, under 2000", true, true, true, All, true, 2000, 1500001, true},
        {"centred, tiled only", true, true, false, TiledOnly, false, 1500, 58, false},
        {"tiled, tiled only", true, true, true, TiledOnly, false, 1500, 58, true},
        {"tiled, centred only", true, true, true, CentredOnly, false, 1500, 58, false},
        {"centred, centred only", true, true, false, CentredOnly, false, 1500, 58, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SlideRig rig;
        SetChecked(rig.pages.chkRandom, false);
        SetChecked(rig.pages.chkAutoChange, false);
        SetChecked(rig.design.rdoAll, c.mode == All);
        SetChecked(rig.design.rdoTiled, c.mode == TiledOnly);
        SetChecked(rig.design.rdoCentred, c.mode == CentredOnly);
        SetChecked(rig.pages.chkLimitImageSize, c.limit);
        SetSpinPosition(rig.pages.updImageSize, c.maxK);
        const std::string path = rig.AddPicture("only.bmp", c.enabled, c.tile, c.size);
        if (!c.exists) ::DeleteFileA(path.c_str());

        rig.slideShow.ShowNextSlide();
        EXPECT_EQ(rig.AppliedPaths(), c.shown ? Lines{path} : Lines{});
    }
}

// ---------------------------------------------------------------------------
// Showing it

TEST(SlideShow, ShowNextSlideAppliesTheTileAndPersistsWhenEachChangeIsSaved) {
    SlideRig rig;
    SetChecked(rig.pages.chkRandom, false);
    const std::string a = rig.AddPicture("a.bmp", true, true);
    const std::string b = rig.AddPicture("b.bmp", true, false);

    rig.slideShow.ShowNextSlide();
    SetChecked(rig.design.chkSaveEachChange, false);
    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.wallpaper.log, (Lines{"tile 0", "set " + b + " 3", "tile 1", "set " + a + " 0"}));
}

TEST(SlideShow, ATickDuringASlideChangeIsDroppedAndTheTimerFollowsTheSwitch) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    rig.SetInterval(0, 0, 10);
    bool timerOnDuringChange = true;
    int ticks = 0;
    rig.host.onProcessMessages = [&] {
        timerOnDuringChange = timerOnDuringChange && rig.slideShow.tmrSlide().Enabled();
        // A tick that reaches the message loop; only one, so a fault cannot recurse for ever.
        if (ticks++ == 0) rig.slideShow.ShowNextSlide();
    };

    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
    EXPECT_FALSE(timerOnDuringChange);
    EXPECT_TRUE(rig.slideShow.tmrSlide().Enabled());
    EXPECT_FALSE(rig.slideShow.SlideChangeInProgress());

    rig.host.onProcessMessages = nullptr;
    SetQuietly(rig.pages.chkAutoChange, false);
    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);
    EXPECT_FALSE(rig.slideShow.tmrSlide().Enabled());
}

// ---------------------------------------------------------------------------
// Timing

TEST(SlideShow, IntervalIsTheSumOfTheSpinners) {
    const struct {
        int h, m, s;
        uint32_t ms;
    } cases[] = {
        {0, 5, 0, 300000},
        {1, 30, 0, 5400000},
        {2, 0, 5, 7205000},
        {72, 59, 59, 262799000},
    };
    SlideRig rig;
    for (const auto& c : cases) {
        rig.SetInterval(c.h, c.m, c.s);
        EXPECT_EQ(rig.slideShow.tmrSlide().Interval(), c.ms) << c.h << ":" << c.m << ":" << c.s;
    }
}

TEST(SlideShow, OnlyAChangedIntervalRestartsTheCountdown) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    rig.SetInterval(0, 0, 10);
    rig.clock.Advance(6000);
    rig.slideShow.ApplySlideInterval();  // the same interval
    rig.clock.Advance(4000);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);

    rig.clock.Advance(3000);
    rig.SetInterval(0, 0, 20);  // changed 13 s in: a full new interval from here
    rig.clock.Advance(20000 - 1);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
    rig.clock.Advance(1);
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);

    // The timer runs exactly while the slideshow is on.
    SetQuietly(rig.pages.chkAutoChange, false);
    rig.slideShow.ApplySlideInterval();
    EXPECT_FALSE(rig.slideShow.tmrSlide().Enabled());
    SetQuietly(rig.pages.chkAutoChange, true);
    rig.slideShow.ApplySlideInterval();
    EXPECT_TRUE(rig.slideShow.tmrSlide().Enabled());
}

TEST(SlideShow, TickShowsASlideOnlyWhenNothingHoldsItBack) {
    const struct {
        bool settingsInProgress, intervalEditing, saver, changeDuringSaver, shown;
    } cases[] = {
        {false, false, false, false, true}, {true, false, false, false, false},
        {false, true, false, false, false}, {false, false, true, false, false},
        {false, false, true, true, true},   {true, false, true, true, false},
        {false, true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.settingsInProgress << c.intervalEditing << c.saver
                                          << c.changeDuringSaver);
        SlideRig rig;
        rig.AddPicture("a.bmp");
        rig.AddPicture("b.bmp");
        rig.SetInterval(0, 0, 1);
        rig.host.flags.settingsInProgress = c.settingsInProgress;
        rig.pages.SetIntervalEditing(c.intervalEditing);
        rig.screenSaver = c.saver;
        SetChecked(rig.design.chkChangeDuringSaver, c.changeDuringSaver);
        rig.clock.Advance(1000);
        EXPECT_EQ(rig.wallpaper.Applied(), c.shown ? 1u : 0u);
    }
}

// A full-screen program holds the ticks back, not the user; when it ends the
// slideshow goes on at its own beat, with no burst of the changes held back.
TEST(SlideShow, TicksPassWhileAFullScreenProgramRunsAndTheBeatGoesOnAfterIt) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    rig.AddPicture("c.bmp");
    rig.SetInterval(0, 0, 10);  // ticks at 10, 20, 30, 40 s ...
    rig.fullScreen.foregroundFills = true;
    rig.host.traces.clear();

    rig.clock.Advance(35000);
    EXPECT_EQ(rig.wallpaper.Applied(), 0u);
    const std::string passed =
        "SlideShow.tmrSlideTimer: Tick passed, another program's window fills the screen";
    EXPECT_EQ(rig.host.traces, (Lines{passed, passed, passed}));

    // "Change Wallpaper &Now" acts at once; as any change, it starts the
    // countdown anew: ticks at 45, 55 s ...
    rig.host.tmrSlideTimer();
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);

    // The program ends at 37 s: nothing until the next tick of the beat.
    rig.clock.Advance(2000);
    rig.fullScreen.foregroundFills = false;
    rig.clock.Advance(7999);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
    rig.clock.Advance(1);
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);
    rig.clock.Advance(9999);
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);
    rig.clock.Advance(1);
    EXPECT_EQ(rig.wallpaper.Applied(), 3u);
}

TEST(SlideShow, TheBoxOffOrNoFullScreenProgramLetsEveryTickChangeTheWallpaper) {
    const struct {
        bool pauseOn;
        std::optional<int> state;
        bool fills;
        size_t shown;
    } cases[] = {
        {false, 2, true, 3},  // the box off: the system is not even asked
        {true, 5, false, 3},
        {true, std::nullopt, false, 3},
        {true, 2, false, 0},
        {true, 3, false, 0},
        {true, 4, false, 0},
        {true, std::nullopt, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "pause " << c.pauseOn << ", state "
                                          << c.state.value_or(-1) << ", fills " << c.fills);
        SlideRig rig;
        rig.AddPicture("a.bmp");
        rig.AddPicture("b.bmp");
        SetQuietly(rig.pages.chkPauseForFullScreen, c.pauseOn);
        rig.SetInterval(0, 0, 1);
        rig.fullScreen.state = c.state;
        rig.fullScreen.foregroundFills = c.fills;
        rig.clock.Advance(3000);
        EXPECT_EQ(rig.wallpaper.Applied(), c.shown);
        EXPECT_EQ(rig.fullScreen.stateAsked, c.pauseOn ? 3 : 0);
    }
}

TEST(SlideShow, RestartSlideCountdownLeavesAStoppedTimerStopped) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    SetQuietly(rig.pages.chkAutoChange, false);
    rig.SetInterval(0, 0, 5);
    rig.slideShow.RestartSlideCountdown();
    EXPECT_FALSE(rig.slideShow.tmrSlide().Enabled());
    rig.clock.Advance(60000);
    EXPECT_EQ(rig.wallpaper.Applied(), 0u);
}

// The text itself is tested with SlideIntervalText; here, that the spinners feed it.
TEST(SlideShow, IntervalTextReadsTheSpinners) {
    SlideRig rig;
    SetSpinPosition(rig.pages.updHrs, 1);
    SetSpinPosition(rig.pages.updMins, 0);
    SetSpinPosition(rig.pages.updSecs, 30);
    EXPECT_EQ(rig.slideShow.SlideIntervalText(), "1 hrs 30 seconds");
}

TEST(SlideShow, TypingIntoAnIntervalBoxHoldsTicksBackUntilTheQuietTimeAfterTheLastKey) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    rig.SetInterval(0, 0, 2);  // ticks at 2 s, 4 s, 6 s, 8 s ...

    rig.clock.Advance(500);
    ::SetFocus(rig.pages.edtHrs);
    ASSERT_TRUE(rig.pages.IntervalEditing());
    // Keys that leave the number as it was, so the ticks keep their beat.
    for (const char* text : {"00", "0", "00"}) {
        SetControlText(rig.pages.edtHrs, text);
        rig.clock.Advance(2000);
    }
    // The last key came at 4.5 s; the ticks at 2, 4 and 6 s were held back.
    rig.clock.Advance(2250 - 2000 - 1);
    EXPECT_EQ(rig.wallpaper.Applied(), 0u);
    EXPECT_EQ(rig.host.settingsSaves, 0);
    EXPECT_TRUE(rig.pages.IntervalEditing());

    rig.clock.Advance(1);
    EXPECT_FALSE(rig.pages.IntervalEditing());
    EXPECT_EQ(rig.host.settingsSaves, 1);
    EXPECT_EQ(rig.slideShow.tmrSlide().Interval(), 2000u);
    EXPECT_EQ(rig.wallpaper.Applied(), 0u);

    rig.clock.Advance(8000 - 6750);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
}

TEST(SlideShow, SavingTheIntervalAppliesItAndSavesUnlessSettingsAreInTransfer) {
    SlideRig rig;
    rig.SetInterval(0, 5, 0);
    rig.host.settingsTransfer = true;
    rig.pages.SetIntervalEditing(true);
    SetSpinPosition(rig.pages.updSecs, 30);
    rig.clock.Advance(2250);
    EXPECT_EQ(rig.slideShow.tmrSlide().Interval(), 330000u);
    EXPECT_FALSE(rig.pages.IntervalEditing());
    EXPECT_EQ(rig.host.settingsSaves, 0);

    rig.host.settingsTransfer = false;
    SetSpinPosition(rig.pages.updSecs, 35);
    rig.clock.Advance(2250);
    EXPECT_EQ(rig.slideShow.tmrSlide().Interval(), 335000u);
    EXPECT_EQ(rig.host.settingsSaves, 1);
}

TEST(SlideShow, SwitchingTheSlideshowOnShowsASlideAtOnceAndOffStopsIt) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    SetQuietly(rig.pages.chkAutoChange, false);
    rig.host.runSlideshowChecked = false;
    rig.SetInterval(0, 0, 0);
    SetSpinPosition(rig.pages.updMins, 1);  // typed, its save still pending
    int savesAtSlide = -1;
    rig.host.onProcessMessages = [&] { savesAtSlide = rig.host.settingsSaves; };

    SetChecked(rig.pages.chkAutoChange, true);
    EXPECT_EQ(savesAtSlide, 1);  // the pending save ran before the slide
    rig.host.onProcessMessages = nullptr;
    EXPECT_EQ(rig.host.settingsSaves, 1);
    EXPECT_EQ(rig.slideShow.tmrSlide().Interval(), 60000u);
    EXPECT_TRUE(rig.slideShow.tmrSlide().Enabled());
    EXPECT_TRUE(rig.host.runSlideshowChecked);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
    rig.clock.Advance(2250);
    EXPECT_EQ(rig.host.settingsSaves, 2);
    rig.clock.Advance(60000 - 2250);
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);

    SetChecked(rig.pages.chkAutoChange, false);
    EXPECT_FALSE(rig.slideShow.tmrSlide().Enabled());
    EXPECT_FALSE(rig.host.runSlideshowChecked);
    rig.clock.Advance(600000);
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);
    EXPECT_EQ(rig.host.settingsSaves, 3);
}

// ---------------------------------------------------------------------------
// Faults of the first design

using pictavo::testing::UnmappedDrive;

TEST(SlideShow, TheRandomSourceReachesEveryPictureOfALongList) {
    SlideRig rig;
    // The source the program runs with, not the rig's script.
    TSlideShow fresh{{rig.pages, rig.host, rig.store, rig.desktop, rig.timeout, rig.clock,
                      rig.host.slideUi, rig.host.flags, rig.host, rig.fullScreen}};
    constexpr int kPictures = 100000, kDraws = 20000;
    int beyond = 0;
    for (int i = 0; i < kDraws; ++i) {
        const int n = fresh.Random(kPictures);
        ASSERT_GE(n, 0);
        ASSERT_LT(n, kPictures);
        if (n >= 32768) ++beyond;
    }
    // About two thirds of such a list lies past the first 32,768 pictures.
    EXPECT_GT(beyond, kDraws / 2);
}

TEST(SlideShow, PicturesOnADriveOrShareThatIsNotThereAreKept) {
    const std::string drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    for (bool random : {true, false}) {
        SCOPED_TRACE(random ? "random" : "in order");
        SlideRig rig;
        SetChecked(rig.pages.chkRandom, random);
        const std::string a = rig.AddRecord(drive + "\\Pics", "a.bmp");
        const std::string b = rig.AddRecord(drive + "\\Pics\\Old", "b.bmp");
        rig.slideShow.Random = [k = 0](int n) mutable { return n > 0 ? k++ % n : 0; };

        rig.slideShow.ShowNextSlide();
        EXPECT_EQ(rig.store.Table().Count(), 2u);
        EXPECT_FALSE(rig.ListSaved());
        EXPECT_EQ(rig.host.messages, Lines{"No images selected for slideshow!"});
        EXPECT_EQ(rig.wallpaper.Applied(), 0u);
        for (const std::string& path : {a, b}) {
            EXPECT_EQ(std::count(rig.host.traces.begin(), rig.host.traces.end(),
                                 kTrace + "Passed over, not reachable: " + path),
                      1)
                << path;
        }
    }
}

TEST(SlideShow, AnOrderedPassDropsTheVanishedKeepsTheUnreachableAndShowsThePresent) {
    const std::string drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    SlideRig rig;
    SetChecked(rig.pages.chkRandom, false);
    const std::string gone = rig.AddPicture("b.bmp");
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));
    rig.AddRecord(drive + "\\Pics", "c.bmp");
    const std::string d = rig.AddPicture("d.bmp");
    rig.AddPicture("a.bmp");
    rig.PutSlideCursorOn("a.bmp");

    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.AppliedPaths(), Lines{d});
    EXPECT_FALSE(rig.Listed("b.bmp"));
    EXPECT_EQ(rig.store.Table().Count(), 3u);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(SlideShow, APathTooLongForTheWallpaperCallIsNeverChosen) {
    for (bool random : {true, false}) {
        SCOPED_TRACE(random ? "random" : "in order");
        SlideRig rig;
        SetChecked(rig.pages.chkRandom, random);
        // Both fields at their stored widths: 258 characters together.
        std::string folder = rig.dir.Path() + "\\";
        folder += std::string(LocationWidth - 1 - folder.size(), 'd');
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
        const std::string name = std::string(FileNameWidth - 4, 'a') + ".bmp";
        const std::string longPath = LowerCase(folder + "\\" + name);
        ASSERT_GT(longPath.size(), TDesktopWallpaper::kMaxWallpaperPath);
        ASSERT_LT(longPath.size(), size_t{MAX_PATH});
        {
            HANDLE h = ::CreateFileA(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                     nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            ::CloseHandle(h);
        }
        rig.AddRecord(folder, name);
        const std::string b = rig.AddPicture("b.bmp");
        rig.PutSlideCursorOn("b.bmp");
        rig.random.fallback = 0;  // always the long one
        rig.SetInterval(0, 0, 10);

        rig.clock.Advance(30000);
        EXPECT_EQ(rig.AppliedPaths(), (Lines{b, b, b}));
        EXPECT_TRUE(rig.host.errors.empty());
        EXPECT_TRUE(rig.host.messages.empty());
        EXPECT_EQ(rig.store.Table().Count(), 2u);
    }
}

TEST(SlideShow, ARefusedTimerSaysTheIntervalIsTooLargeAndNeverTicks) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    rig.SetInterval(0, 0, 10);
    rig.clock.refuseFrom = 15000;
    SetSpinPosition(rig.pages.updSecs, 20);  // applied with the deferred save
    rig.clock.Advance(2250);
    EXPECT_EQ(rig.host.messages, Lines{"Error: Interval is too large"});
    EXPECT_FALSE(rig.slideShow.tmrSlide().Enabled());
    rig.clock.Advance(60000);
    EXPECT_EQ(rig.wallpaper.Applied(), 0u);

    // Applied again with success, it counts.
    rig.clock.refuseFrom = UINT64_MAX;
    rig.slideShow.ApplySlideInterval();
    EXPECT_TRUE(rig.slideShow.tmrSlide().Enabled());
    rig.clock.Advance(20000);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

}  // namespace
}  // namespace pictavo
