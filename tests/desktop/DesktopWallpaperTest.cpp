#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "desktop/DesktopWallpaper.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "support/SlideFixture.h"
#include "support/TempDir.h"

namespace pictavo {
namespace {

using testing::SlideRig;
using Log = std::vector<std::string>;

TEST(DesktopWallpaper, ApplyWritesTheTileFirstAndRemembersThePathAsWritten) {
    const struct {
        const char* path;
        bool tile, persist;
        Log log;
        const char* saved;
        const char* applied;
        const char* caption;
    } cases[] = {
        {"C:\\Pics\\Sunset.BMP",
         false,
         true,
         {"tile 0", "set C:\\Pics\\Sunset.BMP 3"},
         "C:\\Pics\\Sunset.BMP",
         "C:\\Pics\\Sunset.BMP",
         "Sunset.BMP - Pictavo"},
        // Not persisted: the tile is still written, the call keeps off the profile.
        {"C:\\Pics\\Dawn.bmp",
         true,
         false,
         {"tile 1", "set C:\\Pics\\Dawn.bmp 0"},
         "",
         "C:\\Pics\\Dawn.bmp",
         "Dawn.bmp - Pictavo"},
        {"", true, true, {"tile 1", "set  3"}, "", "", "(none) - Pictavo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        SlideRig rig;
        EXPECT_TRUE(rig.desktop.ApplyWallpaper(c.path, c.tile, c.persist));
        EXPECT_EQ(rig.wallpaper.log, c.log);
        EXPECT_EQ(rig.desktop.LastSavedWallpaper(), c.saved);
        EXPECT_EQ(rig.desktop.LastAppliedWallpaper(), c.applied);
        EXPECT_EQ(rig.desktop.LastAppliedTile(), c.tile);
        if (c.persist) {
            EXPECT_EQ(rig.desktop.LastSavedTile(), c.tile);
        }
        EXPECT_EQ(rig.host.caption, c.caption);
    }
}

// A paste chosen from the tray menu while the previous paste's apply lets
// messages run: the desktop and the caption end on the later picture.
TEST(DesktopWallpaper, AnApplyRunInsideAnotherOnesMessagePumpIsTheOneThatStays) {
    for (int pump : {1, 2}) {
        SCOPED_TRACE(pump);
        SlideRig rig;
        int pumped = 0;
        rig.host.onProcessMessages = [&] {
            if (++pumped == pump) rig.desktop.ApplyWallpaper("C:\\Pics\\Second.bmp", false, false);
        };
        EXPECT_TRUE(rig.desktop.ApplyWallpaper("C:\\Pics\\First.bmp", true, false));
        ASSERT_FALSE(rig.wallpaper.log.empty());
        EXPECT_EQ(rig.wallpaper.log.back(), "set C:\\Pics\\Second.bmp 0");
        EXPECT_EQ(rig.desktop.LastAppliedWallpaper(), "C:\\Pics\\Second.bmp");
        EXPECT_FALSE(rig.desktop.LastAppliedTile());
        EXPECT_EQ(rig.host.caption, "Second.bmp - Pictavo");
    }
}

TEST(DesktopWallpaper, PathLongerThan256CharactersIsRefusedAndNothingChanges) {
    SlideRig rig;
    rig.desktop.ApplyWallpaper("C:\\old.bmp", true, true);
    const Log before = rig.wallpaper.log;

    const std::string longest = "C:\\" + std::string(256 - 7, 'a') + ".bmp";
    const std::string tooLong = "C:\\" + std::string(256 - 6, 'a') + ".bmp";
    ASSERT_EQ(longest.size(), 256u);
    ASSERT_EQ(tooLong.size(), 257u);

    EXPECT_FALSE(rig.desktop.ApplyWallpaper(tooLong, false, true));
    ASSERT_EQ(rig.host.errors.size(), 1u);
    EXPECT_NE(rig.host.errors[0].find(tooLong), std::string::npos) << rig.host.errors[0];
    EXPECT_EQ(rig.wallpaper.log, before);
    EXPECT_EQ(rig.wallpaper.values.tileWallpaper, "1");
    EXPECT_EQ(rig.desktop.LastSavedWallpaper(), "C:\\old.bmp");
    EXPECT_EQ(rig.desktop.LastAppliedWallpaper(), "C:\\old.bmp");
    EXPECT_EQ(rig.host.caption, "old.bmp - Pictavo");

    EXPECT_TRUE(rig.desktop.ApplyWallpaper(longest, false, true));
    EXPECT_EQ(rig.wallpaper.log.back(), "set " + longest + " 3");
    EXPECT_EQ(rig.host.errors.size(), 1u);
}

TEST(DesktopWallpaper, ReadDesktopWallpaperKeepsThePathAndCountsAMissingTileAsTiled) {
    const struct {
        bool keysExist;
        const char* wallpaper;
        const char* tileValue;
        bool preset;
        const char* path;
        bool tile;
    } cases[] = {
        {true, "C:\\Pics\\Sea.BMP", "0", true, "C:\\Pics\\Sea.BMP", false},
        {true, "C:\\Pics\\Sea.BMP", "1", false, "C:\\Pics\\Sea.BMP", true},
        {true, "C:\\Pics\\Sea.BMP", "", false, "C:\\Pics\\Sea.BMP", true},  // value missing
        {true, "", "2", false, "", true},
        {false, "C:\\Pics\\Sea.BMP", "0", false, "", false},  // keys missing: tile as given
        {false, "C:\\Pics\\Sea.BMP", "0", true, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.keysExist << " '" << c.wallpaper << "' '"
                                          << c.tileValue << "' " << c.preset);
        SlideRig rig;
        rig.wallpaper.values.keysExist = c.keysExist;
        rig.wallpaper.values.wallpaper = c.wallpaper;
        rig.wallpaper.values.tileWallpaper = c.tileValue;
        bool tile = c.preset;
        EXPECT_EQ(rig.desktop.ReadDesktopWallpaper(tile), c.path);
        EXPECT_EQ(tile, c.tile);
    }
}

TEST(DesktopWallpaper, FirstReadFillsLastSavedAndLaterReadsLeaveIt) {
    SlideRig rig;
    rig.wallpaper.values.wallpaper = "C:\\First.bmp";
    rig.wallpaper.values.tileWallpaper = "0";
    bool tile = true;
    rig.desktop.ReadDesktopWallpaper(tile);
    EXPECT_EQ(rig.desktop.LastSavedWallpaper(), "C:\\First.bmp");
    EXPECT_FALSE(rig.desktop.LastSavedTile());

    rig.wallpaper.values.wallpaper = "C:\\Second.bmp";
    rig.wallpaper.values.tileWallpaper = "1";
    EXPECT_EQ(rig.desktop.ReadDesktopWallpaper(tile), "C:\\Second.bmp");
    EXPECT_EQ(rig.desktop.LastSavedWallpaper(), "C:\\First.bmp");
    EXPECT_FALSE(rig.desktop.LastSavedTile());
}

TEST(DesktopWallpaper, CurrentWallpaperIsOurUnsavedChangeUntilSomebodyElseChangesTheProfile) {
    SlideRig rig;
    rig.wallpaper.values.wallpaper = "C:\\Pics\\Old.bmp";
    rig.wallpaper.values.tileWallpaper = "1";

    // Nothing applied yet: the profile's wallpaper.
    TDesktopWallpaper::Wallpaper current = rig.desktop.GetCurrentWallpaper();
    EXPECT_EQ(current.path, "C:\\Pics\\Old.bmp");
    EXPECT_TRUE(current.tile);

    rig.desktop.ApplyWallpaper("C:\\Pics\\New.bmp", false, false);
    current = rig.desktop.GetCurrentWallpaper();
    EXPECT_EQ(current.path, "C:\\Pics\\New.bmp");
    EXPECT_FALSE(current.tile);
    // The profile alone still names the old picture, with the new tile.
    bool tile = true;
    EXPECT_EQ(rig.desktop.ReadDesktopWallpaper(tile), "C:\\Pics\\Old.bmp");
    EXPECT_FALSE(tile);

    // Another program saves a wallpaper of its own.
    rig.wallpaper.values.wallpaper = "C:\\Other\\Theirs.BMP";
    rig.wallpaper.values.tileWallpaper = "1";
    current = rig.desktop.GetCurrentWallpaper(false);
    EXPECT_EQ(current.path, "C:\\Other\\Theirs.BMP");
    EXPECT_TRUE(current.tile);

    // A persisted change of ours is the current one again.
    rig.desktop.ApplyWallpaper("C:\\Pics\\Saved.bmp", false, true);
    current = rig.desktop.GetCurrentWallpaper();
    EXPECT_EQ(current.path, "C:\\Pics\\Saved.bmp");
    EXPECT_FALSE(current.tile);
}

TEST(DesktopWallpaper, LocateSelectsTheCurrentWallpaperInTheList) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    const std::string b = rig.AddPicture("B.bmp");
    rig.AddPicture("c.bmp");

    rig.wallpaper.values.wallpaper = rig.dir / "B.BMP";
    EXPECT_TRUE(rig.desktop.LocateCurrentWallpaper());
    EXPECT_EQ(FullPath(rig.store.cdtInventory().Record()), b);
    EXPECT_EQ(rig.inventoryHost.previews, 1);

    rig.wallpaper.values.wallpaper = rig.dir / "elsewhere.bmp";
    EXPECT_FALSE(rig.desktop.LocateCurrentWallpaper());
    EXPECT_EQ(FullPath(rig.store.cdtInventory().Record()), b);
}

// "\x83\x41\x83\x43" is "アイ" under code page 932: the second byte of each
// character is an ASCII capital, and lowered it would name other characters.
// Whichever road the picture takes to the desktop, the system gets it as stored.
TEST(DesktopWallpaper, ADoubleByteNameReachesTheSystemAsStored) {
    SlideRig rig;
    const std::string picture = rig.AddPicture("\x83\x41\x83\x43.bmp", true, false);
    const std::string other = rig.AddPicture("\x83\x41\x83\x45.bmp", true, false);  // アウ
    const std::string key = "\x83\x61\x83\x63.bmp";

    rig.PutListCursorOn(key);
    rig.desktop.tbnSetWallpaperClick();
    EXPECT_EQ(rig.wallpaper.values.calls.back().path, picture);

    // As the exit reads it back from the profile and applies it again.
    const TDesktopWallpaper::Wallpaper current = rig.desktop.GetCurrentWallpaper();
    EXPECT_EQ(current.path, picture);
    EXPECT_TRUE(rig.desktop.LocateCurrentWallpaper());

    // The slideshow's choice: the other one.
    rig.wallpaper.values.calls.clear();
    rig.slideShow.ShowNextSlide();
    ASSERT_EQ(rig.wallpaper.values.calls.size(), 1u);
    EXPECT_EQ(rig.wallpaper.values.calls[0].path, other);
    EXPECT_EQ(rig.store.Table().Count(), 2u);
}

TEST(DesktopWallpaper, NoneStopsTheSlideshowAndClearsTheWallpaper) {
    SlideRig rig;
    rig.desktop.tbnNoneClick();
    EXPECT_FALSE(Checked(rig.pages.chkAutoChange));
    EXPECT_EQ(rig.host.autoChangeClicks, 1);  // the slideshow heard of it
    EXPECT_EQ(rig.wallpaper.log, (Log{"tile 1", "set  3"}));
    EXPECT_EQ(rig.host.caption, "(none) - Pictavo");
}

TEST(DesktopWallpaper, ClearingTheWallpaperWindowsRefusesIsToldAsNoneAndTheCaptionStays) {
    SlideRig rig;
    ASSERT_TRUE(rig.desktop.ApplyWallpaper("C:\\Pics\\Dawn.bmp", true, true));
    rig.wallpaper.values.refused = {""};
    rig.wallpaper.values.refusal = ERROR_ACCESS_DENIED;
    rig.desktop.tbnNoneClick();
    EXPECT_EQ(rig.host.errors, Log{"Unable to set (none) as the wallpaper: Windows refused it (" +
                                   SystemErrorText(ERROR_ACCESS_DENIED) + ")."});
    EXPECT_EQ(rig.host.caption, "Dawn.bmp - Pictavo");
    EXPECT_EQ(rig.desktop.GetCurrentWallpaper().path, "C:\\Pics\\Dawn.bmp");
}

TEST(DesktopWallpaper, SetFromListAppliesTheListsPictureAndMovesTheSlideshowThere) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    const std::string beach = rig.AddPicture("Beach.BMP", true, false);
    rig.PutSlideCursorOn("a.bmp");
    rig.PutListCursorOn("beach.bmp");

