// The real program adding pictures through its own open dialog and its "Add
// Wallpaper" dialog, and capturing wallpaper that another program put on the
// desktop.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "inventory/TableFile.h"

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

// A visible top-level window of the program with this class and caption.
HWND WaitForWindow(const Program& program, const std::string& className,
                   const std::string& caption, Duration deadline = kDeadline) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : TopLevelWindows(program.ProcessId())) {
                if (ClassOf(hwnd) == className && ::IsWindowVisible(hwnd) &&
                    Caption(hwnd) == caption) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        deadline);
    return found;
}

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

// "Add files to list": the first button of the page's toolbar, clicked.
void ClickAddFiles(HWND main) {
    std::vector<HWND> toolbars = ChildrenOfClass(main, "ToolbarWindow32");
    ASSERT_FALSE(toolbars.empty());
    const LPARAM at = MAKELPARAM(12, 12);
    ::PostMessageA(toolbars.front(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(toolbars.front(), WM_LBUTTONUP, 0, at);
}

// Types the names into the program's open dialog and presses its Open button.
void ChooseInOpenDialog(const Program& program, const std::string& names) {
    HWND dialog = WaitForWindow(program, "#32770", "Select Wallpaper Files to Import");
    ASSERT_NE(dialog, nullptr);
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
        e2e::WaitFor([&] {
            d.hwnd = WaitForWindow(program, "TfrmItemInfo", "Add Wallpaper", 1s);
            if (!d.hwnd) return false;
            std::vector<HWND> edits = ChildrenOfClass(d.hwnd, "Edit");
            if (edits.size() != 2) return false;
            d.from = edits[0];
            d.name = edits[1];
            return TextOf(d.name) == proposedName;
        });
        return d;
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
    return pictavo::ParseTable(ReadFile(program.TablePath())).Records;
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
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(program.MainWindow(), "0 Pictures in List"); }));
}

}  // namespace

TEST(Adding, AddFilesPicksFilesThroughTheOpenDialogAndLeavesMovesOrCopiesThemAsChosen) {
    Program program;
    StartWithPictures(program, {"Alpha.bmp", "Beta.bmp", "Gamma.bmp"});
    const std::string pics = program.Folder() + "\\Pics";
    HWND main = program.MainWindow();
    WriteWatch table(program.TablePath());

    ClickAddFiles(main);
    ChooseInOpenDialog(program, "\"Alpha.bmp\" \"Beta.bmp\"");
    AddWallpaperDialog alpha = AddWallpaperDialog::WaitFor(program, "Alpha");
    ASSERT_NE(alpha.hwnd, nullptr);
    EXPECT_EQ(Lower(TextOf(alpha.from)), Lower(pics));
    EXPECT_TRUE(alpha.Checked(kLeave));
    EXPECT_TRUE(alpha.Enabled(kMove) && alpha.Enabled(kCopy));
    EXPECT_TRUE(alpha.Enabled("&Apply these options to all remaining files."));
    SaveScreenshot("add-wallpaper-dialog");
    alpha.Confirm();

    AddWallpaperDialog beta = AddWallpaperDialog::WaitFor(program, "Beta");
    ASSERT_NE(beta.hwnd, nullptr);
    beta.Choose(kMove);
    beta.Confirm();
    ASSERT_TRUE(WaitUntilHidden(beta.hwnd));
    const Clock::time_point lastAnswer = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(main, "2 Pictures in List"); }));

    // The table is written once the quiet time after the last file is over.
    ASSERT_TRUE(WaitFor([&] { return !table.Writes().empty(); }));
    const double delay =
        std::chrono::duration<double>(table.Writes().front() - lastAnswer).count();
    EXPECT_GT(delay, 1.8);
    EXPECT_LT(delay, 10.0);
    auto listed = ListedPictures(program);
    EXPECT_EQ(listed.size(), 2u);
    EXPECT_TRUE(IsListed(listed, pics + "\\Alpha.bmp"));
    EXPECT_TRUE(IsListed(listed, program.DataDir() + "\\Beta.bmp"));
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
    ASSERT_TRUE(WaitFor([&] { return ListedPictures(program).size() == 3; }));
    EXPECT_TRUE(IsListed(ListedPictures(program), program.DataDir() + "\\Gamma.bmp"));

    // One write per batch: a save still pending would be flushed at exit.
    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(table.Writes().size(), 2u);
}

TEST(Adding, APictureThatIsNotABitmapIsRefusedWithAMessage) {
    Program program;
    StartWithPictures(program, {});
    WriteFile(program.Folder() + "\\Pics\\x.jpg", "not a bitmap");

    ClickAddFiles(program.MainWindow());
    ChooseInOpenDialog(program, "x.jpg");
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Error: x.jpg is not a supported file type.");
    box->Press(IDOK);
    ASSERT_TRUE(WaitUntilHidden(box->hwnd));
    EXPECT_TRUE(FindChildByText(program.MainWindow(), "0 Pictures in List"));
}
