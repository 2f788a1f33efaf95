// The real program adding pictures through its own open dialog and its "Add
// Wallpaper" dialog, and capturing wallpaper that another program put on the
// desktop.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "preview/PreviewPage.h"
#include "inventory/TableFile.h"
#include "shell/StartupShortcut.h"

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

bool WaitUntilHidden(HWND hwnd) {
    return WaitFor([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); });
}

// The text of another program's control, asked of the control itself.
std::string TextOf(HWND control) {
    char text[1024] = {};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                          SMTO_NORMAL, 5000, &result);
    return text;
}

void SetTextOf(HWND control, const std::string& text) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_NORMAL, 5000, &result);
}

// Whether a control shows on the screen: a captioned button shows its dark
// text once it has been painted.
bool Drawn(HWND control) {
    RECT r{};
    if (!::GetWindowRect(control, &r)) return false;
    HDC screen = ::GetDC(nullptr);
    bool dark = false;
    for (int y = r.top; y < r.bottom && !dark; ++y) {
        for (int x = r.left; x < r.right && !dark; ++x) {
            const COLORREF c = ::GetPixel(screen, x, y);
            dark = c != CLR_INVALID && GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
        }
    }
    ::ReleaseDC(nullptr, screen);
    return dark;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className) {
    struct Search {
        const std::string& className;
        std::vector<HWND> found;
    } search{className, {}};
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (ClassOf(hwnd) == s->className) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// "Add files to list" on the page's toolbar, pressed: the toolbar tells its parent.
void ClickAddFiles(HWND main) {
    std::vector<HWND> toolbars = ChildrenOfClass(main, "ToolbarWindow32");
    ASSERT_FALSE(toolbars.empty());
    ::PostMessageA(::GetParent(toolbars.front()), WM_COMMAND,
                   MAKEWPARAM(pictavo::TPreviewPage::idAddFiles, BN_CLICKED),
                   reinterpret_cast<LPARAM>(toolbars.front()));
}

// The captions of the open dialog's file types, as its box lists them.
std::vector<std::string> FileTypes(HWND dialog) {
    std::vector<std::string> types;
    HWND box = ::GetDlgItem(dialog, 0x470);  // cmb1
    DWORD_PTR count = 0;
    if (!box || !::SendMessageTimeoutA(box, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count)) {
        return types;
    }
    for (DWORD_PTR i = 0; i < count; ++i) {
        // Asked in wide characters: Wine's dialog keeps its box in Unicode and
        // hands another process's ANSI request the wide text unconverted.
        wchar_t text[256] = {};
        DWORD_PTR length = 0;
        ::SendMessageTimeoutW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                              5000, &length);
        char narrow[512] = {};
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
        types.emplace_back(narrow);
    }
    return types;
}

// Types the names into the program's open dialog and presses its Open button;
// the dialog's file types first go to `types` when asked for.
void ChooseInOpenDialog(const Program& program, const std::string& names,
                        std::vector<std::string>* types = nullptr) {
    HWND dialog = WaitForWindow(program, "#32770", "Select Wallpaper Files to Import");
    ASSERT_NE(dialog, nullptr);
    if (types) *types = FileTypes(dialog);
    HWND box = ::GetDlgItem(dialog, 0x47c);  // cmb13, the name combo box
    if (box && ClassOf(box) == "ComboBox") box = ::FindWindowExA(box, nullptr, "Edit", nullptr);
    if (!box) box = ::GetDlgItem(dialog, 0x480);  // edt1
    ASSERT_NE(box, nullptr);
    SetTextOf(box, names);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitUntilHidden(dialog));
}

// The "Add Wallpaper" dialog once it offers the given name.
struct AddWallpaperDialog {
    HWND hwnd = nullptr;
    HWND from = nullptr, name = nullptr;

