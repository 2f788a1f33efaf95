#include "shell/WebPages.h"

#include <shellapi.h>

#include "platform/Files.h"
#include "platform/Handles.h"
#include "shell/LaunchRules.h"

namespace pictavo {
namespace {

// Opens each subkey in turn, never creating one.
bool OpenPath(HKEY root, std::initializer_list<std::string> names, UniqueHKey& key) {
    HKEY at = root;
    UniqueHKey opened;
    for (const std::string& name : names) {
        UniqueHKey next;
        if (::RegOpenKeyExA(at, name.c_str(), 0, KEY_READ, next.Put()) != ERROR_SUCCESS) {
            return false;
        }
        opened = std::move(next);
        at = opened.Get();
    }
    key = std::move(opened);
    return true;
}

std::string DefaultValue(HKEY key) {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) {
        return {};
    }
    std::string value(size, '\0');
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                           &size) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(std::min<std::size_t>(size, value.size()));
    while (!value.empty() && value.back() == '\0') value.pop_back();
    return value;
}

std::string ExpandEnvironment(const std::string& text) {
    const DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::string expanded(needed, '\0');
    const DWORD written = ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return text;
    expanded.resize(written - 1);
    return expanded;
}

}  // namespace

void TWebPages::FindWebBrowser(HKEY root) {
    webBrowser_.clear();
    UniqueHKey html;
    if (!OpenPath(root, {"SOFTWARE", "Classes", ".html"}, html)) return;
    const std::string documentClass = DefaultValue(html.Get());
    if (documentClass.empty()) return;
    UniqueHKey command;
    if (!OpenPath(root, {"SOFTWARE", "Classes", documentClass, "shell", "open", "command"},
                  command)) {
        return;
    }
    // A browser registered under a quoted path (with blanks, or quoted as Wine
    // and many Windows installations do) is found as well.
    const std::string program = ExpandEnvironment(CommandProgram(DefaultValue(command.Get())));
    if (!program.empty() && FileExists(program)) webBrowser_ = program;
}

bool TWebPages::OpenWebPage(const std::string& address, HWND window) {
    if (webBrowser_.empty()) {
        prompts_.Message(window,
                         "Unable to find a web browser. Install one or try connecting manually.");
        return false;
    }
    const std::string folder = StartFolder(ExtractFileDir(webBrowser_));
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(window, nullptr, webBrowser_.c_str(), QuotedArgument(address).c_str(),
                        folder.c_str(), SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace pictavo
