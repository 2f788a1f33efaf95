// The "&Preview" page of the real program: the list of pictures, the preview
// and its size limit, pictures that vanished or cannot be read, the toolbar,
// the context menu and the keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "preview/PreviewPage.h"
#include "inventory/TableFile.h"
#include "support/BitmapFile.h"
#include "support/PictureFiles.h"

using namespace e2e;
using pictavo::TPreviewPage;

namespace {

// A 24-bit bitmap of the given size in a diagonal pattern, padded with
// trailing bytes to `fileSize` when that is larger.
std::string Picture(int width, int height, std::size_t fileSize = 0) {
    std::string content = pictavo::testing::Bitmap24(width, height, [](int x, int y) {
        return ((x + y) / 16) % 2 == 0 ? 0x1E78C8u : 0xDCA028u;
    });
    if (content.size() < fileSize) content.resize(fileSize, '\0');
    return content;
}

// Pictures in a folder of their own, listed in the program's table before it starts.
class PictureList {
public:
    TempFolder folder;
    pictavo::InventoryTable table;

    std::string Add(const std::string& name, const std::string& content, bool enabled = true) {
        const std::string path = folder / name;
        WriteFile(path, content);
        pictavo::InventoryRecord record;
        record.Enabled = enabled;
        record.Tile = false;
        record.FileName = name;
        record.Location = folder.Path();
        record.Size = static_cast<std::int32_t>(content.size());
        table.Append(record);
        return path;
    }
    void WriteTo(const Program& program) {
        ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
        WriteFile(program.TablePath(), pictavo::SerializeTable(table));
    }
};

std::string TextOf(HWND control) {
    char text[1024] = {};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                          SMTO_NORMAL, 5000, &result);
    return text;
}

// The page's windows in the running program.
struct Page {
    HWND main = nullptr, page = nullptr, message = nullptr, picture = nullptr, grid = nullptr,
         toolbar = nullptr;

