#include "desktop/ClipboardPaste.h"

#include <vector>

#include "desktop/BitmapDib.h"
#include "desktop/DibFile.h"
#include "inventory/ListingLimits.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Handles.h"

namespace pictavo {
namespace {

const char kInvalidBitmap[] = "Clipboard does not contain a valid bitmap.  File not saved.";
const char kCannotPaste[] = "Cannot paste this picture from clipboard";
const char kBusyAdding[] =
    "Pictavo is busy adding pictures. Please paste the wallpaper again when it is done.";

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

std::optional<std::string> ReadDib(HANDLE data) {
    const SIZE_T size = ::GlobalSize(data);
    const void* bytes = ::GlobalLock(data);
    if (!bytes) return std::nullopt;
    std::string dib(static_cast<const char*>(bytes), size);
    ::GlobalUnlock(data);
    return dib;
}

}  // namespace

bool ClipboardHasBitmap() {
    return ::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP);
}

std::optional<std::string> ReadClipboardDib(HWND owner) {
    OpenedClipboard clipboard(owner);
    if (!clipboard) return std::nullopt;
    if (::IsClipboardFormatAvailable(CF_DIB)) {
        if (HANDLE data = ::GetClipboardData(CF_DIB)) return ReadDib(data);
    }
    if (::IsClipboardFormatAvailable(CF_BITMAP)) {
        HPALETTE palette = ::IsClipboardFormatAvailable(CF_PALETTE)
                               ? static_cast<HPALETTE>(::GetClipboardData(CF_PALETTE))
                               : nullptr;
        if (HANDLE bitmap = ::GetClipboardData(CF_BITMAP)) {
            return DibFromBitmap(static_cast<HBITMAP>(bitmap), palette);
        }
    }
    return std::nullopt;
}

bool TClipboardPaste::SaveClipboardBitmap(const std::string& path) {
    if (!ClipboardHasBitmap()) return false;
    const std::optional<std::string> dib = ReadClipboardDib(s_.ui.MainWindow());
    const std::optional<std::string> file = dib ? BitmapFileFromDib(*dib) : std::nullopt;
    if (!file) {
        // A bitmap is offered but cannot be read, or its header is impossible.
        s_.ui.Trace("SaveClipboardBitmap: the clipboard's bitmap cannot be read");
        s_.ui.ShowError(kCannotPaste);
        return false;
    }
    try {
        WriteFileAtomically(path, *file);
    } catch (const FileError& e) {
        s_.ui.Trace(e.what());
        s_.ui.ShowError(kCannotPaste);
        return false;
    }
    return true;
}

void TClipboardPaste::mnuSetWallpaperfromClipboardClick() {
    // The tray menu works while an "Add Wallpaper" dialog is up; the paste's
    // own batch would undo the running one's choices.
    if (s_.adder.Adding()) {
        s_.ui.ShowError(kBusyAdding);
        return;
    }
    if (!ClipboardHasBitmap()) return;
    std::string path = s_.adder.MakeCaptureName("Clipboard.bmp");
    bool tile = true;
    bool copy = false;
    s_.adder.BeginAddBatch(false);
    if (!s_.adder.AskWallpaperOptions("Add Wallpaper", path, true, true, kOptionMove, kOptionMove,
                                      copy, tile)) {
        return;
    }
    // Refused before writing: a file the list cannot hold would stay behind unlisted.
    if (const std::string refusal = ListingRefusal(path); !refusal.empty()) {
        s_.ui.ShowError(refusal);
        return;
    }
    if (!SaveClipboardBitmap(path)) {
        s_.ui.ShowError(kInvalidBitmap);
        return;
    }
    FlagHold suspended(s_.flags.previewSuspended);
    if (s_.inventory.StorePictureRecord("", path, false, true, tile)) {
        s_.desktop.ApplyWallpaper(path, tile, false);
    }
}

}  // namespace pictavo