    rig.desktop.tbnSetWallpaperClick();
    EXPECT_EQ(rig.wallpaper.log, (Log{"tile 0", "set " + beach + " 3"}));
    EXPECT_EQ(FullPath(rig.store.cdtSlideShow().Record()), beach);
    EXPECT_EQ(rig.host.restarts, 1);
    EXPECT_EQ(rig.desktop.LastSavedWallpaper(), beach);

    // From the menu, the slideshow stays put when it does not follow manual changes.
    SetChecked(rig.design.chkSyncWithManualChange, false);
    rig.PutSlideCursorOn("a.bmp");
    rig.desktop.mnuSetWallpaper1Click();
    EXPECT_EQ(rig.store.cdtSlideShow().Record().LCFilename, "a.bmp");
    EXPECT_EQ(rig.host.restarts, 2);
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);
}

TEST(DesktopWallpaper, ManualSetRestartsTheSlideCountdown) {
    SlideRig rig;
    rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp");
    rig.SetInterval(0, 5, 0);
    rig.clock.Advance(290000);  // the next slide is due in 10 s
    ASSERT_EQ(rig.wallpaper.Applied(), 0u);

    rig.desktop.tbnSetWallpaperClick();
    ASSERT_EQ(rig.wallpaper.Applied(), 1u);
    rig.clock.Advance(300000 - 1);
    EXPECT_EQ(rig.wallpaper.Applied(), 1u);
    rig.clock.Advance(1);  // a full interval after the manual set
    EXPECT_EQ(rig.wallpaper.Applied(), 2u);
}

