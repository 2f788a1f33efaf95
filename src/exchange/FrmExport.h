#pragma once
// The Export Manager: copies every enabled picture of the inventory into a new
// folder made inside the base folder and writes beside them the picture list
// that another installation imports by dropping it. A modal dialog made on
// demand and destroyed when it closes.
#include <windows.h>

#include <string>

#include "inventory/InventoryStore.h"
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
    // Copies the pictures and writes the list; false when the dialog stays open.
    bool Export(const std::string& fileName, const std::string& subDir);
    // Lets waiting messages run between two pictures, so the window paints and answers.
    void Pump();

    HWND owner_;
    std::string baseFolder_;
    Services s_;
    bool done_ = false;
    bool exporting_ = false;
    int copied_ = 0;
};

// Opens the Export Manager on the base folder (the data directory) and waits until it closes.
void ShowExportManager(HWND owner, const std::string& baseFolder, TFrmExport::Services services);

}  // namespace pictavo
