#include "support/Shortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace pictavo::testing {
namespace {

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
};

std::wstring Wide(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

}  // namespace

ShortcutContents ReadShortcut(const std::string& path) {
    ShortcutContents contents;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link.p))) ||
        FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(Wide(path).c_str(), STGM_READ))) {
        return contents;
    }
    char target[MAX_PATH] = {}, directory[MAX_PATH] = {};
    link.p->GetPath(target, MAX_PATH, nullptr, 0);
    link.p->GetWorkingDirectory(directory, MAX_PATH);
    contents.read = true;
    contents.target = target;
    contents.workingDirectory = directory;
    return contents;
}

}  // namespace pictavo::testing