    static Page Of(const Program& program) {
        Page p;
        p.main = program.MainWindow();
        p.page = FindChildByClass(p.main, "TPreviewPage");
        p.message = FindChildByClass(p.page, "TPreviewMessage");
        p.picture = FindChildByClass(p.page, "TPreviewPicture");
        p.grid = FindChildByClass(p.page, "SysListView32");
        p.toolbar = FindChildByClass(p.page, "ToolbarWindow32");
        return p;
    }
    std::string Message() const { return TextOf(message); }
    bool WaitForMessage(const std::string& text) const {
        return WaitFor([&] { return Message() == text; });
    }
    int Rows() const {
        DWORD_PTR count = 0;
        ::SendMessageTimeoutA(grid, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count);
        return static_cast<int>(count);
    }
    int SelectedRow() const {
        DWORD_PTR row = 0;
        ::SendMessageTimeoutA(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED,
                              SMTO_NORMAL, 5000, &row);
        return static_cast<int>(static_cast<LRESULT>(row));
    }
    // A toolbar button pressed: the toolbar tells its parent, the page.
    void Press(int id) const {
        ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(toolbar));
    }
    void ClickMessage() const {
        ::PostMessageA(message, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ::PostMessageA(message, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    }
    bool PictureVisible() const { return ::IsWindowVisible(picture) != FALSE; }
    // The picture's place in the message panel's client area.
    RECT PictureRect() const {
        RECT r{};
        ::GetWindowRect(picture, &r);
        ::MapWindowPoints(nullptr, message, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    RECT MessageClient() const {
        RECT r{};
        ::GetClientRect(message, &r);
        return r;
    }
};

// The picture shows at its own size, centred, when it fits the preview area;
// a larger one fills the area, stretched.
bool PicturePlaced(const Page& page, int width, int height) {
    if (!page.PictureVisible() || !page.Message().empty()) return false;
    const RECT r = page.PictureRect();
    const RECT area = page.MessageClient();
    if (width > area.right || height > area.bottom) {
        return r.left == 0 && r.top == 0 && r.right == area.right && r.bottom == area.bottom;
    }
    return r.right - r.left == width && r.bottom - r.top == height &&
           r.left == (area.right - width) / 2 && r.top == (area.bottom - height) / 2;
}

::testing::AssertionResult ShowsPicture(const Page& page, int width, int height) {
    if (WaitFor([&] { return PicturePlaced(page, width, height); })) {
        return ::testing::AssertionSuccess();
    }
    const RECT r = page.PictureRect();
    const RECT area = page.MessageClient();
    return ::testing::AssertionFailure()
           << "the preview reads \"" << page.Message() << "\", picture "
           << (page.PictureVisible() ? "shown" : "hidden") << " at " << r.left << "," << r.top
           << "-" << r.right << "," << r.bottom << " in " << area.right << "x" << area.bottom;
}

}  // namespace

TEST(Preview, ListsPicturesAndPreviewsWithinTheLimit) {
    Program program;
    program.QuietSettings();
    PictureList list;
    // In the list's order: by lower-case name.
    list.Add("big.bmp", Picture(600, 400));                       // 720,054 bytes
    list.Add("exact.bmp", Picture(100, 60, 250000));              // exactly the limit
    list.Add("sky.bmp", Picture(120, 80, 300000), false);         // over it
    list.Add("small.bmp", Picture(64, 48));
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "4 Pictures in List"); }));
    ASSERT_TRUE(program.WaitUntilIdle());
    const Page page = Page::Of(program);
    ASSERT_NE(page.page, nullptr);
    EXPECT_TRUE(::IsWindowVisible(page.page));
    EXPECT_EQ(page.Rows(), 4);
    EXPECT_EQ(page.SelectedRow(), 0);
    // The first picture is over the limit: it waits for a click.
    EXPECT_TRUE(page.WaitForMessage("Click Here to Preview big.bmp (720K)")) << page.Message();
    SaveScreenshot("preview-list");

    page.Press(TPreviewPage::idNext);
    EXPECT_TRUE(ShowsPicture(page, 100, 60));
    EXPECT_EQ(page.SelectedRow(), 1);

    page.Press(TPreviewPage::idNext);
    EXPECT_TRUE(page.WaitForMessage("Click Here to Preview sky.bmp (300K)")) << page.Message();
    EXPECT_FALSE(page.PictureVisible());
    SaveScreenshot("preview-click-to-preview");
    page.ClickMessage();
    EXPECT_TRUE(ShowsPicture(page, 120, 80));

    page.Press(TPreviewPage::idLast);
    EXPECT_TRUE(ShowsPicture(page, 64, 48));
    EXPECT_EQ(page.SelectedRow(), 3);
    SaveScreenshot("preview-small-centred");

    page.Press(TPreviewPage::idFirst);
    EXPECT_TRUE(page.WaitForMessage("Click Here to Preview big.bmp (720K)"));
    page.ClickMessage();
    EXPECT_TRUE(ShowsPicture(page, 600, 400));
    EXPECT_EQ(page.SelectedRow(), 0);
    SaveScreenshot("preview-large-stretched");
}

TEST(Preview, WithTheLimitOffLargePicturesLoadAtOnce) {
    Program program;
    program.QuietSettings();
    program.SetIni("General", "LimitPreviewSize", "0");
    PictureList list;
    list.Add("a.bmp", Picture(64, 48));
    list.Add("sky.bmp", Picture(120, 80, 300000));
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "2 Pictures in List"); }));
    const Page page = Page::Of(program);
    page.Press(TPreviewPage::idNext);
    EXPECT_TRUE(ShowsPicture(page, 120, 80));
}

