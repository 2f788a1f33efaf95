#pragma once
// Files dropped on the main window: pictures go to the bulk addition, picture
// lists (".pvi") bring the pictures that lie beside them, each with the tile
// mode the list gives. Dropping is the only way into the list import.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "pictures/AddProgress.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureAdder.h"
#include "platform/UserInterface.h"

namespace pictavo {

class TListImporter {
public:
    struct Services {
        TInventoryStore& inventory;
        TPictureAdder& adder;
        IUserInterface& ui;
        ProgramFlags& flags;
        IAddProgress& progress;
    };
    explicit TListImporter(Services services) : s_(services) {}

    // WM_DROPFILES: dropped pictures first, then dropped lists, each in drop
    // order. The drop is released on every path.
    void WMDropFiles(HDROP drop);
    // Every name of a drop, each taken whole however long it is.
    static std::vector<std::string> DroppedNames(HDROP drop);

    void ImportListFiles(const std::vector<std::string>& lists);

private:
    Services s_;
};

}  // namespace pictavo
