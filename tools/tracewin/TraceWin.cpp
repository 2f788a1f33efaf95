// tracewin: shows the trace lines programs send to the window titled
// "Norvex Message Window" (WM_COPYDATA records, see app/TraceRecord.h).
//
//   tracewin.exe [--file PATH [--append]] [--max-lines N]
//
// Each line shows as "hh:mm:ss.mmm  [XXXXXXXX]  text": local time of arrival,
// the sender's window handle in hex, the text. With --file every line is also
// written to PATH exactly as shown, ending in CRLF, with one WriteFile per line
// (no buffering of our own), so another program can read the file while the
// viewer runs. Control characters in a text become spaces: one record, one line.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "TraceWinCommands.h"
#include "platform/TraceRecord.h"
#include "platform/Guard.h"
#include "platform/Handles.h"
#include "platform/Window.h"

using namespace pictavo;

namespace {

constexpr char kCaption[] = "tracewin";
constexpr size_t kDefaultMaxLines = 100000;
constexpr size_t kLimitMaxLines = 1000000;

// Short lines: a message box wraps long ones wherever it likes.
constexpr char kUsage[] =
    "Usage:\n"
    "tracewin.exe [--file PATH [--append]] [--max-lines N]\n"
    "\n"
    "Shows the trace lines sent to the window\n"
    "\"Norvex Message Window\", newest at the bottom:\n"
    "hh:mm:ss.mmm  [sender window in hex]  text\n"
    "\n"
    "--file PATH\n"
    "      also writes every line to PATH as shown\n"
    "--append\n"
    "      keeps what PATH holds (else it is emptied)\n"
    "--max-lines N\n"
    "      keeps at most N lines in the window\n"
    "      (default 100000, at most 1000000);\n"
    "      the oldest go first, the file keeps all\n"
    "--help\n"
    "      shows this text\n"
    "\n"
    "Ctrl+C copies all lines, Ctrl+L clears the window.";

using namespace tracewin;
constexpr int idList = 100;

struct AcceleratorTraits {
    static HACCEL Invalid() { return nullptr; }
    static bool IsValid(HACCEL h) { return h != nullptr; }
    static void Close(HACCEL h) { ::DestroyAcceleratorTable(h); }
};
struct GlobalTraits {
    static HGLOBAL Invalid() { return nullptr; }
    static bool IsValid(HGLOBAL h) { return h != nullptr; }
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
using UniqueAccelerators = UniqueResource<HACCEL, AcceleratorTraits>;
using UniqueGlobal = UniqueResource<HGLOBAL, GlobalTraits>;

struct Options {
    std::string file;
    bool append = false;
    size_t maxLines = kDefaultMaxLines;
    bool help = false;
};

// Returns what is wrong with the arguments, if anything.
std::optional<std::string> ParseArguments(int argc, char** argv, Options& options) {
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.help = true;
        } else if (arg == "--append") {
            options.append = true;
        } else if (arg == "--file") {
            if (haveFile) return "--file is given twice.";
            if (i + 1 >= argc || !*argv[i + 1]) return "--file needs a path.";
            options.file = argv[++i];
            haveFile = true;
        } else if (arg == "--max-lines") {
            if (i + 1 >= argc) return "--max-lines needs a number.";
            const char* value = argv[++i];
            char* end = nullptr;
            unsigned long n = std::strtoul(value, &end, 10);
            if (!*value || *end || *value == '-' || n < 1 || n > kLimitMaxLines) {
                return "--max-lines needs a number from 1 to 1000000, not \"" + std::string(value) +
                       "\".";
            }
            options.maxLines = n;
        } else {
            return "Unknown argument: " + arg;
        }
    }
    if (options.append && !haveFile) return "--append needs --file.";
    return std::nullopt;
}

std::string FormatLine(const SYSTEMTIME& time, HWND sender, std::string_view text) {
    char prefix[40];
    std::snprintf(prefix, sizeof(prefix), "%02u:%02u:%02u.%03u  [%08lX]  ", time.wHour,
                  time.wMinute, time.wSecond, time.wMilliseconds,
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(sender)));
    std::string line = prefix;
    line.reserve(line.size() + text.size());
    for (char c : text) line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return line;
}

