// libFuzzer target for the picture-list reader. Besides "no crash, no sanitizer report" it
// checks that every entry read is one line's text between quotes, and that writing the entries
// read (those a list may name) and reading that again gives the same entries.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/ListFile.h"

using namespace pictavo;

namespace {

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "list file check failed: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<ListEntry> entries = ReadListText(text);
    Require(entries.size() <= size, "more entries than bytes");

    std::string written;
    std::vector<ListEntry> kept;
    for (const ListEntry& e : entries) {
        Require(e.fileName.find_first_of("\"\r\n") == std::string::npos,
                "a name holds a quote or a line end");
        Require(text.find(e.fileName) != std::string_view::npos, "a name that is not in the text");
        if (e.fileName.empty() || !IsPlainListName(e.fileName)) continue;
        written += ListLine(e.fileName, e.tile);
        kept.push_back(e);
    }
    const std::vector<ListEntry> again = ReadListText(written);
    Require(again.size() == kept.size(), "written entries read back to another count");
    for (size_t i = 0; i < kept.size(); ++i)
        Require(again[i].fileName == kept[i].fileName && again[i].tile == kept[i].tile,
                "a written entry read back differently");
    return 0;
}
