#pragma once
#include <windows.h>

namespace pictavo {

// The resolution and font height every window was laid out for.
constexpr int kDesignPixelsPerInch = 96;
constexpr int kDesignFontHeight = -11;

// Scales the fonts of a window's direct controls (not those inside panels or
// pages) when the screen does not have 96 pixels per inch. The factor is the
// window's font height over -11, as a whole number.
void AdjustFormScaling(HWND window, int formFontHeight = kDesignFontHeight);
// The same at a given resolution, for tests.
void AdjustFormScalingAt(HWND window, int formFontHeight, int pixelsPerInch);

int ScreenPixelsPerInch();

}  // namespace pictavo