// The --file output. A failed write never stops the viewer; it only ends the file.
class LineFile {
public:
    // Returns 0 or the system error code.
    DWORD Open(const std::string& path, bool append) {
        path_ = path;
        // Readers may open, and even delete, the file while we write it.
        handle_.Reset(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!handle_) return ::GetLastError();
        if (append) {
            LARGE_INTEGER size{}, zero{};
            ::GetFileSizeEx(handle_.Get(), &size);
            if (size.QuadPart > 0) {
                // An earlier last line without its line end must not swallow our first.
                LARGE_INTEGER last{};
                last.QuadPart = -1;
                char c = 0;
                DWORD read = 0;
                ::SetFilePointerEx(handle_.Get(), last, nullptr, FILE_END);
                ::ReadFile(handle_.Get(), &c, 1, &read, nullptr);
                ::SetFilePointerEx(handle_.Get(), zero, nullptr, FILE_END);
                if (read == 1 && c != '\n') return Write("");
            }
        }
        return 0;
    }
    bool IsOpen() const { return handle_.Valid(); }
    const std::string& Path() const { return path_; }
    // Returns 0 or the system error code; after an error the file gets no more lines.
    DWORD Write(const std::string& line) {
        const std::string data = line + "\r\n";
        DWORD written = 0;
        const bool ok = ::WriteFile(handle_.Get(), data.data(), static_cast<DWORD>(data.size()),
                                    &written, nullptr);
        if (ok && written == data.size()) return 0;
        // A short write without an error is what a full disk looks like.
        const DWORD error = ok ? ERROR_DISK_FULL : ::GetLastError();
        handle_.Reset();
        return error;
    }

private:
    UniqueHandle handle_;
    std::string path_;
};

