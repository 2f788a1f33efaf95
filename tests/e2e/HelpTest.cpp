// The help of the real program: pictavo.chm beside it, opened by HTML Help at
// its contents from the "Help" button and at a page's topic by F1. Under Wine
// the help window shows its title and contents tree but draws no page, so
// what is checked is the window, its title and the tree.
#include <gtest/gtest.h>

#include "harness/Harness.h"

// After <windows.h>, which the harness brings.
#include <commctrl.h>

using namespace e2e;

namespace {

// HTML Help's window in the program's process, once it shows.
HWND WaitForHelpWindow(const Program& program) {
    return WaitForWindow(program.ProcessId(), "", "Pictavo Help");
}

// The texts of the contents tree's top items.
std::vector<std::string> TreeItems(HWND help) {
    std::vector<std::string> items;
    HWND tree = nullptr;
    ::EnumChildWindows(
        help,
        [](HWND child, LPARAM found) WINAPI -> BOOL {
            if (ClassOf(child) != WC_TREEVIEWA) return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tree));
    // A tree the user cannot see does not count.
    RECT area{};
    if (!tree || !::IsWindowVisible(tree) || !::GetClientRect(tree, &area) || area.right < 50) {
        return items;
    }
    // The tree lives in another process: its item texts are read through its memory.
    DWORD processId = 0;
    ::GetWindowThreadProcessId(tree, &processId);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                   FALSE, processId);
    if (!process) return items;
    struct Remote {
        TVITEMA item;
        char text[256];
    };
    auto* remote = static_cast<Remote*>(
        ::VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE));
    for (auto node = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         node; node = reinterpret_cast<HTREEITEM>(
                   ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)))) {
        Remote local{};
        local.item.mask = TVIF_TEXT;
        local.item.hItem = node;
        local.item.pszText = remote->text;
        local.item.cchTextMax = sizeof(local.text);
        ::WriteProcessMemory(process, remote, &local, sizeof(local), nullptr);
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&remote->item));
        ::ReadProcessMemory(process, remote, &local, sizeof(local), nullptr);
        items.push_back(local.text);
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return items;
}

void ExpectContentsTree(HWND help) {
    std::vector<std::string> items;
    EXPECT_TRUE(WaitFor([&] {
        items = TreeItems(help);
        return !items.empty();
    }));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front(), "What Pictavo does");
    EXPECT_NE(std::find(items.begin(), items.end(), "The main window"), items.end());
}

void CloseHelpWindow(HWND window) {
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }));
}

}  // namespace

TEST(Help, HelpButtonOpensTheContents) {
    Program program;
    program.QuietSettings();
    program.CopyHelp();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    ASSERT_TRUE(ClickButton(program.MainWindow(), "Help"));
    HWND help = WaitForHelpWindow(program);
    ASSERT_NE(help, nullptr);
    ExpectContentsTree(help);
    EXPECT_TRUE(Exists(SaveScreenshot("help-contents")));
    CloseHelpWindow(help);
    EXPECT_FALSE(program.MessageBoxOpen());
}

TEST(Help, F1OnTheSlideshowPageOpensItsTopic) {
    Program program;
    program.QuietSettings();
    program.CopyHelp();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    HWND pages = ::FindWindowExA(main, nullptr, WC_TABCONTROLA, nullptr);
    ASSERT_NE(pages, nullptr);
    ::SendMessageA(pages, TCM_SETCURFOCUS, 1, 0);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(pages, TCM_GETCURSEL, 0, 0) == 1; }));
    ::SetForegroundWindow(main);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; }));
    ::keybd_event(VK_F1, 0, 0, 0);
    ::keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
    HWND help = WaitForHelpWindow(program);
    ASSERT_NE(help, nullptr);
    ExpectContentsTree(help);
    EXPECT_TRUE(Exists(SaveScreenshot("help-slideshow-page")));
    // Help windows go with the program.
    program.Shutdown();
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_FALSE(::IsWindow(help));
}

TEST(Help, TheFirstRunOpensTheHelpAfterExplainingTheInterval) {
    Program program;  // no settings file: never run here before
    program.CopyHelp();
    program.SetIni("General", "Verbose", "0");
    ::DeleteFileA(program.IniPath().c_str());
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    ASSERT_TRUE(box->Press(IDOK));
    HWND help = WaitForHelpWindow(program);
    ASSERT_NE(help, nullptr);
    ExpectContentsTree(help);
    // Then the first slide finds an empty list, as on every first run.
    auto slide = program.WaitForMessageBox();
    ASSERT_TRUE(slide.has_value());
    EXPECT_EQ(slide->text, "No images selected for slideshow!");
    ASSERT_TRUE(slide->Press(IDOK));
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_FALSE(program.MessageBoxOpen());
    CloseHelpWindow(help);
}