// The tray moves the list's cursor while the window is hidden; shown, the
// window selects, scrolls to and previews the picture at once.
TEST(Preview, ShownAfterChangesFromTheTrayTheListShowsTheCurrentPicture) {
    Program program;
    program.QuietSettings();
    program.SetIni("Slideshow", "Random", "0");
    PictureList list;
    std::vector<std::string> paths;
    for (int i = 0; i < 60; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "p%02d.bmp", i);
        paths.push_back(list.Add(name, Picture(16 + i, 16)));  // each its own width
    }
    list.WriteTo(program);
    // The program starts on the desktop's wallpaper, far down the list.
    std::string start = Lower(paths[50]);
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, start.data(), SPIF_UPDATEINIFILE));
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    const HWND icon = TrayIconWindow(program);
    ASSERT_NE(icon, nullptr);
    const Page page = Page::Of(program);

    // Three changes in list order, then "Change &Tile Mode", which finds the
    // current wallpaper in the list.
    for (int i = 51; i <= 53; ++i) {
        ::PostMessageA(icon, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
        const std::string name = "p" + std::to_string(i) + ".bmp";
        ASSERT_TRUE(WaitFor([&] { return Caption(page.main).rfind(name, 0) == 0; }))
            << Caption(page.main);
    }
    ChooseFromTrayMenu(icon, 't');
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_FALSE(::IsWindowVisible(page.main));

    Broadcast("RestorePictavo");
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(page.main) != FALSE; }));
    EXPECT_TRUE(WaitFor([&] { return page.SelectedRow() == 53; })) << page.SelectedRow();
    DWORD_PTR top = 0, perPage = 0;
    ::SendMessageTimeoutA(page.grid, LVM_GETTOPINDEX, 0, 0, SMTO_NORMAL, 5000, &top);
    ::SendMessageTimeoutA(page.grid, LVM_GETCOUNTPERPAGE, 0, 0, SMTO_NORMAL, 5000, &perPage);
    EXPECT_TRUE(top <= 53 && 53 < top + perPage) << "rows " << top << " to " << top + perPage;
    EXPECT_TRUE(ShowsPicture(page, 16 + 53, 16));
    SaveScreenshot("preview-shown-after-tray-changes");
}

TEST(Preview, AVanishedFileLeavesTheListAnUnreadableOneStays) {
    Program program;
    program.QuietSettings();
    PictureList list;
    list.Add("a.bmp", Picture(64, 48));
    const std::string gone = list.Add("gone.bmp", Picture(64, 48));
    list.Add("junk.bmp", "this is no bitmap at all");
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "3 Pictures in List"); }));
    const Page page = Page::Of(program);
    // At start the first picture is only named; a click loads it.
    ASSERT_TRUE(page.WaitForMessage("Click Here to Preview a.bmp (9K)")) << page.Message();
    page.ClickMessage();
    ASSERT_TRUE(ShowsPicture(page, 64, 48));

    // Deleted behind the program's back, then selected.
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));
    page.Press(TPreviewPage::idNext);
    EXPECT_TRUE(page.WaitForMessage("File Not Found")) << page.Message();
    EXPECT_TRUE(WaitFor([&] { return FindChildByText(page.main, "2 Pictures in List"); }));
    EXPECT_EQ(page.Rows(), 2);
    EXPECT_FALSE(page.PictureVisible());
    SaveScreenshot("preview-file-not-found");

    // The list's cursor went on to the next record, a file that is there but
    // no picture: it is told, and kept.
    page.Press(TPreviewPage::idFirst);
    ASSERT_TRUE(ShowsPicture(page, 64, 48));
    page.Press(TPreviewPage::idLast);
    EXPECT_TRUE(page.WaitForMessage("Unable to preview junk.bmp")) << page.Message();
    EXPECT_EQ(page.SelectedRow(), 1);
    EXPECT_TRUE(FindChildByText(page.main, "2 Pictures in List"));
    EXPECT_EQ(page.Rows(), 2);

    // The saved list forgot only the vanished file.
    const auto saved =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(saved) << program.SavedList().Records.size() << " pictures listed";
    std::vector<std::string> names;
    for (const auto& record : saved->Records) names.push_back(Lower(record.FileName));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.bmp", "junk.bmp"}));
}

