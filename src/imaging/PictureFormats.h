#pragma once
// Which files the program takes as pictures, by their extension. No Windows
// header, so it is tested and built natively too.
#include <string_view>

namespace pictavo {

// A bitmap, JPEG (.jpg .jpeg .jpe), PNG, GIF or TIFF (.tif .tiff), by the
// name's last extension in any letter case.
bool IsPictureFileName(std::string_view path);

// A bitmap (.bmp): the one kind the system's wallpaper call takes everywhere.
bool IsBitmapFileName(std::string_view path);

}  // namespace pictavo
