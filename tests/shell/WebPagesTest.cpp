// Finding the web browser in the registry and starting it on an address. The
// document classes are written under a key of the test's own, which stands for
// HKEY_LOCAL_MACHINE; the browser is a stand-in that records its start.
#include <gtest/gtest.h>

#include "platform/Handles.h"
#include "platform/Paths.h"
#include "shell/LaunchRules.h"
#include "shell/WebPages.h"
#include "support/CommandRecorder.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace pictavo {
namespace {

using testing::CommandRecorder;

constexpr char kRootPath[] = "Software\\PictavoTests\\WebPages";

void DeleteTree(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[256];
    for (;;) {
        DWORD size = sizeof(child);
        if (::RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        DeleteTree(key, child);
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyA(parent, name.c_str());
}

// A stand-in for HKEY_LOCAL_MACHINE with its SOFTWARE\Classes, removed afterwards.
class FakeMachineKey {
public:
    FakeMachineKey() {
        DeleteTree(HKEY_CURRENT_USER, kRootPath);
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kRootPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          root_.Put(), nullptr);
    }
    ~FakeMachineKey() {
        root_.Reset();
        DeleteTree(HKEY_CURRENT_USER, "Software\\PictavoTests");
    }
    HKEY Root() const { return root_.Get(); }
    // Writes a key's default value, making the key.
    void Set(const std::string& path, const std::string& value, DWORD type = REG_SZ) {
        UniqueHKey key;
        ASSERT_EQ(::RegCreateKeyExA(root_.Get(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key.Get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    }
    void Register(const std::string& documentClass, const std::string& command,
                  DWORD type = REG_SZ) {
        Set("SOFTWARE\\Classes\\.html", documentClass);
        if (!command.empty()) {
            Set("SOFTWARE\\Classes\\" + documentClass + "\\shell\\open\\command", command, type);
        }
    }

private:
    UniqueHKey root_;
};

TEST(WebPages, FindWebBrowserTakesTheProgramOfTheHtmlOpenCommand) {
    testing::TempDir dir;
    ::CreateDirectoryA((dir / "Web Browser").c_str(), nullptr);
    const std::string quoted = dir.Write("Web Browser\\browse.exe", "MZ");
    const std::string plain = dir.Write("browse.exe", "MZ");
    ::SetEnvironmentVariableA("PICTAVO_TEST_BROWSERS", dir.Path().c_str());

    const struct {
        const char* name;
        std::string documentClass, command;
        DWORD type;
        std::string found;
    } cases[] = {
        {"quoted, as Wine registers it", "htmlfile", "\"" + quoted + "\" \"%1\"", REG_SZ, quoted},
        {"unquoted without blanks", "htmlfile", plain + " %1", REG_SZ, plain},
        {"the bare path", "htmlfile", plain, REG_SZ, plain},
        {"environment strings", "htmlfile",
         "\"%PICTAVO_TEST_BROWSERS%\\Web Browser\\browse.exe\" %1", REG_EXPAND_SZ, quoted},
        {"unquoted with a blank", "htmlfile", dir / "Web Browser\\browse.exe %1", REG_SZ, ""},
        {"no such program", "htmlfile", "\"" + (dir / "gone.exe") + "\" \"%1\"", REG_SZ, ""},
        {"no open command", "htmlfile", "", REG_SZ, ""},
        {"no document class", "", "", REG_SZ, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachineKey machine;
        machine.Register(c.documentClass, c.command, c.type);
        testing::ScriptedPrompts prompts;
        TWebPages pages(prompts);
        pages.FindWebBrowser(machine.Root());
        EXPECT_EQ(pages.WebBrowser(), c.found);
    }
    ::SetEnvironmentVariableA("PICTAVO_TEST_BROWSERS", nullptr);

    // Nothing registered at all.
    testing::ScriptedPrompts prompts;
    TWebPages pages(prompts);
    FakeMachineKey empty;
    pages.FindWebBrowser(empty.Root());
    EXPECT_EQ(pages.WebBrowser(), "");
}

TEST(WebPages, OpenWebPageHandsTheBrowserTheAddressAsOneArgument) {
    testing::TempDir dir;
    ::CreateDirectoryA((dir / "Web Browser").c_str(), nullptr);
    CommandRecorder browser(dir / "Web Browser\\browse.exe");
    ASSERT_TRUE(browser.Copied());
    FakeMachineKey machine;
    machine.Register("htmlfile", "\"" + browser.Path() + "\" \"%1\"");
    testing::ScriptedPrompts prompts;
    TWebPages pages(prompts);
    pages.FindWebBrowser(machine.Root());

    EXPECT_TRUE(pages.OpenWebPage(WebPageAddress("home"), nullptr));
    const auto started = browser.WaitForStart();
    ASSERT_TRUE(started) << "the browser was not started";
    EXPECT_EQ(started->args,
              std::vector<std::string>{
                  "http://www.norvex.com/cgi-bin/redir.cgi?app=pvo&ver=1.1&func=home"})
        << started->commandLine;
    EXPECT_EQ(LowerCase(started->folder), LowerCase(dir / "Web Browser"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(WebPages, WithoutABrowserEveryClickIsAnsweredWithTheMessage) {
    testing::ScriptedPrompts prompts;
    TWebPages pages(prompts);
    FakeMachineKey empty;
    pages.FindWebBrowser(empty.Root());
    EXPECT_FALSE(pages.OpenWebPage(WebPageAddress("home"), nullptr));
    EXPECT_FALSE(pages.OpenWebPage(WebPageAddress("imglib"), nullptr));
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>(
                  2, "Unable to find a web browser. Install one or try connecting manually."));
}

}  // namespace
}  // namespace pictavo
