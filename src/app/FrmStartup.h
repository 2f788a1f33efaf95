#pragma once
// A small wait box with one line of text, shown while the program shuts down.
#include "platform/Window.h"

namespace pictavo {

class TFrmStartup : public Window {
public:
    TFrmStartup();
    HWND lblMessage = nullptr;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
};

}  // namespace pictavo
