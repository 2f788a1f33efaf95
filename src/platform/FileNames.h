#pragma once
// File names as Windows resolves them inside a folder. Pure string work (no
// system calls), so it also builds natively.
#include <string_view>

namespace pictavo {

// A name Windows opens as a device in every folder, whatever extension
// follows: NUL, CON, PRN, AUX, COM1 to COM9, LPT1 to LPT9 (digits and the
// superscripts 1, 2, 3 alike), CONIN$ and CONOUT$, in any case and with
// blanks before the extension. "nul.bmp" written anywhere is written to
// nothing, and the write reports success.
bool IsDeviceName(std::string_view name);

// A name that, joined to a folder with a backslash, names a file in that
// folder and nothing else: no \, / or : (so no other folder, drive or
// server), no character a file name cannot hold, not only dots and blanks
// ("." and ".." are folders), and no device. Dots inside a name, as in
// "sky..bmp", are an ordinary part of it. An empty name is for the caller
// to judge.
bool IsPlainFileName(std::string_view name);

}  // namespace pictavo
