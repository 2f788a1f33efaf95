#include "shell/StartupShortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "inventory/InventoryTable.h"
#include "platform/Files.h"
#include "platform/Handles.h"

namespace pictavo {
namespace {

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

}  // namespace

std::string CommonStartupFolder() {
    HKEY key = HKEY_LOCAL_MACHINE;
    UniqueHKey levels[6];
    const char* names[] = {"SOFTWARE", "MicroSoft", "Windows", "CurrentVersion", "Explorer",
                           "Shell Folders"};
    for (int i = 0; i < 6; ++i) {
        if (::RegOpenKeyExA(key, names[i], 0, KEY_READ, levels[i].Put()) != ERROR_SUCCESS) {
            return {};
        }
        key = levels[i].Get();
    }
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value) - 1, type = 0;
    if (::RegQueryValueExA(key, "Common Startup", nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return value;
}

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(),
                                  static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

}  // namespace

std::string SyncStartupShortcut(bool wanted, const std::string& programPath) {
    const std::string folder = CommonStartupFolder();
    // Without the folder the path would land at the root of the current drive.
    if (folder.empty()) return {};
    const std::string shortcut = folder + "\\" + kStartupShortcutName;
    ::CreateDirectoryA(folder.c_str(), nullptr);

    if (!wanted) {
        if (FileExists(shortcut) && !::DeleteFileA(shortcut.c_str())) {
            return "Unable to delete Startup icon: " + shortcut;
        }
        return {};
    }
    const std::string failure = "Unable to create Startup icon: " + shortcut;
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link.p)))) {
        return failure;
    }
    if (FAILED(link.p->SetPath(programPath.c_str())) ||
        FAILED(link.p->SetWorkingDirectory(
            std::string(StripTrailingBackslashes(ExtractFileDir(programPath))).c_str()))) {
        return failure;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Save(Wide(shortcut).c_str(), FALSE))) {
        return failure;
    }
    return {};
}

}  // namespace pictavo
