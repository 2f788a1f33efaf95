// The "&Online" page of the real program opening the maker's pages in the
// browser that the registry names, as Wine registers its own: a quoted path.
#include <gtest/gtest.h>

#include "harness/Harness.h"
#include "support/CommandRecorder.h"

// After <windows.h>, which the harness brings.
#include <commctrl.h>

using namespace e2e;
using pictavo::testing::CommandRecorder;

namespace {

std::string ReadDefault(HKEY key) {
    char value[1024] = {};
    DWORD size = sizeof(value) - 1;
    if (::RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return value;
}

// Registers another open command for the .html document class of the
// machine (and the class itself where the prefix has none), and puts back
// what was there at the end.
class RegisteredBrowser {
public:
    explicit RegisteredBrowser(const std::string& command) {
        HKEY html = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHtml, 0, KEY_READ, &html) == ERROR_SUCCESS) {
            documentClass_ = ReadDefault(html);
            ::RegCloseKey(html);
        }
        if (documentClass_.empty()) {
            documentClass_ = "htmlfile";
            madeHtml_ = true;
            Write(HKEY_LOCAL_MACHINE, kHtml, documentClass_);
        }
        const std::string path = "SOFTWARE\\Classes\\" + documentClass_ + "\\shell\\open\\command";
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        former_ = ReadDefault(key_);
        Set(key_, command);
    }
    ~RegisteredBrowser() {
        if (key_) {
            Set(key_, former_);
            ::RegCloseKey(key_);
        }
        if (madeHtml_) ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kHtml);
    }
    bool Registered() const { return key_ != nullptr; }

private:
    static constexpr const char* kHtml = "SOFTWARE\\Classes\\.html";
    static void Set(HKEY key, const std::string& value) {
        ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    }
    static void Write(HKEY root, const char* path, const std::string& value) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            Set(key, value);
            ::RegCloseKey(key);
        }
    }
    std::string documentClass_, former_;
    bool madeHtml_ = false;
    HKEY key_ = nullptr;
};

// Shows the "&Online" page as the keyboard does, and clicks the link.
HWND ClickOnlineLink(HWND main, const std::string& caption) {
    HWND tabs = ::FindWindowExA(main, nullptr, WC_TABCONTROLA, nullptr);
    HWND link = FindChildByText(main, caption);
    if (!tabs || !link) return nullptr;
    for (int i = 0; i < 3; ++i) {
        ::PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0);
        ::PostMessageA(tabs, WM_KEYUP, VK_RIGHT, 0);
    }
    if (!WaitFor([&] { return ::IsWindowVisible(link) != FALSE; })) return nullptr;
    ::PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    return link;
}

}  // namespace

TEST(Online, ALinkOpensTheQuotedRegisteredBrowserOnTheMakersPage) {
    TempFolder folder;
    ::CreateDirectoryA((folder / "Web Browser").c_str(), nullptr);
    CommandRecorder browser(folder / "Web Browser\\browse.exe");
    ASSERT_TRUE(browser.Copied());
    RegisteredBrowser registered("\"" + browser.Path() + "\" \"%1\"");
    ASSERT_TRUE(registered.Registered());

    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    ASSERT_TRUE(ClickOnlineLink(main, "Norvex Software Home Page"));

    const auto started = browser.WaitForStart();
    ASSERT_TRUE(started) << "the browser was not started";
    EXPECT_EQ(started->args,
              std::vector<std::string>{
                  "http://www.norvex.com/cgi-bin/redir.cgi?app=pvo&ver=1.1&func=home"})
        << started->commandLine;
    SaveScreenshot("Online.Link");
    EXPECT_FALSE(program.MessageBoxOpen());
}

TEST(Online, WithoutABrowserALinkSaysSo) {
    TempFolder folder;
    RegisteredBrowser registered("\"" + (folder / "no browser.exe") + "\" \"%1\"");
    ASSERT_TRUE(registered.Registered());

    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    ASSERT_TRUE(ClickOnlineLink(main, "Pictavo Home Page"));

    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Unable to find a web browser. Install one or try connecting manually.");
    EXPECT_TRUE(box->Press(IDOK));
}
