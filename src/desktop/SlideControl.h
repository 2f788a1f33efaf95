#pragma once
// The slideshow as the rest of the program drives it: a manual change of the
// wallpaper restarts the countdown or moves the slideshow on, detection
// restarts it after a capture, the tray menu changes the picture now and shows
// the interval. The slideshow implements it; the interface stands here, below
// the slideshow, because the slideshow itself applies its pictures through the
// wallpaper.
#include <string>

namespace pictavo {

class ISlideControl {
public:
    virtual ~ISlideControl() = default;
    virtual void RestartSlideCountdown() = 0;
    virtual void ShowNextSlide() = 0;
    // "Change Wallpaper &Now": what a tick of the slide timer does.
    virtual void tmrSlideTimer() = 0;
    // "Run &Slideshow": turns "&Enable Slideshow" over, as a click on it would.
    virtual void RunSlideshow1Click() = 0;
    // The interval as the tray menu shows it, e.g. "5 mins".
    virtual std::string SlideIntervalText() const = 0;
};

}  // namespace pictavo
