// The real program setting pictures that are not bitmaps, and pictures
// larger than the screen, as the desktop wallpaper: they reach the desktop as
// the program's own bitmap while the program keeps naming the picture.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "harness/OtherPrograms.h"
#include "imaging/PictureRules.h"
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"
#include "preview/PreviewPage.h"
#include "support/PictureFiles.h"

using namespace e2e;
using pictavo::PixelSize;
using pictavo::testing::NearColour;
using pictavo::testing::PictureFormat;

namespace {

constexpr std::uint32_t kSea = 0x2060C0, kSand = 0xE0C040, kRed = 0xD02020, kBlue = 0x2020D0;

// Pictures in a folder of the program, listed (centred) before it starts.
class Pictures {
public:
    explicit Pictures(const Program& program) : program_(program), folder_(program.Folder() + "\\Pics") {
        ::CreateDirectoryA(folder_.c_str(), nullptr);
    }
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
    void List(const std::string& name) {
        pictavo::InventoryRecord record;
        record.Enabled = true;
        record.Tile = false;
        record.FileName = name;
        record.Location = folder_;
        record.Size = static_cast<std::int32_t>(ReadFile(Path(name)).size());
        table_.Append(record);
        ::CreateDirectoryA(program_.DataDir().c_str(), nullptr);
        WriteFile(program_.TablePath(), pictavo::SerializeTable(table_));
    }

private:
    const Program& program_;
    std::string folder_;
    pictavo::InventoryTable table_;
};

std::string OwnBitmap(const Program& program) { return program.Folder() + "\\pictavo.bmp"; }

int SelectedRow(HWND grid) {
    DWORD_PTR row = 0;
    ::SendMessageTimeoutA(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED,
                          SMTO_NORMAL, 5000, &row);
    return static_cast<int>(static_cast<LRESULT>(row));
}

// Selects the row with the list's own arrow keys, then presses the toolbar's
// "set as wallpaper".
void SetRowAsWallpaper(HWND main, int row) {
    HWND page = FindChildByClass(main, "TPreviewPage");
    HWND grid = FindChildByClass(page, "SysListView32");
    HWND toolbar = FindChildByClass(page, "ToolbarWindow32");
    ASSERT_TRUE(page && grid && toolbar);
    for (int i = SelectedRow(grid); i < row; ++i) {
        ::PostMessageA(grid, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(grid, WM_KEYUP, VK_DOWN, 0xC0000001);
    }
    ASSERT_TRUE(WaitFor([&] { return SelectedRow(grid) == row; })) << SelectedRow(grid);
    ::PostMessageA(page, WM_COMMAND,
                   MAKEWPARAM(pictavo::TPreviewPage::idSetWallpaper, BN_CLICKED),
                   reinterpret_cast<LPARAM>(toolbar));
}

std::uint32_t ScreenColour(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// The desktop shows the colour there, once it has been painted.
::testing::AssertionResult DesktopShows(int x, int y, std::uint32_t colour) {
    if (WaitFor([&] { return NearColour(ScreenColour(x, y), colour, 24); })) {
        return ::testing::AssertionSuccess();
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%06X at %d,%d, not %06X", ScreenColour(x, y), x, y, colour);
    return ::testing::AssertionFailure() << text;
}

bool NamesOwnBitmap(const Program& program) {
    return Lower(DesktopValue("Wallpaper")) == Lower(OwnBitmap(program));
}

std::optional<PixelSize> BitmapSize(const std::string& path) {
    return pictavo::HeaderPixelSize(ReadFile(path).substr(0, 64));
}

}  // namespace

TEST(WallpaperPictures, AJpegReachesTheDesktopAndIsTheCurrentWallpaperAfterAKillAndARestart) {
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    pictavo::testing::WritePicture(pictures.Path("Alpha.bmp"), PictureFormat::Bmp, 40, 40, kRed);
    pictavo::testing::WritePicture(pictures.Path("Beach.jpg"), PictureFormat::Jpeg, 300, 200,
                                   [](int x, int) { return x < 150 ? kSea : kSand; });
    pictures.List("Alpha.bmp");
    pictures.List("Beach.jpg");

    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    SetRowAsWallpaper(main, 1);
    ASSERT_TRUE(WaitFor([&] { return NamesOwnBitmap(program); })) << DesktopValue("Wallpaper");
    EXPECT_TRUE(WaitFor([&] { return Caption(main) == "Beach.jpg - Pictavo"; })) << Caption(main);
    EXPECT_EQ(DesktopValue("TileWallpaper"), "0");
    EXPECT_EQ(BitmapSize(OwnBitmap(program)), (PixelSize{300, 200}));
    ::ShowWindow(main, SW_HIDE);
    // Centred on the 1024 by 768 desktop: the sea on the left, the sand on the right.
    const int cx = ::GetSystemMetrics(SM_CXSCREEN) / 2, cy = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    EXPECT_TRUE(DesktopShows(cx - 75, cy, kSea));
    EXPECT_TRUE(DesktopShows(cx + 75, cy, kSand));
    SaveScreenshot("wallpaper-jpeg");

    // Killed: nothing runs at exit, yet the restarted program names the JPEG.
    program.Kill();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    main = program.MainWindow();
    EXPECT_TRUE(WaitFor([&] { return Caption(main) == "Beach.jpg - Pictavo"; })) << Caption(main);
    HWND grid = FindChildByClass(FindChildByClass(main, "TPreviewPage"), "SysListView32");
    EXPECT_TRUE(WaitFor([&] { return SelectedRow(grid) == 1; })) << SelectedRow(grid);

    // The exit renders the JPEG again and keeps the bitmap the desktop shows.
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_TRUE(NamesOwnBitmap(program));
    EXPECT_TRUE(Exists(OwnBitmap(program)));
    EXPECT_EQ(Lower(program.Ini("Slideshow", "LastWallpaper")), Lower(pictures.Path("Beach.jpg")));
    EXPECT_TRUE(DesktopShows(cx - 75, cy, kSea));
}

// A game switching its resolution gets no wallpaper rendered and broadcast
// under it: the change of the screen waits until the game has gone.
TEST(WallpaperPictures, AScreenChangeUnderAFullScreenProgramIsRenderedOnlyOnceItHasGone) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    pictavo::testing::WritePicture(pictures.Path("Beach.jpg"), PictureFormat::Jpeg, 300, 200, kSea);
    pictures.List("Beach.jpg");
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    SetRowAsWallpaper(main, 0);
    ASSERT_TRUE(WaitFor([&] { return NamesOwnBitmap(program); })) << DesktopValue("Wallpaper");
    ::ShowWindow(main, SW_HIDE);
    const std::string rendered = FileStamp(OwnBitmap(program));

    StandInWindow game(true);
    ASSERT_TRUE(game.Started());
    ASSERT_NE(game.WaitForForeground(), nullptr);
    ::PostMessageA(main, WM_DISPLAYCHANGE, 32,
                   MAKELPARAM(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_TRUE(
        trace.WaitForLine("SlideShow.DisplayChanged: held back while a full-screen program runs"));
    EXPECT_EQ(FileStamp(OwnBitmap(program)), rendered);

    ASSERT_TRUE(game.Close());
    EXPECT_TRUE(WaitFor([&] { return FileStamp(OwnBitmap(program)) != rendered; }));
    EXPECT_TRUE(NamesOwnBitmap(program));
    EXPECT_FALSE(program.MessageBoxOpen());
}

// A run started by the short (8.3) form of the program's path names the
// desktop's bitmap in that form. The next run knows the bitmap as its own
// all the same: it names the picture, and keeps the bitmap at exit.
TEST(WallpaperPictures, TheDesktopsBitmapSurvivesARunStartedByTheShortPath) {
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    pictavo::testing::WritePicture(pictures.Path("Beach.jpg"), PictureFormat::Jpeg, 300, 200, kSea);
    pictures.List("Beach.jpg");
    auto shortForm = [](const std::string& path) {
        char shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(shortPath) : std::string();
    };
    const std::string shortExe = shortForm(program.ExePath());
    ASSERT_NE(Lower(shortExe), Lower(program.ExePath()))
        << "the system gave no short form of " << program.ExePath() << " that differs from it";

    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    SetRowAsWallpaper(program.MainWindow(), 0);
    ASSERT_TRUE(WaitFor([&] { return NamesOwnBitmap(program); })) << DesktopValue("Wallpaper");
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    ASSERT_TRUE(Exists(OwnBitmap(program)));

    // Wine names a program started by its short path by its long one, where
    // Windows keeps the short form: the desktop is given the bitmap's short
    // form, as such a run on Windows leaves it.
    const std::string shortBitmap = shortForm(OwnBitmap(program));
    ASSERT_NE(Lower(shortBitmap), Lower(OwnBitmap(program)));
    SetDesktopWallpaper(shortBitmap, false);
    ASSERT_EQ(Lower(DesktopValue("Wallpaper")), Lower(shortBitmap));

    program.StartAs(shortExe, ":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    EXPECT_TRUE(WaitFor([&] { return Caption(main) == "Beach.jpg - Pictavo"; })) << Caption(main);
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_TRUE(NamesOwnBitmap(program)) << DesktopValue("Wallpaper");
    EXPECT_TRUE(Exists(OwnBitmap(program)));
    EXPECT_EQ(BitmapSize(OwnBitmap(program)), (PixelSize{300, 200}));
    EXPECT_EQ(Lower(program.Ini("Slideshow", "LastWallpaper")), Lower(pictures.Path("Beach.jpg")));
}

TEST(WallpaperPictures, ALargePictureIsShrunkToTheScreenAndAnExifRotatedOneIsUpright) {
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    // 2,048 by 1,200: fitted to 1,024 by 768 it is 1,024 by 600.
    pictavo::testing::WritePicture(pictures.Path("Large.png"), PictureFormat::Png, 2048, 1200,
                                   [](int x, int) { return x < 1024 ? kSea : kSand; });
    // Stored 240 wide and 120 high, red left and blue right; orientation 6
    // turns it a quarter clockwise: 120 wide, 240 high, red on top.
    pictavo::testing::WriteJpegWithOrientation(pictures.Path("Turned.jpg"), 240, 120,
                                               [](int x, int) { return x < 120 ? kRed : kBlue; },
                                               6);
    pictures.List("Large.png");
    pictures.List("Turned.jpg");

    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 768);

    SetRowAsWallpaper(main, 0);
    ASSERT_TRUE(WaitFor([&] { return Caption(main) == "Large.png - Pictavo"; })) << Caption(main);
    EXPECT_TRUE(NamesOwnBitmap(program));
    EXPECT_EQ(BitmapSize(OwnBitmap(program)), (PixelSize{1024, 600}));
    ::ShowWindow(main, SW_HIDE);
    EXPECT_TRUE(DesktopShows(100, height / 2, kSea));
    EXPECT_TRUE(DesktopShows(width - 100, height / 2, kSand));
    SaveScreenshot("wallpaper-shrunk");

    ::ShowWindow(main, SW_SHOW);
    SetRowAsWallpaper(main, 1);
    ASSERT_TRUE(WaitFor([&] { return Caption(main) == "Turned.jpg - Pictavo"; })) << Caption(main);
    EXPECT_EQ(BitmapSize(OwnBitmap(program)), (PixelSize{120, 240}));
    ::ShowWindow(main, SW_HIDE);
    // Stored as it is, the top and bottom would be the desktop's own colour.
    EXPECT_TRUE(DesktopShows(width / 2, height / 2 - 80, kRed));
    EXPECT_TRUE(DesktopShows(width / 2, height / 2 + 80, kBlue));
    SaveScreenshot("wallpaper-exif-upright");
}

TEST(WallpaperPictures, ACorruptJpegIsNotSetAndTheUserIsToldWhichFile) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    pictavo::testing::WriteCorruptJpeg(pictures.Path("Broken.jpg"));
    pictures.List("Broken.jpg");
    const std::string before = DesktopValue("Wallpaper");

    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    SetRowAsWallpaper(program.MainWindow(), 0);
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Unable to set " + pictures.Path("Broken.jpg") +
                             " as the wallpaper: the picture cannot be read.");
    box->Press(IDOK);
    EXPECT_EQ(DesktopValue("Wallpaper"), before);
    EXPECT_FALSE(Exists(OwnBitmap(program)));
    EXPECT_TRUE(Exists(pictures.Path("Broken.jpg")));
    EXPECT_TRUE(WaitFor([&] {
        for (const std::string& line : trace.Texts()) {
            if (line.find("Broken.jpg") != std::string::npos &&
                line.find("HRESULT 0x") != std::string::npos) {
                return true;
            }
        }
        return false;
    }));
}

// A picture whose header states more pixels than memory can hold: the user
// is told so, with its size, and the desktop stays as it was.
TEST(WallpaperPictures, APictureTooLargeForTheMemoryIsToldSoWithItsSize) {
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    WriteFile(pictures.Path("Huge.png"), pictavo::testing::HugePng(40000, 40000));
    pictures.List("Huge.png");
    const std::string before = DesktopValue("Wallpaper");

    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    SetRowAsWallpaper(program.MainWindow(), 0);
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Unable to set " + pictures.Path("Huge.png") +
                             " as the wallpaper: there is not enough memory to show the "
                             "picture (40000 by 40000 pixels).");
    box->Press(IDOK);
    EXPECT_EQ(DesktopValue("Wallpaper"), before);
    EXPECT_FALSE(Exists(OwnBitmap(program)));
}

// The picture is fine but the desktop's bitmap beside the program cannot be
// replaced (here it is marked read-only): the user is told that, not that the
// picture is unreadable, and the desktop and the bitmap stay as they were.
TEST(WallpaperPictures, ABitmapForTheDesktopThatCannotBeWrittenIsToldAsSuch) {
    Program program;
    program.QuietSettings();
    Pictures pictures(program);
    pictavo::testing::WritePicture(pictures.Path("Beach.jpg"), PictureFormat::Jpeg, 60, 40, kSea);
    pictures.List("Beach.jpg");
    WriteFile(OwnBitmap(program), "kept as it is");
    ASSERT_TRUE(::SetFileAttributesA(OwnBitmap(program).c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string before = DesktopValue("Wallpaper");

    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    SetRowAsWallpaper(program.MainWindow(), 0);
    auto box = program.WaitForMessageBox();
    ::SetFileAttributesA(OwnBitmap(program).c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(box.has_value());
    const std::string told = "Unable to set " + pictures.Path("Beach.jpg") +
                             " as the wallpaper: the desktop's bitmap " + OwnBitmap(program) +
                             " cannot be written: ";
    EXPECT_EQ(box->text.substr(0, told.size()), told) << box->text;
    EXPECT_GT(box->text.size(), told.size()) << "the system's reason is missing";
    box->Press(IDOK);
    EXPECT_EQ(DesktopValue("Wallpaper"), before);
    EXPECT_EQ(ReadFile(OwnBitmap(program)), "kept as it is");
}