namespace {

// Keys as the user types them, into whatever window has the keyboard.
void Type(WORD key, std::initializer_list<WORD> held = {}) {
    for (WORD m : held) ::keybd_event(static_cast<BYTE>(m), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    for (auto m = std::rbegin(held); m != std::rend(held); ++m) {
        ::keybd_event(static_cast<BYTE>(*m), 0, KEYEVENTF_KEYUP, 0);
    }
}

// A mouse click at a point of a window's client area, as the user makes it.
void Click(HWND window, int x, int y, bool right = false) {
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    // The pointer is at the point before the button goes down, and the point
    // travels with the button events too: a motion still on its way from the
    // display would otherwise move the pointer off the row in between, and a
    // list takes a press followed by a move for the start of a drag.
    ::SetCursorPos(p.x, p.y);
    WaitFor([&] {
        POINT at{};
        return ::GetCursorPos(&at) && at.x == p.x && at.y == p.y;
    });
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input[2]{};
    const DWORD buttons[2] = {DWORD(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                              DWORD(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    for (int i = 0; i < 2; ++i) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dx = p.x * 65535 / (width - 1);
        input[i].mi.dy = p.y * 65535 / (height - 1);
        input[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons[i];
    }
    ::SendInput(2, input, sizeof(INPUT));
}

// The texts of a window's children, asked of each child.
std::vector<std::string> Texts(HWND parent) {
    std::vector<std::string> texts;
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(TextOf(hwnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Brings the main window to the front; a click or key sent before it is
// there may land elsewhere.
bool BringToFront(HWND window) {
    return WaitFor([&] {
        if (::GetForegroundWindow() == window) return true;
        ::SetForegroundWindow(window);
        return false;
    });
}

// A click on a row of the list once the window is in front, as a user makes
// it; the list then has the keyboard and the row is selected.
::testing::AssertionResult ClickRow(const Page& page, int row) {
    if (!BringToFront(page.main)) return ::testing::AssertionFailure() << "the window is not in front";
    Click(page.grid, 80, 26 + 17 * row);
    if (WaitFor([&] { return Focus(page.main) == page.grid && page.SelectedRow() == row; })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "row " << page.SelectedRow() << " selected, focus "
                                         << (Focus(page.main) == page.grid ? "on" : "off")
                                         << " the list";
}

// The saved list, as a table, once it satisfies the condition.
bool WaitForSavedList(const Program& program,
                      const std::function<bool(const pictavo::InventoryTable&)>& condition) {
    return program
        .WaitForSavedList([&](const pictavo::TableParseResult& saved) {
            pictavo::InventoryTable table;
            for (const auto& record : saved.Records) table.Append(record);
            return condition(table);
        })
        .has_value();
}

pictavo::InventoryRecord SavedRecord(const pictavo::InventoryTable& table, const std::string& name,
                                     const std::string& folder) {
    const pictavo::RecordId id = table.Seek(name, Lower(folder));
    return id == pictavo::NoRecord ? pictavo::InventoryRecord{} : table.Record(id);
}

}  // namespace

TEST(Preview, KeysAndContextMenuOnTheList) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    PictureList list;
    const std::string a = list.Add("a.bmp", Picture(64, 48, 123456));
    const std::string b = list.Add("b.bmp", Picture(80, 40));
    const std::string c = list.Add("c.bmp", Picture(40, 80));
    list.WriteTo(program);
    const std::string folder = list.folder.Path();
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "3 Pictures in List"); }));
    ASSERT_TRUE(program.WaitUntilIdle());
    const Page page = Page::Of(program);

    // A click on the first row gives the list the keyboard.
    ASSERT_TRUE(ClickRow(page, 0));

    // F3 switches "Enabled" off; F3 with Ctrl held does nothing; F4 switches
    // the tile mode on. The save after them holds exactly that.
    Type(VK_F3);
    Type(VK_F3, {VK_CONTROL});
    Type(VK_F4);
    EXPECT_TRUE(trace.WaitForLine("FrmMain: FormKeyDown"));
    EXPECT_TRUE(WaitForSavedList(program, [&](const pictavo::InventoryTable& t) {
        const auto r = SavedRecord(t, "a.bmp", folder);
        return !r.Enabled && r.Tile;
    }));

    // Alt+Enter: the properties of the selected picture.
    Type(VK_RETURN, {VK_MENU});
    HWND properties = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        properties = ::FindWindowA("TfrmProperties", "Wallpaper Properties");
        return properties && ::IsWindowVisible(properties);
    }));
    const std::vector<std::string> fields = Texts(properties);
    for (const std::string& shown : {std::string("a.bmp"), std::string("123,456"), folder}) {
        EXPECT_NE(std::find(fields.begin(), fields.end(), shown), fields.end()) << shown;
    }
    SaveScreenshot("preview-properties");
    ASSERT_TRUE(ClickButton(properties, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(properties); }));
    // The main window did not take the key as its own "&OK".
    EXPECT_TRUE(::IsWindowVisible(page.main));

    // Ctrl+Enter: the selected picture becomes the wallpaper.
    ASSERT_TRUE(BringToFront(page.main));
    ASSERT_TRUE(WaitFor([&] { return Focus(page.main) == page.grid; }));
    Type(VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return page.SelectedRow() == 1; }));
    Type(VK_RETURN, {VK_CONTROL});
    EXPECT_TRUE(WaitFor([&] { return Lower(DesktopValue("Wallpaper")) == Lower(b); }))
        << DesktopValue("Wallpaper");
    EXPECT_TRUE(::IsWindowVisible(page.main));

    // Space: the next slide at once, and the list shows it. Only c.bmp is
    // left to the slideshow: a.bmp is off and b.bmp is the wallpaper.
    Type(VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return Lower(DesktopValue("Wallpaper")) == Lower(c); }))
        << DesktopValue("Wallpaper");
    EXPECT_TRUE(WaitFor([&] { return page.SelectedRow() == 2; }));
    EXPECT_TRUE(ShowsPicture(page, 40, 80));

    // Delete with Shift held does nothing (a removal would ask or shrink the list).
    Type(VK_DELETE, {VK_SHIFT});

    // The context menu, with the check marks of the selected record.
    Click(page.grid, 80, 26 + 17 * 2, true);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        menu = ::FindWindowA("#32768", nullptr);
        return menu && ::IsWindowVisible(menu);
    }));
    SaveScreenshot("preview-context-menu");
    Type(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(menu); }));
    EXPECT_TRUE(FindChildByText(page.main, "3 Pictures in List"));
}

