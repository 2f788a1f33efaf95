#include "shell/HelpSystem.h"

#include <htmlhelp.h>

namespace pictavo {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

class THtmlHelpViewer final : public IHelpViewer {
public:
    bool Show(HWND caller, HelpCommand command, const std::string& target) override {
        HtmlHelpFunction htmlHelp = Load();
        if (!htmlHelp) return false;
        switch (command) {
            case HelpCommand::Contents:
                return htmlHelp(caller, target.c_str(), HH_DISPLAY_TOC, 0) != nullptr;
            case HelpCommand::Topic:
                return htmlHelp(caller, target.c_str(), HH_DISPLAY_TOPIC, 0) != nullptr;
            case HelpCommand::CloseAll:
                htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
                return true;
        }
        return false;
    }

private:
    HtmlHelpFunction Load() {
        if (!tried_) {
            tried_ = true;
            // Kept loaded for the life of the process: its windows live in it.
            if (HMODULE library = ::LoadLibraryA("hhctrl.ocx")) {
                // Through void*: FARPROC names no signature of its own.
                function_ = reinterpret_cast<HtmlHelpFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(library, "HtmlHelpA")));
            }
        }
        return function_;
    }
    bool tried_ = false;
    HtmlHelpFunction function_ = nullptr;
};

}  // namespace

IHelpViewer& SystemHelpViewer() {
    static THtmlHelpViewer viewer;
    return viewer;
}

bool THelpSystem::ShowContents(HWND caller) {
    opened_ = true;
    return viewer_.Show(caller, HelpCommand::Contents, helpFile_);
}

bool THelpSystem::ShowContext(HWND caller, std::uint32_t context) {
    const char* topic = HelpTopicFile(context);
    if (!topic) return ShowContents(caller);
    opened_ = true;
    return viewer_.Show(caller, HelpCommand::Topic, helpFile_ + "::/" + topic);
}

void THelpSystem::Quit() {
    if (!opened_) return;
    opened_ = false;
    viewer_.Show(nullptr, HelpCommand::CloseAll, "");
}

}  // namespace pictavo