TEST(DesktopWallpaper, DisablingTheCurrentWallpaperTakesItOutAndMovesOn) {
    SlideRig rig;
    SetChecked(rig.pages.chkRandom, false);
    rig.AddPicture("a.bmp");
    const std::string b = rig.AddPicture("b.bmp");
    const std::string c = rig.AddPicture("c.bmp");
    rig.desktop.ApplyWallpaper(b, true, true);
    rig.PutSlideCursorOn("c.bmp");
    const int sender = 0;

    rig.desktop.DisableThisWallpaperImage1Click(&sender);
    ASSERT_TRUE(rig.store.cdtData().Seek("b.bmp", LowerCase(rig.dir.Path())));
    EXPECT_FALSE(rig.store.cdtData().Record().Enabled);
    EXPECT_TRUE(rig.ListSaved());
    // The slideshow goes on from the disabled picture.
    EXPECT_EQ(rig.AppliedPaths(), (std::vector<std::string>{b, c}));
}

TEST(DesktopWallpaper, DisablingAnUnlistedWallpaperOnlyShowsTheNextSlide) {
    SlideRig rig;
    SetChecked(rig.pages.chkRandom, false);
    const std::string a = rig.AddPicture("a.bmp");
    rig.AddPicture("b.bmp", false);
    rig.desktop.ApplyWallpaper("C:\\Elsewhere\\x.bmp", true, true);

    rig.desktop.DisableThisWallpaperImage1Click(&rig);
    EXPECT_FALSE(rig.ListSaved());
    EXPECT_EQ(rig.host.nextSlides, 1);
    EXPECT_EQ(rig.AppliedPaths().back(), a);
    ASSERT_TRUE(rig.store.cdtData().Seek("a.bmp", LowerCase(rig.dir.Path())));
    EXPECT_TRUE(rig.store.cdtData().Record().Enabled);
}

