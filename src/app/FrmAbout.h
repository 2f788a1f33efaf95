#pragma once
// The About box: the maker, the product and the version strings.
#include "platform/Window.h"

namespace pictavo {

class TFrmAbout : public Window {
public:
    explicit TFrmAbout(HWND owner = nullptr);

    HWND lblCompany = nullptr;
    HWND lblProduct = nullptr;
    HWND lblVersionName = nullptr;
    HWND lblCopyright = nullptr;
    HWND lblVersionAndBuild = nullptr;  // hidden
    HWND btnOK = nullptr;

    // Shows the box and returns when it is closed; its owner is disabled meanwhile.
    void ShowModal();
    void Close();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    HWND owner_;
    bool closed_ = false;
};

// Creates the About box, shows it modally and frees it when it closes.
void ShowAboutBox(HWND owner);

}  // namespace pictavo
