#pragma once
// A tab page of settings controls. The controls are the page's children, so
// their notices come to the page, which hands each to its handler.
#include <windows.h>

#include <string>

#include "platform/Window.h"

namespace pictavo {

class TSettingsPage : public TPanel {
public:
    TSettingsPage(HWND parent, const RECT& area, const std::string& name)
        : TPanel(parent, area, name) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A control's notice; false when the page has no handler for it.
    virtual bool OnCommand(int id, int code, HWND control) = 0;
};

}  // namespace pictavo
