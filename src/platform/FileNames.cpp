#include "platform/FileNames.h"

#include <string>

#include "platform/AnsiCodePage.h"
#include "platform/Paths.h"

namespace pictavo {

bool IsDeviceName(std::string_view name) {
    std::string base = LowerCase(name.substr(0, ProcessAnsiCodePage().FindChar(name, ".")));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
        if (base == device) return true;
    }
    if (base.size() != 4 || (base.rfind("com", 0) != 0 && base.rfind("lpt", 0) != 0)) return false;
    // The ANSI code page's superscript one, two and three count as digits here.
    const unsigned char digit = static_cast<unsigned char>(base[3]);
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool IsPlainFileName(std::string_view name) {
    // By characters: a double-byte character's second byte may be a "\" or a "|".
    const AnsiCodePage& codePage = ProcessAnsiCodePage();
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t size = codePage.CharSize(name, at);
        if (size == 1 &&
            (static_cast<unsigned char>(name[at]) < 32 ||
             std::string_view("\\/:*?\"<>|").find(name[at]) != std::string_view::npos)) {
            return false;
        }
        at += size;
    }
    // Windows drops trailing dots and blanks, so ". ." is "." and ".. " is "..".
    if (!name.empty() && name.find_first_not_of(". ") == std::string_view::npos) return false;
    return !IsDeviceName(name);
}

}  // namespace pictavo