    static AddWallpaperDialog WaitFor(const Program& program, const std::string& proposedName) {
        AddWallpaperDialog d;
        const bool offered = e2e::WaitFor([&] {
            d.hwnd = WaitForWindow(program, "TfrmItemInfo", "Add Wallpaper", 1s);
            if (!d.hwnd) return false;
            std::vector<HWND> edits = ChildrenOfClass(d.hwnd, "Edit");
            if (edits.size() != 2) return false;
            d.from = edits[0];
            d.name = edits[1];
            return TextOf(d.name) == proposedName;
        });
        // A dialog that offered another name is not the one asked for.
        return offered ? d : AddWallpaperDialog{};
    }
    bool Enabled(const std::string& caption) const {
        return ::IsWindowEnabled(FindChildByText(hwnd, caption)) != FALSE;
    }
    bool Checked(const std::string& caption) const {
        DWORD_PTR state = 0;
        ::SendMessageTimeoutA(FindChildByText(hwnd, caption), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000,
                              &state);
        return state == BST_CHECKED;
    }
    void Choose(const std::string& caption) const {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(FindChildByText(hwnd, caption), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                              &result);
    }
    // The dialog is reused: the next file's question may follow before a
    // poll sees it hidden, so waiting is the caller's (for the next name, or
    // for the dialog to go).
    void Confirm() const { ASSERT_TRUE(ClickButton(hwnd, "OK")); }
};

const char kLeave[] = "&Leave the file in its current folder";
const char kMove[] = "&Move the file to Pictavo's own folder";
const char kCopy[] = "Make a &copy of the file in Pictavo's folder";

// Every change of a file's last-write time, seen from a thread of its own.
class WriteWatch {
public:
    explicit WriteWatch(std::string path) : path_(std::move(path)) {
        last_ = Stamp();
        thread_ = std::thread([this] {
            while (!stop_) {
                const uint64_t now = Stamp();
                if (now != last_) {
                    last_ = now;
                    std::lock_guard<std::mutex> lock(mutex_);
                    writes_.push_back(Clock::now());
                }
                std::this_thread::sleep_for(5ms);
            }
        });
    }
    ~WriteWatch() {
        stop_ = true;
        thread_.join();
    }
    std::vector<Clock::time_point> Writes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return writes_;
    }

private:
    uint64_t Stamp() const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
    }
    std::string path_;
    uint64_t last_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Clock::time_point> writes_;
    std::thread thread_;
};

std::vector<pictavo::InventoryRecord> ListedPictures(const Program& program) {
    return program.SavedList().Records;
}

bool IsListed(const std::vector<pictavo::InventoryRecord>& records, const std::string& path) {
    for (const auto& record : records) {
        if (Lower(record.Location + "\\" + record.FileName) == Lower(path)) return true;
    }
    return false;
}

// A program with its main window shown and nothing polling, and pictures in
// its folder "Pics", which the open dialog starts in.
void StartWithPictures(Program& program, const std::vector<std::string>& names) {
    program.QuietSettings();
    program.SetIni("AutoDetect", "Polling", "0");
    const std::string pics = program.Folder() + "\\Pics";
    program.SetIni("Directories", "ImportDir", pics);
    ::CreateDirectoryA(pics.c_str(), nullptr);
    unsigned char shade = 30;
    for (const std::string& name : names) {
        WriteFile(pics + "\\" + name, Bitmap(shade, 200, 255 - shade));
        shade += 60;
    }
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_TRUE(
        WaitFor([&] { return FindChildByText(program.MainWindow(), "0 Pictures in List"); }));
}

}  // namespace

