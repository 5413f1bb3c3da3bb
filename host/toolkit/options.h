// The frame's command line: the tail split as Windows splits a command line, and the
// options of orvalen-setup (--machine, --disk, --unattended, --answers,
// --save-answers, --log, --help, --version).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::toolkit {

// Splits a command line into arguments by the rules of the Windows C runtime: blanks
// and tabs separate; double quotes group (a doubled quote inside quotes is one
// literal quote); 2n backslashes before a quote give n backslashes and the quote
// groups, 2n+1 give n backslashes and a literal quote; other backslashes are literal.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

struct FrameOptions {
    std::optional<std::string> machine;
    std::optional<std::string> disk;
    std::optional<std::string> answers;
    std::optional<std::string> saveAnswers;
    std::optional<std::string> log;
    bool unattended = false;  // also set by --answers
    bool help = false;
    bool version = false;
};

// False with `error` naming the option or value at fault. Options take their value
// as the next argument or after "=" (--machine=DIR).
bool ParseFrameOptions(const std::vector<std::string> &arguments, FrameOptions &options, std::string &error);

// True when the arguments ask for an unattended run, even if they are otherwise bad;
// it decides how a start-up failure is reported in the exit status.
bool AsksForUnattended(const std::vector<std::string> &arguments);

std::string HelpText();
std::string VersionText();

}  // namespace orv::toolkit
