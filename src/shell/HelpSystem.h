#pragma once
// The program's help: pictavo.chm beside the program, shown by HTML Help. Its
// contents, a topic by context number, and closing every help window at exit.
#include <windows.h>

#include <string>

#include "shell/HelpTopics.h"

namespace pictavo {

// What the help system asks of the viewer, as HTML Help's commands.
enum class HelpCommand { Contents, Topic, CloseAll };

// The seam between the program and HTML Help: tests record what is asked.
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    // target: the help file for Contents, "<file>::/<topic>" for Topic, empty
    // for CloseAll. True when the viewer showed (or closed) its window.
    virtual bool Show(HWND caller, HelpCommand command, const std::string& target) = 0;
};

// HtmlHelpA from hhctrl.ocx, loaded on first use: MinGW may lack its import
// library, and a Windows without HTML Help still runs the program.
IHelpViewer& SystemHelpViewer();

class THelpSystem {
public:
    explicit THelpSystem(IHelpViewer& viewer) : viewer_(viewer) {}

    void SetHelpFile(const std::string& path) { helpFile_ = path; }
    const std::string& HelpFile() const { return helpFile_; }

    // The contents of the help file.
    bool ShowContents(HWND caller);
    // The topic of a context number; a number without a topic shows the contents.
    bool ShowContext(HWND caller, std::uint32_t context);
    // Closes every help window the program opened; nothing when none was opened.
    void Quit();

private:
    IHelpViewer& viewer_;
    std::string helpFile_;
    bool opened_ = false;
};

}  // namespace pictavo