namespace {

// The confirmation the list's Delete keys raise, once it shows.
HWND WaitForConfirmation() {
    HWND found = nullptr;
    WaitFor([&] {
        found = ::FindWindowA("TfrmConfirmation", nullptr);
        return found && ::IsWindowVisible(found);
    });
    return found && ::IsWindowVisible(found) ? found : nullptr;
}

// Answers the confirmation with OK and waits until it has gone, so that the
// next wait cannot find it again.
bool ConfirmWithOk(HWND confirm) {
    return confirm && ClickButton(confirm, "&OK") &&
           WaitFor([&] { return !::IsWindow(confirm) || !::IsWindowVisible(confirm); });
}

}  // namespace

// Delete takes the selected picture off the list and leaves its file; Ctrl+Delete
// deletes the file too, and a file that cannot be deleted is said so and stays listed.
TEST(Preview, DeleteKeysRemoveOrDeleteTheSelectedPicture) {
    Program program;
    program.QuietSettings();
    PictureList list;
    const std::string a = list.Add("a.bmp", Picture(40, 30));
    const std::string b = list.Add("b.bmp", Picture(40, 30));
    const std::string c = list.Add("c.bmp", Picture(40, 30));
    list.WriteTo(program);
    ASSERT_TRUE(::SetFileAttributesA(b.c_str(), FILE_ATTRIBUTE_READONLY));
    struct Writable {
        std::string path;
        ~Writable() { ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    } writable{b};
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "3 Pictures in List"); }));
    ASSERT_TRUE(program.WaitUntilIdle());
    const Page page = Page::Of(program);
    ASSERT_TRUE(ClickRow(page, 0));

    // Delete: a.bmp leaves the list, its file stays.
    Type(VK_DELETE);
    HWND confirm = WaitForConfirmation();
    ASSERT_TRUE(ConfirmWithOk(confirm));
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(page.main, "2 Pictures in List"); }));
    EXPECT_TRUE(Exists(a));

    // Ctrl+Delete on the read-only b.bmp: refused with the message, still listed.
    ASSERT_TRUE(ClickRow(page, 0));
    Type(VK_DELETE, {VK_CONTROL});
    confirm = WaitForConfirmation();
    ASSERT_TRUE(ConfirmWithOk(confirm));
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(Lower(box->text), Lower("Unable to delete " + b));
    ASSERT_TRUE(box->Press(IDOK));
    EXPECT_TRUE(Exists(b));
    EXPECT_TRUE(FindChildByText(page.main, "2 Pictures in List"));

    // Ctrl+Delete on c.bmp: the file goes and so does its line.
    ASSERT_TRUE(ClickRow(page, 1));
    Type(VK_DELETE, {VK_CONTROL});
    confirm = WaitForConfirmation();
    ASSERT_TRUE(ConfirmWithOk(confirm));
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(page.main, "1 Pictures in List"); }));
    EXPECT_TRUE(WaitFor([&] { return !Exists(c); }));
    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
}