TEST(DesktopWallpaper, ToggleTiledFlipsTheListedPictureAndAppliesIt) {
    SlideRig rig;
    const std::string b = rig.AddPicture("b.bmp", true, true);
    rig.desktop.ApplyWallpaper(b, true, true);
    rig.wallpaper.log.clear();
    const int sender = 0;

    rig.desktop.mnuToggleTiledClick(&sender);
    EXPECT_FALSE(rig.store.cdtInventory().Record().Tile);
    EXPECT_EQ(rig.wallpaper.log, (Log{"tile 0", "set " + b + " 3"}));
    EXPECT_TRUE(rig.ListSaved());

    rig.desktop.mnuToggleTiledClick(&sender);
    EXPECT_TRUE(rig.store.cdtInventory().Record().Tile);
    EXPECT_EQ(rig.wallpaper.log.back(), "set " + b + " 3");
    EXPECT_EQ(rig.wallpaper.log[2], "tile 1");
}

TEST(DesktopWallpaper, ToggleTiledOfAnUnlistedWallpaperDoesNothing) {
    SlideRig rig;
    rig.AddPicture("b.bmp", true, true);
    rig.desktop.ApplyWallpaper("C:\\Elsewhere\\x.bmp", true, true);
    rig.wallpaper.log.clear();

    rig.desktop.mnuToggleTiledClick(&rig);
    EXPECT_TRUE(rig.wallpaper.log.empty());
    EXPECT_FALSE(rig.ListSaved());
    EXPECT_EQ(rig.host.restarts, 0);
    EXPECT_TRUE(rig.store.cdtData().Record().Tile);
}

