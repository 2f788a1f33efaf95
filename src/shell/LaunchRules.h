#pragma once
// How other programs are started on plain text: the program a registered open
// command names, a path as one argument, the folder a program starts in, and
// the addresses of the maker's web pages. Pure C++ (no Windows headers), so it
// also builds natively.
#include <string>
#include <string_view>

namespace pictavo {

// The program of a registered command line: when it begins with a double
// quote, the text up to the closing quote (the rest of the line when there is
// none); otherwise the text up to the first blank, or the whole line. Leading
// blanks are skipped. Environment strings are left for the caller to expand.
std::string CommandProgram(std::string_view command);

// A path handed over as one argument: in double quotes, so that blanks do not
// split it. A Windows path cannot hold a double quote itself.
std::string QuotedArgument(std::string_view path);

// The folder to start a program in. A bare drive ("c:") names that drive's
// current folder, not its root, so it gets its backslash.
std::string StartFolder(std::string_view folder);

// The maker's redirect page for a link's function value ("home", "imglib" ...).
std::string WebPageAddress(std::string_view function);

}  // namespace pictavo
