#pragma once
// The list keeps names and folders of at most 129 characters; a longer path
// would be cut into one that points nowhere, so it is refused whole.
#include <string>
#include <string_view>

namespace pictavo {

// Empty when the path fits the list; otherwise the message that refuses it.
std::string ListingRefusal(std::string_view path);

}  // namespace pictavo