class TTraceWin : public Window {
public:
    TTraceWin(size_t maxLines, LineFile* file) : maxLines_(maxLines), file_(file) {
        // A listbox of our own drawing (no data kept by the control): it stays
        // quick at any count and, unlike a list view, shows lines past 259 characters.
        font_.Reset(::CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  FIXED_PITCH | FF_MODERN, "Courier New"));
        UniqueMenu menu(::CreateMenu());
        HMENU fileMenu = ::CreatePopupMenu();
        ::AppendMenuA(fileMenu, MF_STRING, idExit, "E&xit");
        ::AppendMenuA(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), "&File");
        HMENU editMenu = ::CreatePopupMenu();
        ::AppendMenuA(editMenu, MF_STRING, idCopyAll, "&Copy all\tCtrl+C");
        ::AppendMenuA(editMenu, MF_STRING, idClear, "C&lear\tCtrl+L");
        ::AppendMenuA(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(editMenu), "&Edit");
        Create("TTraceWin", 0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kTraceWindowTitle,
               CW_USEDEFAULT, CW_USEDEFAULT, 760, 420, nullptr,
               ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
        // The window owns the menu from here on.
        if (Handle() && ::SetMenu(Handle(), menu.Get())) menu.Release();
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_CREATE:
                CreateList();
                return 0;
            case WM_SIZE:
                if (list_) ::MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
                return 0;
            case WM_SETFOCUS:
                if (list_) ::SetFocus(list_);
                return 0;
            case WM_COPYDATA:
                return Receive(reinterpret_cast<HWND>(wParam),
                               reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            case WM_MEASUREITEM: {
                auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                if (item->CtlID != idList) break;
                item->itemHeight = itemHeight_;
                return TRUE;
            }
            case WM_DRAWITEM: {
                auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                if (item->CtlID != idList) break;
                DrawLine(*item);
                return TRUE;
            }
            case WM_COMMAND:
                switch (LOWORD(wParam)) {
                    case idCopyAll:
                        CopyAll();
                        return 0;
                    case idClear:
                        Clear();
                        return 0;
                    case idExit:
                        ::PostMessageA(Handle(), WM_CLOSE, 0, 0);
                        return 0;
                }
                break;
            case WM_TIMER:
                if (wParam != kRefreshTimer) break;
                Refresh();
                return 0;
            case WM_DESTROY:
                ::PostQuitMessage(0);
                return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }

private:
    void CreateList() {
        {
            WindowDC dc(Handle());
            HGDIOBJ old = ::SelectObject(dc.Get(), font_.Get());
            TEXTMETRICA metrics{};
            ::GetTextMetricsA(dc.Get(), &metrics);
            ::SelectObject(dc.Get(), old);
            itemHeight_ = metrics.tmHeight + 1;
        }
        list_ =
            CreateControl(Handle(), "LISTBOX", "",
                          WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA |
                              LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                          0, 0, 0, 0, idList, WS_EX_CLIENTEDGE, static_cast<HFONT>(font_.Get()));
    }

    BOOL Receive(HWND sender, const COPYDATASTRUCT* data) {
        if (!data || data->dwData != kTraceCopyDataId || data->cbData != kTraceRecordSize ||
            !data->lpData) {
            return FALSE;
        }
        // Only the length byte decides what is shown; the integer after the
        // text is the sender's business.
        auto* record = static_cast<const uint8_t*>(data->lpData);
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        AddLine(FormatLine(now, sender, TraceRecordText(record)));
        return TRUE;
    }

    void AddLine(std::string line) {
        DWORD error = 0;
        if (file_ && file_->IsOpen() && (error = file_->Write(line)) != 0) {
            SYSTEMTIME now{};
            ::GetLocalTime(&now);
            Append(line);
            Append(FormatLine(now, Handle(),
                              "tracewin: writing to " + file_->Path() + " failed (error " +
                                  std::to_string(error) + "); the file gets no more lines"));
            return;
        }
        Append(std::move(line));
    }

    void Append(std::string line) {
        widest_ = std::max(widest_, TextWidth(line));
        lines_.push_back(std::move(line));
        while (lines_.size() > maxLines_) {
            lines_.pop_front();
            ++dropped_;
        }
        // The list catches up shortly after, once per burst: updating it per line
        // repaints on every record and makes each sender wait milliseconds.
        if (list_ && !refreshPending_) {
            refreshPending_ = ::SetTimer(Handle(), kRefreshTimer, kRefreshMs, nullptr) != 0;
            if (!refreshPending_) Refresh();
        }
    }

    void Refresh() {
        ::KillTimer(Handle(), kRefreshTimer);
        refreshPending_ = false;
        if (!list_) return;
        const int shown = static_cast<int>(::SendMessageA(list_, LB_GETCOUNT, 0, 0));
        const int top = static_cast<int>(::SendMessageA(list_, LB_GETTOPINDEX, 0, 0));
        RECT client{};
        ::GetClientRect(list_, &client);
        const int rows = std::max(1, static_cast<int>(client.bottom / itemHeight_));
        const bool follow = top + rows >= shown;
        ::SendMessageA(list_, LB_SETCOUNT, lines_.size(), 0);
        if (widest_ > extent_) {
            extent_ = widest_;
            ::SendMessageA(list_, LB_SETHORIZONTALEXTENT, extent_, 0);
        }
        if (follow) {
            ::SendMessageA(list_, LB_SETTOPINDEX, lines_.size() - 1, 0);
        } else {
            // Someone reads further up: keep the same lines in view.
            ::SendMessageA(list_, LB_SETTOPINDEX, std::max(0, top - dropped_), 0);
        }
        // Dropping the oldest moved every line up.
        if (dropped_) ::InvalidateRect(list_, nullptr, FALSE);
        dropped_ = 0;
    }

    int TextWidth(const std::string& line) const {
        if (!list_) return 0;
        WindowDC dc(list_);
        HGDIOBJ old = ::SelectObject(dc.Get(), font_.Get());
        SIZE size{};
        ::GetTextExtentPoint32A(dc.Get(), line.data(), static_cast<int>(line.size()), &size);
        ::SelectObject(dc.Get(), old);
        return size.cx + 2 * kMargin;
    }

    void DrawLine(const DRAWITEMSTRUCT& item) {
        HDC dc = item.hDC;
        RECT rect = item.rcItem;
        if (item.itemID == static_cast<UINT>(-1) || item.itemID >= lines_.size()) {
            if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rect);
            return;
        }
        const bool selected = item.itemState & ODS_SELECTED;
        const COLORREF oldBack =
            ::SetBkColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const COLORREF oldText =
            ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        HGDIOBJ oldFont = ::SelectObject(dc, font_.Get());
        const std::string& line = lines_[item.itemID];
        ::ExtTextOutA(dc, rect.left + kMargin, rect.top, ETO_OPAQUE | ETO_CLIPPED, &rect,
                      line.data(), static_cast<UINT>(line.size()), nullptr);
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rect);
        ::SelectObject(dc, oldFont);
        ::SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBack);
    }

    void CopyAll() {
        std::string text;
        for (const std::string& line : lines_) {
            text += line;
            text += "\r\n";
        }
        UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
        if (!memory) throw std::bad_alloc();
        auto* target = static_cast<char*>(::GlobalLock(memory.Get()));
        if (!target) throw std::bad_alloc();
        std::memcpy(target, text.c_str(), text.size() + 1);
        ::GlobalUnlock(memory.Get());
        if (!::OpenClipboard(Handle())) {
            ::MessageBeep(MB_ICONEXCLAMATION);  // another program holds it; try again
            return;
        }
        ::EmptyClipboard();
        // On success the clipboard owns the memory.
        if (::SetClipboardData(CF_TEXT, memory.Get())) memory.Release();
        ::CloseClipboard();
    }

    void Clear() {
        lines_.clear();
        dropped_ = 0;
        widest_ = extent_ = 0;
        if (!list_) return;
        ::SendMessageA(list_, LB_SETCOUNT, 0, 0);
        ::SendMessageA(list_, LB_SETHORIZONTALEXTENT, 0, 0);
        ::InvalidateRect(list_, nullptr, TRUE);
    }

    static constexpr int kMargin = 2;
    static constexpr UINT_PTR kRefreshTimer = 1;
    static constexpr UINT kRefreshMs = 40;
    const size_t maxLines_;
    LineFile* const file_;
    UniqueGdiObject font_;
    HWND list_ = nullptr;
    int itemHeight_ = 16;
    int widest_ = 0;   // of all lines received
    int extent_ = 0;   // what the list scrolls across
    int dropped_ = 0;  // since the list was last brought up to date
    bool refreshPending_ = false;
    std::deque<std::string> lines_;
};