// F2 renames the selected picture through the "Move/Rename Wallpaper" dialog; when it
// is the current wallpaper, the desktop names the new file after exit too.
TEST(Preview, F2RenamesTheCurrentWallpaperAndTheDesktopKeepsItAfterExit) {
    Program program;
    program.QuietSettings();
    PictureList list;
    const std::string sky = list.Add("sky.bmp", Picture(40, 30));
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "1 Pictures in List"); }));
    ASSERT_TRUE(program.WaitUntilIdle());
    const Page page = Page::Of(program);
    ASSERT_TRUE(ClickRow(page, 0));
    Type(VK_RETURN, {VK_CONTROL});
    ASSERT_TRUE(WaitFor([&] { return Lower(DesktopValue("Wallpaper")) == Lower(sky); }))
        << DesktopValue("Wallpaper");

    Type(VK_F2);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        dialog = ::FindWindowA("TfrmItemInfo", "Move/Rename Wallpaper");
        return dialog && ::IsWindowVisible(dialog);
    }));
    HWND name = ::GetDlgItem(dialog, 300);
    EXPECT_EQ(TextOf(name), "sky");
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Sky at Night"));
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    const std::string renamed = list.folder / "Sky at Night.bmp";
    ASSERT_TRUE(WaitFor([&] { return Exists(renamed) && !Exists(sky); }));

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(Lower(DesktopValue("Wallpaper")), Lower(renamed));
}

// Under a double-byte code page (Japanese, 932) the second byte of a character
// can be an ASCII capital: "ア" is 0x83 0x41. Lowered, the name would be 0x83
// 0x61, another character, so the program must hand Windows the name as
// stored. The test runs at code page 932 and so does the program it starts;
// at any other code page the program would not find the file at all.
TEST(CodePage932, ADoubleByteNamePreviewsBecomesTheWallpaperAndIsDeleted) {
    ASSERT_EQ(::GetACP(), 932u) << "the test must run with LC_ALL=ja_JP.UTF-8";
    Program program;
    program.QuietSettings();
    PictureList list;
    const std::string picture = list.Add("\x83\x41\x83\x43.bmp", Picture(40, 30));  // アイ.bmp
    ASSERT_TRUE(Exists(picture)) << "no Linux spelling for the name: is the locale there?";
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "1 Pictures in List"); }));
    ASSERT_TRUE(program.WaitUntilIdle());
    const Page page = Page::Of(program);

    page.ClickMessage();
    EXPECT_TRUE(ShowsPicture(page, 40, 30)) << page.Message();
    ASSERT_EQ(page.Rows(), 1);

    ASSERT_TRUE(ClickRow(page, 0));
    Type(VK_RETURN, {VK_CONTROL});
    EXPECT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper") == picture; }))
        << DesktopValue("Wallpaper");

    Type(VK_DELETE, {VK_CONTROL});
    ASSERT_TRUE(ConfirmWithOk(WaitForConfirmation()));
    EXPECT_TRUE(WaitFor([&] { return FindChildByText(page.main, "0 Pictures in List"); }));
    EXPECT_TRUE(WaitFor([&] { return !Exists(picture); }));
    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
}

