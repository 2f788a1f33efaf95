#pragma once
// A device-dependent bitmap, as the clipboard's CF_BITMAP holds it, read as a
// packed device-independent one. Apart from the clipboard, so that it can be
// tried on bitmaps of every depth: the clipboard offers CF_DIB beside
// CF_BITMAP, and the other path is seldom taken.
#include <windows.h>

#include <optional>
#include <string>

namespace pictavo {

// Up to 8 bits keep their depth and take their colours from the palette (the
// system's when there is none); deeper ones become 24 bits, or 32 where the
// bitmap has 32, which may carry alpha. Nothing when the bitmap cannot be
// read or its size is absurd.
std::optional<std::string> DibFromBitmap(HBITMAP bitmap, HPALETTE palette);

}  // namespace pictavo
