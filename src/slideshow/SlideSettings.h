#pragma once
// The settings the slideshow reads, and the one it changes, as the settings
// side holds them (in the controls of the "&Slideshow" page).
#include "slideshow/SlideSelection.h"

namespace pictavo {

class ISlideSettings {
public:
    virtual ~ISlideSettings() = default;
    virtual SlideOptions ReadSlideOptions() const = 0;
    // "C&hange every:" hours, minutes and seconds.
    virtual int SlideHours() const = 0;
    virtual int SlideMinutes() const = 0;
    virtual int SlideSeconds() const = 0;
    // "&Enable Slideshow".
    virtual bool AutoChange() const = 0;
    // Unchecks "&Enable Slideshow"; its click handler runs as after a user's click.
    virtual void UncheckAutoChange() = 0;
    // The same box, as the sender of the saves its clicks schedule.
    virtual const void* AutoChangeSender() const = 0;
    // "Chan&ge wallpaper even if screen saver is active."
    virtual bool ChangeDuringSaver() const = 0;
};

}  // namespace pictavo
