#include "desktop/ClipboardPaste.h"

#include <vector>

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

// A device-dependent bitmap read as a device-independent one: up to 8 bits
// keep their depth and take their colours from the palette, deeper ones
// become 24 bits (32 where the bitmap has 32, which may carry alpha).
std::optional<std::string> ReadBitmap(HBITMAP bitmap, HPALETTE palette) {
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof(info), &info)) return std::nullopt;
    const unsigned depth = static_cast<unsigned>(info.bmBitsPixel) * info.bmPlanes;
    const unsigned bits = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : depth == 32 ? 32 : 24;
    const std::uint64_t pixels = DibPixelBytes(info.bmWidth, info.bmHeight, bits);
    if (pixels == 0 || pixels > kMaxDibPixelBytes) return std::nullopt;
    const size_t colours = bits <= 8 ? (size_t{1} << bits) : 0;
    const size_t headerBytes = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    std::string dib(headerBytes + static_cast<size_t>(pixels), '\0');
    auto* header = reinterpret_cast<BITMAPINFO*>(dib.data());
    header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header->bmiHeader.biWidth = info.bmWidth;
    header->bmiHeader.biHeight = info.bmHeight;
    header->bmiHeader.biPlanes = 1;
    header->bmiHeader.biBitCount = static_cast<WORD>(bits);
    header->bmiHeader.biCompression = BI_RGB;

    MemoryDC memory(WindowDC(nullptr).Get());
    HDC dc = memory.Get();
    if (!dc) return std::nullopt;
    HPALETTE oldPalette = nullptr;
    if (palette) {
        oldPalette = ::SelectPalette(dc, palette, FALSE);
        ::RealizePalette(dc);
    }
    const int rows = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight),
                                 dib.data() + headerBytes, header, DIB_RGB_COLORS);
    if (palette) ::SelectPalette(dc, oldPalette, FALSE);
    if (rows != info.bmHeight) return std::nullopt;
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
            return ReadBitmap(static_cast<HBITMAP>(bitmap), palette);
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
