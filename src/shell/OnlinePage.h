#pragma once
// The "&Online" page: links to the maker's web pages, each opened in the
// user's web browser.
#include <windows.h>

#include "platform/Handles.h"
#include "platform/Window.h"
#include "shell/WebPages.h"

namespace pictavo {

class TOnlinePage : public TPanel {
public:
    TOnlinePage(HWND parent, const RECT& area, TWebPages& webPages);

    HWND lblVisitUs = nullptr;
    HWND lblHome = nullptr, lblImageLibrary = nullptr, lblFeedback = nullptr, lblPVOHome = nullptr;
    HWND lblTutorial = nullptr;  // kept hidden

    void lblHomeClick();
    void Label8Click();  // lblImageLibrary
    void Label6Click();  // lblFeedback
    void lblPVOHomeClick();
    void lblTutorialClick();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND Link(const char* caption, int id, int y, bool visible = true);
    bool IsLink(HWND control) const;
    void Open(const char* function);

    TWebPages& webPages_;
    UniqueGdiObject linkFont_;
};

}  // namespace pictavo
