#pragma once
// The Export Manager: copies every enabled picture of the inventory into a new
// folder made inside the base folder and writes beside them the picture list
// that another installation imports by dropping it. A modal dialog made on
// demand and destroyed when it closes.
#include <windows.h>

#include <string>
#include <vector>

#include "inventory/InventoryStore.h"
#include "platform/Handles.h"
#include "platform/Prompts.h"
#include "platform/Window.h"

namespace pictavo {

class TFrmExport : public Window {
public:
    struct Services {
        TInventoryStore& inventory;
        IPrompts& prompts;
    };
    TFrmExport(HWND owner, std::string baseFolder, Services services);
    ~TFrmExport() override;

    // Shows the dialog and returns once it has closed.
    void ShowModal();

    void btnExportClick();
    void btnCancelClick();

    // How many pictures the last export copied.
    int Copied() const { return copied_; }

    HWND Label1 = nullptr, edtExportFileName = nullptr;
    HWND Label2 = nullptr, edtSubDir = nullptr;
    HWND btnExport = nullptr, btnCancel = nullptr;
    HWND pbrExport = nullptr;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // What the export under way has made so far.
    struct Underway {
        std::string folder, listPath;
        UniqueHandle list;
        std::vector<std::string> copies;
        bool abandoned = false;
    };

    // Copies the pictures and writes the list; false when the dialog stays open.
    bool Export(const std::string& fileName, const std::string& subDir);
    // Lets waiting messages run between two pictures, so the window paints and
    // answers; false once the program is quitting.
    bool Pump();
    // The session or the program ends before the list is written: what this
    // export made goes, so that no unfinished export is left to pass for a whole one.
    void Abandon(const char* why);

    HWND owner_;
    std::string baseFolder_;
    Services s_;
    bool done_ = false;
    bool exporting_ = false;
    Underway* underway_ = nullptr;
    int copied_ = 0;
};

// Opens the Export Manager on the base folder (the data directory) and waits until it closes.
void ShowExportManager(HWND owner, const std::string& baseFolder, TFrmExport::Services services);

}  // namespace pictavo
