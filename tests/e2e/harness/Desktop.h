#pragma once
// Pictures and desktop values for end-to-end tests: small bitmaps to add and
// show, and the user profile's wallpaper values as another program reads them.
#include <windows.h>

#include <string>

namespace e2e {

// A 64 by 64 bitmap in two colours with a diagonal band, so tiling shows.
std::string Bitmap(unsigned char r, unsigned char g, unsigned char b);

// A value of HKCU "Control Panel\Desktop"; "<no key>" or "<missing>" when absent.
std::string DesktopValue(const char* name);

// Puts a wallpaper on the desktop as another program would; persisted, and
// the settings-change notice sent only when asked for.
void SetDesktopWallpaper(const std::string& path, bool notify);

}  // namespace e2e
