#pragma once
// The settings the slideshow reads, and the one it changes, as the settings
// side holds them (in the controls of the "&Slideshow" page), and the other
// marks of the slideshow's state.
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
    // Sets "&Enable Slideshow"; on a change its click handler runs as after a user's click.
    virtual void SetAutoChange(bool checked) = 0;
    // The same box, as the sender of the saves its clicks schedule.
    virtual const void* AutoChangeSender() const = 0;
    // "Pause while a full-screen program runs".
    virtual bool PauseForFullScreen() const = 0;
    // "Chan&ge wallpaper even if screen saver is active."
    virtual bool ChangeDuringSaver() const = 0;
    // The focus is in one of the interval boxes: the user is typing a new interval.
    virtual bool IntervalEditing() const = 0;
    virtual void SetIntervalEditing(bool editing) = 0;
};

// The slideshow's handlers on the "&Slideshow" page's controls.
class ISlideshowHandlers {
public:
    virtual ~ISlideshowHandlers() = default;
    // Sets the slide timer from the interval and "&Enable Slideshow".
    virtual void ApplySlideInterval() = 0;
    virtual void chkAutoChangeClick() = 0;
    // A key in an interval box: the interval is applied and saved once the typing stops.
    virtual void GenericSlideTimerChange(const void* sender) = 0;
    // The focus left the group " Slideshow ".
    virtual void gbxIntervalExit() = 0;
};

// The settings file's side: the slideshow saves the settings once the user
// has finished a change, unless the settings are being moved right now.
class ISettingsSaver {
public:
    virtual ~ISettingsSaver() = default;
    virtual bool SettingsTransfer() const = 0;
    virtual void SaveSettings(const void* sender) = 0;
};

// The tray menu's "Run &Slideshow" check mark, which follows "&Enable Slideshow".
class IRunSlideshowMark {
public:
    virtual ~IRunSlideshowMark() = default;
    virtual bool RunSlideshowChecked() const = 0;
    virtual void SetRunSlideshowChecked(bool checked) = 0;
};

}  // namespace pictavo