TEST(Adding, AddFilesPicksFilesThroughTheOpenDialogAndLeavesMovesOrCopiesThemAsChosen) {
    Program program;
    StartWithPictures(program, {"Alpha.bmp", "Beta.bmp", "Gamma.bmp"});
    const std::string pics = program.Folder() + "\\Pics";
    HWND main = program.MainWindow();
    WriteWatch table(program.TablePath());

    ClickAddFiles(main);
    std::vector<std::string> types;
    ChooseInOpenDialog(program, "\"Alpha.bmp\" \"Beta.bmp\"", &types);
    EXPECT_EQ(types,
              (std::vector<std::string>{"Pictures", "Bitmaps (*.bmp)", "All Files (*.*)"}));
    AddWallpaperDialog alpha = AddWallpaperDialog::WaitFor(program, "Alpha");
    ASSERT_NE(alpha.hwnd, nullptr);
    EXPECT_EQ(Lower(TextOf(alpha.from)), Lower(pics));
    EXPECT_TRUE(alpha.Checked(kLeave));
    EXPECT_TRUE(alpha.Enabled(kMove) && alpha.Enabled(kCopy));
    EXPECT_TRUE(alpha.Enabled("&Apply these options to all remaining files."));
    ASSERT_TRUE(WaitFor([&] { return Drawn(FindChildByText(alpha.hwnd, "Cancel")); }));
    SaveScreenshot("add-wallpaper-dialog");
    alpha.Confirm();

    AddWallpaperDialog beta = AddWallpaperDialog::WaitFor(program, "Beta");
    ASSERT_NE(beta.hwnd, nullptr);
    beta.Choose(kMove);
    // Taken before the answer leaves, so the program cannot have handled it earlier.
    const Clock::time_point lastAnswer = Clock::now();
    beta.Confirm();
    ASSERT_TRUE(WaitUntilHidden(beta.hwnd));
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(main, "2 Pictures in List"); }));

    // The table is written once the quiet time after the last file is over,
    // not at once (how much later depends on the machine's load).
    const auto listed =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(listed) << ListedPictures(program).size() << " pictures listed";
    ASSERT_TRUE(WaitFor([&] { return !table.Writes().empty(); }));
    const double delay = std::chrono::duration<double>(table.Writes().front() - lastAnswer).count();
    EXPECT_GT(delay, 2.0);
    EXPECT_TRUE(IsListed(listed->Records, pics + "\\Alpha.bmp"));
    EXPECT_TRUE(IsListed(listed->Records, program.DataDir() + "\\Beta.bmp"));
    EXPECT_TRUE(Exists(pics + "\\Alpha.bmp"));
    EXPECT_FALSE(Exists(pics + "\\Beta.bmp"));
    EXPECT_TRUE(Exists(program.DataDir() + "\\Beta.bmp"));

    // The open dialog starts where the last pick was made.
    ClickAddFiles(main);
    ChooseInOpenDialog(program, "Gamma.bmp");
    AddWallpaperDialog gamma = AddWallpaperDialog::WaitFor(program, "Gamma");
    ASSERT_NE(gamma.hwnd, nullptr);
    EXPECT_FALSE(gamma.Enabled("&Apply these options to all remaining files."));
    gamma.Choose(kCopy);
    gamma.Confirm();
    ASSERT_TRUE(WaitUntilHidden(gamma.hwnd));
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(main, "3 Pictures in List"); }));
    EXPECT_TRUE(Exists(pics + "\\Gamma.bmp"));
    EXPECT_TRUE(Exists(program.DataDir() + "\\Gamma.bmp"));
    const auto three =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 3; });
    ASSERT_TRUE(three) << ListedPictures(program).size() << " pictures listed";
    EXPECT_TRUE(IsListed(three->Records, program.DataDir() + "\\Gamma.bmp"));

    // One write per batch: a save still pending would be flushed at exit.
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(table.Writes().size(), 2u);
}

TEST(Adding, AFileThatIsNotAPictureIsRefusedWithAMessage) {
    Program program;
    StartWithPictures(program, {});
    WriteFile(program.Folder() + "\\Pics\\x.webp", "not a picture we take");

    ClickAddFiles(program.MainWindow());
    ChooseInOpenDialog(program, "x.webp");
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Error: x.webp is not a supported file type.");
    box->Press(IDOK);
    ASSERT_TRUE(WaitUntilHidden(box->hwnd));
    EXPECT_TRUE(FindChildByText(program.MainWindow(), "0 Pictures in List"));
}

namespace {

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

// Files a test puts where they do not belong to it, removed again however the
// test ends, with the desktop left without wallpaper.
struct Leftovers {
    std::vector<std::string> files;
    ~Leftovers() {
        for (const std::string& file : files) ::DeleteFileA(file.c_str());
        SetDesktopWallpaper("", false);
    }
};

}  // namespace

