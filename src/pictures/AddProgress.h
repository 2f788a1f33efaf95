#pragma once
// The progress of a bulk addition on the main window's bottom panel.
#include <windows.h>

namespace pictavo {

class IAddProgress {
public:
    virtual ~IAddProgress() = default;
    // Shows the bar at 0 of a range from 0 to the maximum.
    virtual void Begin(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // Hides the bar and sets it back to 0.
    virtual void End() = 0;
};

// The progress bar pbrProgress over the picture count lblHints. The count is
// hidden while the bar shows, so storing each file does not paint it; the bar
// moves, and is painted at once, only by whole percents, since no messages are
// handled between two files of a batch without questions.
class TAddProgress final : public IAddProgress {
public:
    TAddProgress(HWND pbrProgress, HWND lblHints) : bar_(pbrProgress), label_(lblHints) {}

    void Begin(int maximum) override;
    void SetPosition(int position) override;
    void End() override;

    // How often the bar was painted during the last batch.
    int Repaints() const { return repaints_; }

private:
    HWND bar_;
    HWND label_;
    int maximum_ = 0;
    int shownPercent_ = -1;
    int repaints_ = 0;
};

}  // namespace pictavo
