#include "app/FormScaling.h"

#include "app/Trace.h"

namespace pictavo {

void AdjustFormScaling(HWND window) {
    if (!window) return;
    SendTrace("AdjustFormScaling: Begin", window);
}

}  // namespace pictavo
