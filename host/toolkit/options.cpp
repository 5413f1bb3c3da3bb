// Splitting the command-line tail and reading the frame's options.
#include "host/toolkit/options.h"

namespace orv::toolkit {

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= n) break;
        std::string argument;
        bool quoted = false;
        while (i < n) {
            char c = line[i];
            if (!quoted && (c == ' ' || c == '\t')) break;
            if (c == '\\') {
                std::size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                    // An even count leaves the quote to group, below.
                } else {
                    argument.append(slashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += c;
            ++i;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

namespace {

struct ValueOption {
    const char *name;
    std::optional<std::string> FrameOptions::*field;
};

constexpr ValueOption kValueOptions[] = {
    {"--machine", &FrameOptions::machine},
    {"--disk", &FrameOptions::disk},
    {"--answers", &FrameOptions::answers},
    {"--save-answers", &FrameOptions::saveAnswers},
    {"--log", &FrameOptions::log},
};

}  // namespace

bool ParseFrameOptions(const std::vector<std::string> &arguments, FrameOptions &options, std::string &error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument == "--version") {
            options.version = true;
            continue;
        }
        if (argument == "--unattended") {
            options.unattended = true;
            continue;
        }
        bool matched = false;
        for (const auto &option : kValueOptions) {
            std::string_view name = option.name;
            std::string value;
            if (argument == name) {
                if (i + 1 >= arguments.size()) {
                    error = "option " + argument + " needs a value";
                    return false;
                }
                value = arguments[++i];
            } else if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0 &&
                       argument[name.size()] == '=') {
                value = argument.substr(name.size() + 1);
            } else {
                continue;
            }
            if (value.empty()) {
                error = "option " + std::string(name) + " needs a value, not an empty one";
                return false;
            }
            if (options.*(option.field)) {
                error = "option " + std::string(name) + " is given twice";
                return false;
            }
            options.*(option.field) = value;
            matched = true;
            break;
        }
        if (matched) continue;
        if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option '" + argument + "'";
        } else {
            error = "unexpected argument '" + argument + "'";
        }
        return false;
    }
    if (options.answers) options.unattended = true;
    return true;
}

bool AsksForUnattended(const std::vector<std::string> &arguments) {
    for (const auto &argument : arguments) {
        if (argument == "--unattended" || argument == "--answers" || argument.rfind("--answers=", 0) == 0) return true;
    }
    return false;
}

std::string HelpText() {
    return "Usage: orvalen-setup [OPTION]...\n"
           "Installs an Orvalen plotter on the emulated Windows NT workstation.\n"
           "\n"
           "  --machine DIR        the workstation (default: $ORVALEN_MACHINE, else\n"
           "                       $XDG_DATA_HOME/orvalen/machine, else\n"
           "                       ~/.local/share/orvalen/machine); created when missing\n"
           "  --disk DIR           the setup disk, seen as drive A: (default: the sample disk)\n"
           "  --unattended         run without the terminal screens, answering every\n"
           "                       dialog with its preset\n"
           "  --answers FILE       answer the dialogs from FILE (implies --unattended)\n"
           "  --save-answers FILE  write the answers given in this run to FILE\n"
           "  --log FILE           write the setup log to FILE\n"
           "  --help               show this help and end\n"
           "  --version            show the version and end\n"
           "\n"
           "Exit status: 0 in every interactive run. An unattended run ends with\n"
           "0 installed, 1 not started, 2 quit, 3 fatal error, 4 installed with errors.\n";
}

std::string VersionText() { return "orvalen-setup 1.0.0\n"; }

}  // namespace orv::toolkit
