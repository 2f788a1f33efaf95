#pragma once
// RAII owners for Win32 handles: move-only, released exactly once on every path.
#include <windows.h>

#include <utility>

namespace pictavo {

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    T Get() const { return value_; }
    bool Valid() const { return Traits::IsValid(value_); }
    explicit operator bool() const { return Valid(); }
    T Release() { return std::exchange(value_, Traits::Invalid()); }
    void Reset(T value = Traits::Invalid()) {
        if (Traits::IsValid(value_)) Traits::Close(value_);
        value_ = value;
    }
    // For APIs that return the handle through an out parameter.
    T* Put() {
        Reset();
        return &value_;
    }

private:
    T value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // CreateFile and friends return INVALID_HANDLE_VALUE
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool IsValid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static bool IsValid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};

struct FindTraits {  // FindFirstFile's search handle, closed with FindClose
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFind = UniqueResource<HANDLE, FindTraits>;
using UniqueHKey = UniqueResource<HKEY, RegKeyTraits>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;
using UniqueMenu = UniqueResource<HMENU, MenuTraits>;

// A device context released to the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A memory device context compatible with another, deleted at the end of its scope.
class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(::CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc_) ::DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context for a scope; the previous one is put back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The paint of a window, begun and ended with the scope.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace pictavo
