// The native build runs outside Windows: there is no system ANSI code page to
// ask, and its strings are taken one byte a character, as in code page 1252.
// Tests put a double-byte code page in place with ScopedAnsiCodePage.
#include "platform/AnsiCodePage.h"

namespace pictavo {

AnsiCodePage SystemAnsiCodePage() { return AnsiCodePage(); }

}  // namespace pictavo