// ---------------------------------------------------------------------------
// The real registry and wallpaper call of the test prefix.

// The desktop key's values as found, put back at the end.
class SavedDesktopValues {
public:
    SavedDesktopValues() {
        for (Value& v : values_) v.data = Read(v.name);
    }
    ~SavedDesktopValues() {
        UniqueHKey key = Open(KEY_SET_VALUE);
        for (const Value& v : values_) {
            if (v.data) {
                ::RegSetValueExA(key.Get(), v.name, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(v.data->c_str()),
                                 static_cast<DWORD>(v.data->size() + 1));
            } else {
                ::RegDeleteValueA(key.Get(), v.name);
            }
        }
        // The shown wallpaper too, without touching the profile again.
        std::string previous = values_[0].data.value_or("");
        ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, previous.data(), 0);
    }

    static std::optional<std::string> Read(const char* name) {
        UniqueHKey key = Open(KEY_QUERY_VALUE);
        char buffer[1024];
        DWORD size = sizeof(buffer), type = 0;
        if (!key || ::RegQueryValueExA(key.Get(), name, nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::string(buffer, size && buffer[size - 1] == '\0' ? size - 1 : size);
    }

private:
    static UniqueHKey Open(REGSAM access) {
        UniqueHKey key;
        ::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, access, key.Put());
        return key;
    }
    struct Value {
        const char* name;
        std::optional<std::string> data;
    } values_[2] = {{"Wallpaper", {}}, {"TileWallpaper", {}}};
};

// The smallest valid picture: one pixel, 24 bits.
std::string OnePixelBitmap() {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = sizeof(file) + sizeof(info) + 4;
    file.bfOffBits = sizeof(file) + sizeof(info);
    info.biSize = sizeof(info);
    info.biWidth = 1;
    info.biHeight = 1;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = 4;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes.append("\x20\x80\xC0\x00", 4);
    return bytes;
}

// No settings pages here: the notification is sent, as the program always does.
struct PagelessHost : testing::RecordingMainHost {
    bool SendChangeNotification() const override { return true; }
};

TEST(DesktopWallpaperSystem, ProfileKeepsOnlyPersistedWallpaperButAlwaysTheTile) {
    testing::TempDir dir;
    const std::string first = dir.Write("First.bmp", OnePixelBitmap());
    const std::string second = dir.Write("Second.bmp", OnePixelBitmap());
    ASSERT_EQ(OnePixelBitmap().size(), 58u);
    SavedDesktopValues saved;

    testing::VirtualTimers clock;
    TInputTimeout timeout(clock, 2250);
    testing::RecordingInventoryHost inventoryHost;
    TInventoryStore store(timeout, inventoryHost, inventoryHost);
    PagelessHost host;
    TDesktopWallpaper desktop(SystemWallpaper(), store, host.desktopUi, host, host, "Pictavo");

    ASSERT_TRUE(desktop.ApplyWallpaper(first, false, true));
    EXPECT_EQ(LowerCase(SavedDesktopValues::Read("Wallpaper").value_or("")), LowerCase(first));
    EXPECT_EQ(SavedDesktopValues::Read("TileWallpaper"), "0");

    ASSERT_TRUE(desktop.ApplyWallpaper(second, true, false));
    EXPECT_EQ(SavedDesktopValues::Read("TileWallpaper"), "1");
    EXPECT_EQ(LowerCase(SavedDesktopValues::Read("Wallpaper").value_or("")), LowerCase(first));

    const TDesktopWallpaper::Wallpaper current = desktop.GetCurrentWallpaper();
    EXPECT_EQ(current.path, second);
    EXPECT_TRUE(current.tile);
}

}  // namespace
}  // namespace pictavo
