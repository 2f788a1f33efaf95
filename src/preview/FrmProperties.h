#pragma once
// "Wallpaper Properties": the list's current picture, read-only. Made once,
// shown modally, hidden (not freed) by "&OK". A double click on its
// background shows the record navigator and the two lower-case fields.
#include <windows.h>

#include <functional>
#include <string>

#include "inventory/InventoryStore.h"
#include "platform/Prompts.h"
#include "platform/Window.h"

namespace pictavo {

class TfrmProperties : public Window {
public:
    // moved runs after the navigator moved the list's cursor or deleted its record.
    TfrmProperties(HWND owner, TInventoryStore& inventory, IPrompts& prompts,
                   std::function<void()> moved);

    void ShowModal();
    // Shows the list's current record in the fields.
    void LoadRecord();
    // Shows or hides the navigator and the lower-case labels together.
    void ToggleNavigator();
    bool NavigatorShown() const {
        return (::GetWindowLongPtrA(btnNavFirst, GWL_STYLE) & WS_VISIBLE) != 0;
    }

    HWND lblName = nullptr, edtFileName = nullptr;
    HWND lblFolder = nullptr, edtLocation = nullptr;
    HWND lblSize = nullptr, edtSize = nullptr;
    HWND lblModified = nullptr, edtTimestamp = nullptr;
    HWND chkEnabled = nullptr, chkTile = nullptr;
    HWND btnOK = nullptr;
    // dbnProperties: first, prior, next, last, delete.
    HWND btnNavFirst = nullptr, btnNavPrior = nullptr, btnNavNext = nullptr, btnNavLast = nullptr,
         btnNavDelete = nullptr;
    HWND lblLCLocation = nullptr, lblLCFilename = nullptr;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Navigate(int id);

    HWND owner_;
    TInventoryStore& inventory_;
    IPrompts& prompts_;
    std::function<void()> moved_;
    HWND tooltips_ = nullptr;
    bool modal_ = false;
};

// The record's last-write time as the user's short date and time.
std::string TimestampText(std::int64_t localFileTime);

}  // namespace pictavo
