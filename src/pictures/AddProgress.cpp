#include "pictures/AddProgress.h"

#include <commctrl.h>

namespace pictavo {

void TAddProgress::Begin(int maximum) {
    maximum_ = maximum;
    shownPercent_ = 0;
    repaints_ = 0;
    // A 32-bit range: a batch may hold more than 65,535 files.
    ::SendMessageA(bar_, PBM_SETRANGE32, 0, maximum);
    ::SendMessageA(bar_, PBM_SETPOS, 0, 0);
    ::ShowWindow(label_, SW_HIDE);
    ::ShowWindow(bar_, SW_SHOW);
    ::UpdateWindow(bar_);
}

void TAddProgress::SetPosition(int position) {
    // Some progress bars paint at once on every new position; a whole percent
    // is all the eye can tell apart.
    const int percent =
        maximum_ > 0 ? static_cast<int>(static_cast<long long>(position) * 100 / maximum_) : 100;
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    ++repaints_;
    ::SendMessageA(bar_, PBM_SETPOS, position, 0);
    ::UpdateWindow(bar_);
}

void TAddProgress::End() {
    ::ShowWindow(bar_, SW_HIDE);
    ::ShowWindow(label_, SW_SHOW);
    ::SendMessageA(bar_, PBM_SETPOS, 0, 0);
}

}  // namespace pictavo
