#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "desktop/DesktopWallpaper.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "support/BitmapFile.h"
#include "support/SlideFixture.h"

namespace pictavo {
namespace {

using testing::SlideRig;
using Log = std::vector<std::string>;

const std::string& Own() { return TInventoryStore::OwnWallpaperPath().AsWritten(); }

// The settings file's record of the rendition's source, in memory.
struct MemoryRecord final : IRenditionRecord {
    std::string source;
    std::string RenditionSource() const override { return source; }
    void SetRenditionSource(const std::string& path) override { source = path; }
};

bool Contains(const Log& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

// The program's own bitmap, made by a test, gone when it ends.
struct OwnBitmap {
    OwnBitmap() { WriteFileAtomically(Own(), testing::Bitmap24(1, 1, 0x102030)); }
    ~OwnBitmap() { ::DeleteFileA(Own().c_str()); }
    OwnBitmap(const OwnBitmap&) = delete;
    OwnBitmap& operator=(const OwnBitmap&) = delete;
};

TEST(Rendition, APhotoGoesAsTheOwnBitmapWhileEverythingNamesThePhoto) {
    SlideRig rig;
    MemoryRecord record;
    rig.desktop.AttachRenditionRecord(record);
    const std::string beach = rig.AddPicture("Beach.jpg", true, false);
    rig.AddPicture("Other.bmp");

    ASSERT_TRUE(rig.desktop.ApplyWallpaper(beach, false, true));
    ASSERT_EQ(rig.renderer.calls.size(), 1u);
    EXPECT_EQ(rig.renderer.calls[0].source, beach);
    EXPECT_EQ(rig.renderer.calls[0].fitWithin, (PixelSize{1024, 768}));
    EXPECT_EQ(rig.renderer.calls[0].target, Own());
    EXPECT_EQ(rig.wallpaper.log, (Log{"tile 0", "set " + Own() + " 3"}));
    EXPECT_EQ(record.source, beach);
    EXPECT_EQ(rig.host.caption, "Beach.jpg - Pictavo");
    EXPECT_EQ(rig.desktop.LastAppliedWallpaper(), beach);
    EXPECT_EQ(rig.desktop.GetCurrentWallpaper().path, beach);
    ASSERT_TRUE(rig.desktop.LocateCurrentWallpaper());
    EXPECT_EQ(rig.store.cdtInventory().Record().FileName, "Beach.jpg");

    // The exit applies the current wallpaper again: the photo is rendered
    // anew, never the rendition from itself.
    const TDesktopWallpaper::Wallpaper current = rig.desktop.GetCurrentWallpaper(true);
    ASSERT_TRUE(rig.desktop.ApplyWallpaper(current.path, current.tile, true));
    ASSERT_EQ(rig.renderer.calls.size(), 2u);
    EXPECT_EQ(rig.renderer.calls[1].source, beach);
    EXPECT_FALSE(current.tile);
}

// The profile may name the bitmap in another case than the program does (a
// user, another program, an older copy wrote it): it is the same file.
TEST(Rendition, AfterARestartTheProfilesOwnBitmapStandsForItsRecordedSource) {
    ASSERT_NE(LowerCase(Own()), Own());
    for (const std::string& named : {Own(), LowerCase(Own())}) {
        SCOPED_TRACE(named);
        SlideRig rig;
        const std::string beach = rig.AddPicture("Beach.jpg", true, false);
        rig.wallpaper.values.wallpaper = named;
        rig.wallpaper.values.tileWallpaper = "0";

        // No record: the bitmap is all that is known.
        EXPECT_EQ(rig.desktop.GetCurrentWallpaper().path, named);

        TDesktopWallpaper restarted{rig.wallpaper, rig.store, rig.host.desktopUi, rig.host,
                                    rig.host,      "Pictavo", rig.renderer};
        MemoryRecord record;
        record.source = beach;
        restarted.AttachRenditionRecord(record);
        const TDesktopWallpaper::Wallpaper current = restarted.GetCurrentWallpaper();
        EXPECT_EQ(current.path, beach);
        EXPECT_FALSE(current.tile);
        EXPECT_EQ(rig.host.caption, "Beach.jpg - Pictavo");
        ASSERT_TRUE(restarted.LocateCurrentWallpaper());
        EXPECT_EQ(rig.store.cdtInventory().Record().FileName, "Beach.jpg");
    }
}

TEST(Rendition, TiledPicturesAreNeverScaledAndBitmapsGoAsTheyAreUnlessTooLargeWhenCentred) {
    const struct {
        const char* what;
        const char* name;
        int width, height;  // 0 for a photo's stand-in bytes
        bool tile, shrink;
        bool rendered;
        PixelSize fitWithin;
    } cases[] = {
        {"tiled photo", "Tiles.png", 0, 0, true, true, true, {}},
        {"photo, shrinking off", "Big.tif", 0, 0, false, false, true, {}},
        {"large bitmap, centred", "Large.bmp", 1100, 20, false, true, true, {1024, 768}},
        {"large bitmap, tiled", "Large.bmp", 1100, 20, true, true, false, {}},
        {"large bitmap, shrinking off", "Large.bmp", 1100, 20, false, false, false, {}},
        {"small bitmap, centred", "Small.BMP", 40, 30, false, true, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SlideRig rig;
        SetChecked(rig.pages.chkShrinkToFit, c.shrink);
        const std::string path =
            c.width ? rig.dir.Write(c.name, testing::Bitmap24(c.width, c.height, 0x336699))
                    : rig.AddPicture(c.name, true, c.tile);
        ASSERT_TRUE(rig.desktop.ApplyWallpaper(path, c.tile, true));
        ASSERT_EQ(rig.renderer.calls.size(), c.rendered ? 1u : 0u);
        if (c.rendered) {
            EXPECT_EQ(rig.renderer.calls[0].fitWithin, c.fitWithin);
        }
        EXPECT_EQ(rig.AppliedPaths(), Log{c.rendered ? Own() : path});
        EXPECT_EQ(rig.desktop.GetCurrentWallpaper().path, path);
    }
}

TEST(Rendition, AFailedRenderingChangesNothingAndIsToldWhereTheUserActed) {
    // A picture that cannot be read, and one that was read while its bitmap
    // for the desktop could not be written (a full volume, a read-only file):
    // each is told as what it is.
    // A picture too large for the memory left is told as that, with its size.
    const struct {
        const char* what;
        HRESULT failure;
        DWORD writeError;
        const char* traced;
        PixelSize upright;
    } kinds[] = {
        {"unreadable", static_cast<HRESULT>(0x88982F50), 0, "HRESULT 0x88982F50", {}},
        {"unwritable", HRESULT_FROM_WIN32(ERROR_DISK_FULL), ERROR_DISK_FULL, "HRESULT 0x80070070", {}},
        {"too large", E_OUTOFMEMORY, 0, "HRESULT 0x8007000E", {8688, 5792}},
    };
    for (const auto& kind : kinds) {
        for (auto report : {TDesktopWallpaper::Failure::Show, TDesktopWallpaper::Failure::Trace}) {
            SCOPED_TRACE(std::string(kind.what) +
                         (report == TDesktopWallpaper::Failure::Show ? ", user" : ", nobody"));
            SlideRig rig;
            MemoryRecord record;
            rig.desktop.AttachRenditionRecord(record);
            const std::string good = rig.AddPicture("Good.jpg", true, true);
            const std::string bad = rig.AddPicture("Bad.jpg", true, false);
            rig.renderer.failing = {LowerCase(bad)};
            rig.renderer.failure = kind.failure;
            rig.renderer.writeError = kind.writeError;
            rig.renderer.upright = kind.upright;
            ASSERT_TRUE(rig.desktop.ApplyWallpaper(good, true, true));
            const Log before = rig.wallpaper.log;

            EXPECT_FALSE(rig.desktop.ApplyWallpaper(bad, false, true, report));
            EXPECT_EQ(rig.wallpaper.log, before);  // not even the tile
            EXPECT_EQ(rig.wallpaper.values.tileWallpaper, "1");
            EXPECT_EQ(record.source, good);
            EXPECT_EQ(rig.host.caption, "Good.jpg - Pictavo");
            EXPECT_EQ(rig.desktop.LastAppliedWallpaper(), good);
            EXPECT_EQ(rig.desktop.LastSavedWallpaper(), good);
            EXPECT_EQ(rig.desktop.GetCurrentWallpaper().path, good);
            EXPECT_TRUE(rig.Listed("Bad.jpg"));
            EXPECT_TRUE(FileExists(bad));
            EXPECT_TRUE(Contains(rig.host.traces, bad)) << ::testing::PrintToString(rig.host.traces);
            EXPECT_TRUE(Contains(rig.host.traces, kind.traced));
            const std::string told =
                kind.upright.width
                    ? "there is not enough memory to show the picture (8688 by 5792 pixels)."
                : kind.writeError == 0
                    ? "the picture cannot be read."
                    : "the desktop's bitmap " + Own() + " cannot be written: " +
                          SystemErrorText(ERROR_DISK_FULL);
            if (report == TDesktopWallpaper::Failure::Show) {
                EXPECT_EQ(rig.host.errors, Log{"Unable to set " + bad + " as the wallpaper: " + told});
            } else {
                EXPECT_TRUE(rig.host.errors.empty());
            }
        }
    }
}

TEST(Rendition, TheSlideshowPassesOverAPictureThatCannotBeRenderedAndKeepsIt) {
    SlideRig rig;
    SetChecked(rig.pages.chkRandom, false);
    rig.AddPicture("a.bmp");
    const std::string bad = rig.AddPicture("b.jpg");
    const std::string next = rig.AddPicture("c.bmp");
    rig.renderer.failing = {LowerCase(bad)};
    rig.PutSlideCursorOn("a.bmp");

    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.AppliedPaths(), Log{next});
    EXPECT_TRUE(rig.Listed("b.jpg"));
    EXPECT_TRUE(Contains(rig.host.traces, "passed over " + bad));
    EXPECT_TRUE(rig.host.errors.empty());
    EXPECT_TRUE(rig.host.messages.empty());

}

TEST(Rendition, ASlideshowOfUnreadablePicturesGivesUpTheChangeAfterAFewTries) {
    SlideRig rig;
    const std::string bad = rig.AddPicture("only.jpg");
    rig.renderer.failing = {LowerCase(bad)};
    rig.slideShow.ShowNextSlide();
    EXPECT_TRUE(rig.AppliedPaths().empty());
    EXPECT_GE(rig.renderer.calls.size(), 1u);
    EXPECT_LE(rig.renderer.calls.size(), 5u);
    EXPECT_TRUE(rig.Listed("only.jpg"));
    EXPECT_TRUE(rig.host.errors.empty());
    EXPECT_TRUE(rig.host.messages.empty());
}

// Windows may refuse a wallpaper (a file it cannot load, a policy that fixes
// the wallpaper): the desktop then keeps what it showed, and so does all that
// speaks of it, the program's own bitmap included.
TEST(Rendition, AWallpaperTheSystemRefusesChangesNothingAndIsToldWhereTheUserActed) {
    const struct {
        const char* name;
        bool rendered;  // goes to the system as the program's own bitmap
    } kinds[] = {{"Refused.bmp", false}, {"Refused.jpg", true}};
    for (const auto& kind : kinds) {
        for (auto report : {TDesktopWallpaper::Failure::Show, TDesktopWallpaper::Failure::Trace}) {
            SCOPED_TRACE(std::string(kind.name) +
                         (report == TDesktopWallpaper::Failure::Show ? ", user" : ", nobody"));
            SlideRig rig;
            OwnBitmap cleanup;
            MemoryRecord record;
            rig.desktop.AttachRenditionRecord(record);
            rig.renderer.writeTarget = true;
            const std::string good = rig.AddPicture("Good.jpg", true, true);
            // Tiled, a bitmap goes as it is.
            const std::string bad = rig.AddPicture(kind.name, true, !kind.rendered);
            ASSERT_TRUE(rig.desktop.ApplyWallpaper(good, true, true));
            const std::string earlierBitmap = ReadWholeFile(Own());
            const size_t rendered = rig.renderer.calls.size();

            rig.wallpaper.values.refused = {LowerCase(kind.rendered ? Own() : bad)};
            rig.wallpaper.values.refusal = ERROR_ACCESS_DENIED;
            EXPECT_FALSE(rig.desktop.ApplyWallpaper(bad, !kind.rendered, true, report));
            EXPECT_EQ(rig.renderer.calls.size(), rendered + (kind.rendered ? 1 : 0));
            EXPECT_EQ(rig.AppliedPaths().back(), kind.rendered ? Own() : bad);

            EXPECT_EQ(rig.host.caption, "Good.jpg - Pictavo");
            EXPECT_EQ(rig.desktop.LastAppliedWallpaper(), good);
            EXPECT_TRUE(rig.desktop.LastAppliedTile());
            EXPECT_EQ(rig.desktop.LastSavedWallpaper(), good);
            EXPECT_EQ(rig.desktop.GetCurrentWallpaper().path, good);
            EXPECT_EQ(record.source, good);
            EXPECT_EQ(rig.wallpaper.values.tileWallpaper, "1");
            EXPECT_EQ(ReadWholeFile(Own()), earlierBitmap);
            EXPECT_FALSE(FileExists(Own() + ".~old"));

            const std::string told = "Unable to set " + bad +
                                     " as the wallpaper: Windows refused it (" +
                                     SystemErrorText(ERROR_ACCESS_DENIED) + ").";
            EXPECT_TRUE(Contains(rig.host.traces, told))
                << ::testing::PrintToString(rig.host.traces);
            EXPECT_EQ(rig.host.errors,
                      report == TDesktopWallpaper::Failure::Show ? Log{told} : Log{});
        }
    }
}

TEST(Rendition, TheSlideshowPassesOverAWallpaperTheSystemRefusesAndTracesWhy) {
    SlideRig rig;
    SetChecked(rig.pages.chkRandom, false);
    rig.AddPicture("a.bmp");
    const std::string refused = rig.AddPicture("b.bmp");
    const std::string next = rig.AddPicture("c.bmp");
    rig.wallpaper.values.refused = {LowerCase(refused)};
    rig.PutSlideCursorOn("a.bmp");

    rig.slideShow.ShowNextSlide();
    EXPECT_EQ(rig.AppliedPaths(), (Log{refused, next}));
    EXPECT_EQ(rig.host.caption, "c.bmp - Pictavo");
    EXPECT_TRUE(rig.Listed("b.bmp"));
    EXPECT_TRUE(Contains(rig.host.traces,
                         "Unable to set " + refused + " as the wallpaper: Windows refused it ("));
    EXPECT_TRUE(Contains(rig.host.traces, "passed over " + refused));
    EXPECT_TRUE(rig.host.errors.empty());
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(Rendition, AChangedScreenRendersTheCurrentRenditionAgainAndNothingElse) {
    SlideRig rig;
    const std::string beach = rig.AddPicture("Beach.jpg", true, false);
    const std::string plain = rig.AddPicture("Plain.bmp", true, false);

    // Not persisted: rendered again, still not persisted.
    ASSERT_TRUE(rig.desktop.ApplyWallpaper(beach, false, false));
    rig.renderer.screen = {800, 600};
    rig.desktop.DisplayChanged();
    ASSERT_EQ(rig.renderer.calls.size(), 2u);
    EXPECT_EQ(rig.renderer.calls[1].source, beach);
    EXPECT_EQ(rig.renderer.calls[1].fitWithin, (PixelSize{800, 600}));
    EXPECT_EQ(rig.wallpaper.log.back(), "set " + Own() + " 0");

    // Persisted, as the profile names the rendition.
    ASSERT_TRUE(rig.desktop.ApplyWallpaper(beach, false, true));
    rig.desktop.DisplayChanged();
    EXPECT_EQ(rig.renderer.calls.size(), 4u);
    EXPECT_EQ(rig.wallpaper.log.back(), "set " + Own() + " 3");

    ASSERT_TRUE(rig.desktop.ApplyWallpaper(plain, false, true));
    const size_t applied = rig.wallpaper.Applied();
    rig.desktop.DisplayChanged();
    EXPECT_EQ(rig.renderer.calls.size(), 4u);
    EXPECT_EQ(rig.wallpaper.Applied(), applied);
}

// A game switching its resolution must not get the wallpaper rendered and
// broadcast under it: the change waits for the game's end and comes once.
TEST(Rendition, AScreenChangedUnderAFullScreenProgramIsRenderedOnceWhenItHasGone) {
    SlideRig rig;
    const std::string beach = rig.AddPicture("Beach.jpg", true, false);
    ASSERT_TRUE(rig.desktop.ApplyWallpaper(beach, false, true));
    const size_t applied = rig.wallpaper.Applied();
    rig.host.traces.clear();

    rig.fullScreen.foregroundFills = true;
    rig.renderer.screen = {800, 600};
    rig.slideShow.DisplayChanged();
    rig.renderer.screen = {1280, 1024};
    rig.slideShow.DisplayChanged();
    rig.clock.Advance(60000);
    EXPECT_EQ(rig.renderer.calls.size(), 1u);
    EXPECT_EQ(rig.wallpaper.Applied(), applied);
    EXPECT_EQ(rig.host.traces,
              Log{"SlideShow.DisplayChanged: held back while a full-screen program runs"});

    rig.fullScreen.foregroundFills = false;
    rig.clock.Advance(2000);
    ASSERT_EQ(rig.renderer.calls.size(), 2u);
    EXPECT_EQ(rig.renderer.calls[1].fitWithin, (PixelSize{1280, 1024}));
    EXPECT_EQ(rig.wallpaper.Applied(), applied + 1);
    EXPECT_EQ(rig.wallpaper.log.back(), "set " + Own() + " 3");
    rig.clock.Advance(60000);
    EXPECT_EQ(rig.renderer.calls.size(), 2u);

    // Nothing full screen, or the pause switched off: rendered at once.
    for (bool pauseOn : {true, false}) {
        SCOPED_TRACE(pauseOn ? "nothing full screen" : "pause off");
        ::SendMessageA(rig.pages.chkPauseForFullScreen, BM_SETCHECK,
                       pauseOn ? BST_CHECKED : BST_UNCHECKED, 0);
        rig.fullScreen.foregroundFills = !pauseOn;
        const size_t before = rig.renderer.calls.size();
        rig.slideShow.DisplayChanged();
        EXPECT_EQ(rig.renderer.calls.size(), before + 1);
    }
}

TEST(Rendition, TheExitDeletesTheOwnBitmapOnlyWhenTheProfileDoesNotNameIt) {
    const struct {
        bool keysExist;
        bool namesOwn;
        bool kept;
    } cases[] = {{true, true, true}, {true, false, false}, {false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.keysExist << c.namesOwn);
        SlideRig rig;
        OwnBitmap own;
        rig.wallpaper.values.keysExist = c.keysExist;
        rig.wallpaper.values.wallpaper = c.namesOwn ? LowerCase(Own()) : "C:\\Pics\\Sea.bmp";
        rig.desktop.DeleteRenditionUnlessShown();
        EXPECT_EQ(FileExists(Own()), c.kept);
    }
}

}  // namespace
}  // namespace pictavo
