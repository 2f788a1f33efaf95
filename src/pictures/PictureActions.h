#pragma once
// The commands on the picture selected in the list (the current record of the
// list's cursor): Remove takes it out of the list, Delete deletes its file as
// well, Move renames it or takes it into the data directory, and Edit opens it
// in a picture editor.
#include <windows.h>

#include <string>

#include "pictures/Confirmation.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureCommands.h"
#include "pictures/PictureActionServices.h"
#include "pictures/PictureAdder.h"
#include "platform/UserInterface.h"

namespace pictavo {

class TPictureActions : public IPictureCommands {
public:
    struct Services {
        TInventoryStore& inventory;
        IUserInterface& ui;
        IConfirmationDialog& confirmation;
        // The "Add Wallpaper" question and the file transfer, for Move.
        TPictureAdder& adder;
        IMovedWallpaper& wallpaper;
        IPictureEditor& editor;
        IPictureActionSettings& settings;
    };

    explicit TPictureActions(Services services);

    void tbnRemoveClick() override;
    void tbnDeleteClick() override;
    void tbnMoveClick() override;
    void mnuEdit1Click() override;

private:
    bool AskRemoveConfirmation(const InventoryRecord& record);
    bool AskDeleteConfirmation(const InventoryRecord& record);
    // The selected record, if the list has one.
    bool Selected(InventoryRecord& record);

    Services s_;
};

}  // namespace pictavo