int Fail(const std::string& text, int code) {
    ::MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    SetExceptionHandler([](const std::string& message) {
        ::MessageBoxA(nullptr, message.c_str(), kCaption, MB_OK | MB_ICONERROR);
    });
    Options options;
    if (auto error = ParseArguments(__argc, __argv, options)) {
        return Fail(*error + "\n\n" + kUsage, 2);
    }
    if (options.help) {
        ::MessageBoxA(nullptr, kUsage, kCaption, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    LineFile file;
    if (!options.file.empty()) {
        if (DWORD error = file.Open(options.file, options.append)) {
            return Fail("Cannot open " + options.file + " for writing (error " +
                            std::to_string(error) + ").",
                        1);
        }
    }

    TTraceWin window(options.maxLines, file.IsOpen() ? &file : nullptr);
    if (!window.Handle()) return Fail("Cannot create the window.", 1);
    const ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'C', idCopyAll},
        {FCONTROL | FVIRTKEY, 'L', idClear},
    };
    UniqueAccelerators accelerators(::CreateAcceleratorTableA(const_cast<ACCEL*>(keys), 2));
    ::ShowWindow(window.Handle(), show);
    ::UpdateWindow(window.Handle());

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (::TranslateAcceleratorA(window.Handle(), accelerators.Get(), &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
