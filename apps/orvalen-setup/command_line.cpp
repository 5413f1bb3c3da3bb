// Joining the program's arguments into one Windows-style command line.
#include "apps/orvalen-setup/command_line.h"

namespace orv::app {
namespace {

bool NeedsQuotes(const std::string &argument) {
    return argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
}

void AppendQuoted(std::string &line, const std::string &argument) {
    line += '"';
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // Backslashes before a quote are doubled, and the quote itself escaped.
            line.append(backslashes * 2 + 1, '\\');
        } else {
            line.append(backslashes, '\\');
        }
        backslashes = 0;
        line += c;
    }
    // Backslashes before the closing quote are doubled so that it stays a closing quote.
    line.append(backslashes * 2, '\\');
    line += '"';
}

}  // namespace

std::string JoinCommandLine(const std::vector<std::string> &arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        if (NeedsQuotes(arguments[i])) {
            AppendQuoted(line, arguments[i]);
        } else {
            line += arguments[i];
        }
    }
    return line;
}

}  // namespace orv::app
