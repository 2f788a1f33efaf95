#include "shell/LaunchRules.h"

namespace pictavo {

std::string CommandProgram(std::string_view command) {
    const std::size_t start = command.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    command.remove_prefix(start);
    if (command.front() == '"') {
        command.remove_prefix(1);
        return std::string(command.substr(0, command.find('"')));
    }
    return std::string(command.substr(0, command.find(' ')));
}

std::string QuotedArgument(std::string_view path) { return "\"" + std::string(path) + "\""; }

std::string StartFolder(std::string_view folder) {
    std::string result(folder);
    if (result.size() == 2 && result[1] == ':') result += '\\';
    return result;
}

std::string WebPageAddress(std::string_view function) {
    return "http://www.norvex.com/cgi-bin/redir.cgi?app=pvo&ver=1.1&func=" + std::string(function);
}

}  // namespace pictavo
