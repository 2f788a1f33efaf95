#pragma once
// What a settings page tells the settings when the user changes a setting:
// the save (or the start-up shortcut) is handed to the deferred-action
// component, so a burst of changes ends in one write.
namespace pictavo {

class ISettingsChanges {
public:
    virtual ~ISettingsChanges() = default;
    virtual void GenericSettingsChange(const void* sender) = 0;
    // "Start with &Windows": the shortcut follows once the user is done.
    virtual void StartupSettingsChange(const void* sender) = 0;
    // "Next wallpaper hot key:": the key is taken up once the user is done.
    virtual void HotKeySettingsChange(const void* sender) = 0;
};

}  // namespace pictavo
