#pragma once
#include <windows.h>

namespace pictavo {

// Scales the fonts of a window's direct controls when the screen does not have
// the 96 pixels per inch the windows were laid out for.
void AdjustFormScaling(HWND window);

}  // namespace pictavo
