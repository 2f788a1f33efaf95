#include "inventory/ListingLimits.h"

#include "inventory/InventoryTable.h"

namespace pictavo {

std::string ListingRefusal(std::string_view path) {
    if (ExtractFileName(path).size() <= FileNameWidth && ExtractFileDir(path).size() <= LocationWidth) {
        return {};
    }
    return "Unable to list " + std::string(path) +
           ": its name or folder is longer than 129 characters.";
}

}  // namespace pictavo
