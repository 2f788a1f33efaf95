#pragma once
// The list keeps names and folders of at most 129 characters; a longer path
// would be cut into one that points nowhere, so it is refused whole.
#include <cstdint>
#include <string>
#include <string_view>

namespace pictavo {

// Empty when the path fits the list; otherwise the message that refuses it.
std::string ListingRefusal(std::string_view path);

// A file's size as a record holds it: a 32-bit number that must not wrap
// negative (and so slip under every size limit) for files of 2 GiB or more.
std::int32_t StoredSize(std::int64_t size);

}  // namespace pictavo
