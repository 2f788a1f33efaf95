#include "inventory/ListingLimits.h"

#include <limits>

#include "inventory/InventoryTable.h"

namespace pictavo {

std::string ListingRefusal(std::string_view path) {
    if (ExtractFileName(path).size() <= FileNameWidth && ExtractFileDir(path).size() <= LocationWidth) {
        return {};
    }
    return "Unable to list " + std::string(path) +
           ": its name or folder is longer than 129 characters.";
}

std::int32_t StoredSize(std::int64_t size) {
    if (size > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (size < 0) return 0;
    return static_cast<std::int32_t>(size);
}

}  // namespace pictavo