TEST(Adding, ABrowserWallpaperIsCapturedWithinAPollIntervalAndStaysOnTheDesktop) {
    Leftovers leftovers;
    const std::string drop = WindowsFolder() + "\\Netscape Wallpaper.bmp";
    leftovers.files.push_back(drop);
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());

    // A browser saves a picture as wallpaper: its fixed name, no notice sent.
    WriteFile(drop, Bitmap(200, 60, 30));
    const Clock::time_point put = Clock::now();
    SetDesktopWallpaper(drop, false);
    AddWallpaperDialog dialog = AddWallpaperDialog::WaitFor(program, "v1 of Netscape Wallpaper");
    ASSERT_NE(dialog.hwnd, nullptr);
    std::printf("The dialog came %.1f s after the wallpaper changed (poll interval 5 s).\n",
                std::chrono::duration<double>(Clock::now() - put).count());
    EXPECT_EQ(Lower(TextOf(dialog.from)), Lower(program.DataDir()));
    EXPECT_TRUE(dialog.Checked(kMove));
    EXPECT_TRUE(dialog.Enabled(kMove));
    EXPECT_FALSE(dialog.Enabled(kLeave));
    EXPECT_FALSE(dialog.Enabled(kCopy));
    EXPECT_FALSE(dialog.Enabled("&Apply these options to all remaining files."));
    ASSERT_TRUE(WaitFor([&] { return Drawn(FindChildByText(dialog.hwnd, "Cancel")); }));
    SaveScreenshot("add-wallpaper-captured");
    dialog.Confirm();
    ASSERT_TRUE(WaitUntilHidden(dialog.hwnd));

    const std::string captured = program.DataDir() + "\\v1 of Netscape Wallpaper.bmp";
    leftovers.files.push_back(captured);
    // The move runs after the dialog has gone.
    EXPECT_TRUE(WaitFor([&] { return Exists(captured) && !Exists(drop); }));
    EXPECT_TRUE(WaitFor([&] { return Lower(DesktopValue("Wallpaper")) == Lower(captured); }));
    EXPECT_TRUE(program.WaitForSavedList([&](const auto& t) { return IsListed(t.Records, captured); }));
    EXPECT_TRUE(WaitFor(
        [&] { return FindChildByText(program.MainWindow(), "1 Pictures in List") != nullptr; }));

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(Lower(DesktopValue("Wallpaper")), Lower(captured));
    EXPECT_EQ(Lower(program.Ini("Slideshow", "LastWallpaper")), Lower(captured));
}

TEST(Adding, TheFirstRunAddsTheBitmapsOfTheWindowsDirectoryInOneBatch) {
    Leftovers leftovers;
    const std::string windows = WindowsFolder();
    for (const char* name : {"pictavo-first-run-a.bmp", "pictavo-first-run-b.bmp"}) {
        leftovers.files.push_back(windows + "\\" + name);
        WriteFile(leftovers.files.back(), Bitmap(20, 90, 160));
    }
    const std::string shortcut =
        pictavo::CommonStartupFolder() + "\\" + pictavo::kStartupShortcutName;
    struct RemoveShortcut {
        std::string path;
        ~RemoveShortcut() { ::DeleteFileA(path.c_str()); }
    } removeShortcut{shortcut};
    size_t bitmaps = 0;
    {
        WIN32_FIND_DATAA data{};
        HANDLE find = ::FindFirstFileA((windows + "\\*.bmp").c_str(), &data);
        ASSERT_NE(find, INVALID_HANDLE_VALUE);
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++bitmaps;
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }

    // No settings file: the first run on this machine.
    Program program;
    program.Start();
    auto welcome = program.WaitForMessageBox();
    ASSERT_TRUE(welcome.has_value());
    EXPECT_EQ(welcome->text.rfind("Slideshow will change your wallpaper every 5 minutes.", 0), 0u);
    welcome->Press(IDOK);
    ASSERT_TRUE(WaitUntilHidden(welcome->hwnd));

    AddWallpaperDialog dialog;
    ASSERT_TRUE(WaitFor([&] {
        dialog.hwnd = WaitForWindow(program, "TfrmItemInfo", "Add Wallpaper", 1s);
        return dialog.hwnd != nullptr;
    }));
    EXPECT_TRUE(dialog.Enabled("&Apply these options to all remaining files."));
    dialog.Choose("&Apply these options to all remaining files.");
    dialog.Confirm();
    ASSERT_TRUE(WaitUntilHidden(dialog.hwnd));
    // No help file beside this program: said once.
    auto noHelp = program.WaitForMessageBox();
    ASSERT_TRUE(noHelp.has_value());
    EXPECT_EQ(noHelp->text.rfind("Unable to find the help file ", 0), 0u);
    noHelp->Press(IDOK);
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_TRUE(FindChildByText(program.MainWindow(),
                                std::to_string(bitmaps) + " Pictures in List") != nullptr);
    EXPECT_FALSE(::IsWindowVisible(dialog.hwnd));

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    const auto listed = ListedPictures(program);
    EXPECT_EQ(listed.size(), bitmaps);
    for (size_t i = 0; i < 2; ++i) EXPECT_TRUE(IsListed(listed, leftovers.files[i]));
}
