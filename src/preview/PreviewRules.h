#pragma once
// What the "&Preview" page decides from plain values: the texts it shows, the
// status image of a row, whether a picture is over the preview limit, and
// which command a key with its modifiers means. No Windows header, so it is
// tested and built natively too.
#include <cstdint>
#include <string>

#include "imaging/PictureRules.h"

namespace pictavo {

// Image indices in the grid's status image list; 4 is left unused.
inline constexpr int kImageDisabled = 0;
inline constexpr int kImageEnabled = 1;
inline constexpr int kImageEnabledTooBig = 2;
inline constexpr int kImageDisabledTooBig = 3;
inline constexpr int kImageTiled = 5;
inline constexpr int kImageCentred = 6;
inline constexpr int kStatusImageCount = 7;

int EnabledImageIndex(bool enabled, bool tooBig);
int TileImageIndex(bool tile);

// A picture over the preview limit waits for a click before it is loaded.
// The limit counts thousands of bytes: 250 lets a 250,000-byte picture through.
bool OverPreviewLimit(std::int64_t size, bool limitOn, int limitThousands);

std::string ClickToPreviewText(const std::string& fileName, std::int32_t size);
std::string UnableToPreviewText(const std::string& fileName);
// A picture too large for the memory left, by its size, short enough for one
// line of the preview area: "Not enough memory to show 8688 by 5792 pixels";
// by its name when its size is not known.
std::string NotEnoughMemoryToPreviewText(const std::string& fileName, PixelSize size);
// "###,###,##0": digits in groups of three with commas, at least one digit.
std::string FormatSize(std::int64_t size);

enum class PreviewKey {
    None,
    Properties,     // Alt+Enter
    SetWallpaper,   // Ctrl+Enter
    NextSlide,      // Space
    Remove,         // Delete
    DeleteFromDisk, // Ctrl+Delete
    MoveOrRename,   // F2
    ToggleEnabled,  // F3
    ToggleTile,     // F4
    ExportManager,  // Ctrl+Alt+Shift+F11
};

// Virtual-key codes as Windows numbers them.
namespace keys {
inline constexpr unsigned Return = 0x0D, Space = 0x20, Delete = 0x2E, F2 = 0x71, F3 = 0x72,
                          F4 = 0x73, F11 = 0x7A;
}

// The command of a key: only with exactly the modifiers it names (F3 with
// Ctrl held is nothing at all).
PreviewKey DecodePreviewKey(unsigned virtualKey, bool shift, bool ctrl, bool alt);

}  // namespace pictavo