// Photos, web pictures and a damaged JPEG in the list, as the table names
// them: each decoded, a camera's photo shown upright, the damaged one told
// and kept, with the reason in the trace.
TEST(Preview, JpegPngAndGifPreviewAndADamagedJpegIsToldAndKept) {
    using pictavo::testing::PictureFormat;
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.SetIni("General", "LimitPreviewSize", "0");
    PictureList list;
    // In the list's order: by lower-case name.
    list.Add("broken.jpg", pictavo::testing::CorruptJpeg());
    // Stored 120 x 60, red left and blue right, to be turned a quarter
    // clockwise: upright 60 x 120, red at the top.
    list.Add("camera.jpg",
             pictavo::testing::WithExifOrientation(
                 pictavo::testing::EncodePicture(PictureFormat::Jpeg, 120, 60,
                                                 [](int x, int) { return x < 60 ? 0xE02020u : 0x2040E0u; }),
                 6));
    list.Add("web.gif", pictavo::testing::EncodePicture(PictureFormat::Gif, 50, 30, 0x20C040u));
    list.Add("web.png", pictavo::testing::EncodePicture(PictureFormat::Png, 70, 40, 0x20C040u));
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "4 Pictures in List"); }));
    const Page page = Page::Of(program);
    ASSERT_NE(page.page, nullptr);
    // At start the first picture is only named; a click loads it.
    ASSERT_TRUE(page.WaitForMessage("Click Here to Preview broken.jpg (0K)")) << page.Message();
    page.ClickMessage();
    EXPECT_TRUE(page.WaitForMessage("Unable to preview broken.jpg")) << page.Message();
    EXPECT_FALSE(page.PictureVisible());
    EXPECT_TRUE(WaitFor([&] {
        for (const std::string& line : trace.Texts()) {
            if (line.find("broken.jpg") != std::string::npos && line.find("0x") != std::string::npos) {
                return true;
            }
        }
        return false;
    }));
    SaveScreenshot("preview-damaged-jpeg");

    page.Press(TPreviewPage::idNext);
    ASSERT_TRUE(ShowsPicture(page, 60, 120));
    ::UpdateWindow(page.picture);
    // The picture's pixels as the screen shows them (another process's
    // window DC reads white under Wine): red above, blue below.
    auto shown = [&](int x, int y) {
        POINT at{x, y};
        ::ClientToScreen(page.picture, &at);
        HDC dc = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(dc, at.x, at.y);
        ::ReleaseDC(nullptr, dc);
        return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    };
    EXPECT_TRUE(WaitFor([&] {
        return pictavo::testing::NearColour(shown(30, 10), 0xE02020, 48) &&
               pictavo::testing::NearColour(shown(30, 110), 0x2040E0, 48);
    })) << std::hex << shown(30, 10) << " " << shown(30, 110);
    SaveScreenshot("preview-camera-jpeg-upright");

    page.Press(TPreviewPage::idNext);
    EXPECT_TRUE(ShowsPicture(page, 50, 30));
    page.Press(TPreviewPage::idNext);
    EXPECT_TRUE(ShowsPicture(page, 70, 40));

    page.Press(TPreviewPage::idFirst);
    EXPECT_TRUE(page.WaitForMessage("Unable to preview broken.jpg")) << page.Message();
    EXPECT_EQ(page.Rows(), 4);
    EXPECT_TRUE(FindChildByText(page.main, "4 Pictures in List"));
}

// The decoder takes wide-character names: the ANSI name is converted at the
// program's code page, so a double-byte name reaches WIC whole.
TEST(CodePage932, ADoubleByteJpegNamePreviews) {
    ASSERT_EQ(::GetACP(), 932u) << "the test must run with LC_ALL=ja_JP.UTF-8";
    Program program;
    program.QuietSettings();
    PictureList list;
    const std::string picture = list.Add(
        "\x83\x41\x83\x43.jpg",  // アイ.jpg
        pictavo::testing::EncodePicture(pictavo::testing::PictureFormat::Jpeg, 40, 30, 0x3060A0u));
    ASSERT_TRUE(Exists(picture)) << "no Linux spelling for the name: is the locale there?";
    list.WriteTo(program);
    program.Start(":");
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "1 Pictures in List"); }));
    const Page page = Page::Of(program);
    ASSERT_TRUE(page.WaitForMessage("Click Here to Preview \x83\x41\x83\x43.jpg (0K)")) << page.Message();
    page.ClickMessage();
    EXPECT_TRUE(ShowsPicture(page, 40, 30)) << page.Message();
}
