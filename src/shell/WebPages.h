#pragma once
// The maker's web pages, opened in the user's web browser. The browser is
// looked up once at start: the program the ".html" document class opens with.
#include <windows.h>

#include <string>

#include "platform/Prompts.h"

namespace pictavo {

class TWebPages {
public:
    explicit TWebPages(IPrompts& prompts) : prompts_(prompts) {}

    // Reads the browser from root\SOFTWARE\Classes (HKEY_LOCAL_MACHINE in the
    // program); the path stays empty when no such program exists.
    void FindWebBrowser(HKEY root = HKEY_LOCAL_MACHINE);
    const std::string& WebBrowser() const { return webBrowser_; }

    // Starts the browser on the address; without a browser the user is told.
    // True when the browser was started.
    bool OpenWebPage(const std::string& address, HWND window);

private:
    IPrompts& prompts_;
    std::string webBrowser_;
};

}  // namespace pictavo
