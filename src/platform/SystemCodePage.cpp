// The lead bytes of the system's ANSI code page, for the Windows build.
#include <windows.h>

#include "platform/AnsiCodePage.h"

namespace pictavo {

AnsiCodePage SystemAnsiCodePage() {
    AnsiCodePage codePage;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        if (::IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(b))) {
            codePage.MarkLeadByte(static_cast<unsigned char>(b));
        }
    }
    return codePage;
}

}  // namespace pictavo
