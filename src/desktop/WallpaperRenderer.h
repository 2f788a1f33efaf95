#pragma once
// Turning a picture into a bitmap the wallpaper call takes, and the screen it
// is fitted to. Behind an interface so that unit tests can script renderings
// and their failures.
#include <windows.h>

#include <string>

#include "imaging/PictureDecoder.h"

namespace pictavo {

class IWallpaperRenderer {
public:
    virtual ~IWallpaperRenderer() = default;
    // The primary monitor's size in pixels.
    virtual PixelSize ScreenSize() = 0;
    // The picture at `source`, upright, fitted within `box` (full size for
    // 0 by 0), written as a 24-bit bitmap file at `target`, swapped in whole:
    // on failure `target` is left as it was.
    virtual RenderedBitmap RenderBitmapFile(const std::string& source, PixelSize box,
                                            const std::string& target) = 0;
};

// The real screen and the program's picture decoder.
IWallpaperRenderer& SystemRenderer();

}  // namespace pictavo
