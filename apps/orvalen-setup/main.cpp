// The orvalen-setup program: hands the command-line tail to the setup's entry, which
// never returns.
#include "apps/orvalen-setup/command_line.h"
#include "session/command_line.h"
#include "session/setup_main.h"

#include <string>
#include <vector>

int main(int argc, char **argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    static std::string commandLine;
    commandLine = orv::app::JoinCommandLine(arguments);
    // The program's own instance is not used: the frame supplies its own. 10 is the
    // show-default state.
    SetupMain(nullptr, nullptr, CommandLineTail(commandLine.c_str()), 10);
}
