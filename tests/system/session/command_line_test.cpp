// The command-line tail and the join of the program's arguments: the tail rule on
// its own, and a round trip of arguments through the join, the tail and the
// workstation's splitting rule.
#include "apps/orvalen-setup/command_line.h"
#include "session/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CommandLineTail, SkipsTheNameAndTheBlanksAfterIt) {
    struct Case {
        std::string line;
        std::string tail;
    } cases[] = {
        {"\"C:\\Program Files\\setup.exe\" /a b", "/a b"},
        {"\"C:\\setup.exe\"/a", "/a"},       // the closing quote is skipped, nothing more
        {"\"a\"b c", "b c"},
        {"\"unterminated name", ""},
        {"setup.exe /a  b ", "/a  b "},
        {"setup.exe", ""},
        {"setup.exe   ", ""},
        {" /x y", "/x y"},                   // a first byte of 32 or less: no name
        {"\t\t/x", "/x"},
        {"", ""},
        {"set\xE9up.exe /a", "/a"},          // bytes above 127 belong to the name
        {"\xA0name\xFF /a", "/a"},
    };
    for (const Case &c : cases) EXPECT_EQ(std::string(CommandLineTail(c.line.c_str())), c.tail) << c.line;
    EXPECT_STREQ(CommandLineTail(nullptr), "");
}

TEST(CommandLineTail, SkipsEveryByteFrom1To32) {
    std::string blanks;
    for (int b = 1; b <= 32; ++b) blanks += static_cast<char>(b);
    std::string line = "setup.exe" + blanks + "/tail" + blanks;
    EXPECT_EQ(std::string(CommandLineTail(line.c_str())), "/tail" + blanks);
    std::string quoted = "\"setup.exe\"" + blanks + "\x21rest";
    EXPECT_EQ(std::string(CommandLineTail(quoted.c_str())), "\x21rest");
    std::string control = "setup.exe\x01\x1F" "!";
    EXPECT_EQ(std::string(CommandLineTail(control.c_str())), "!");
}

// The workstation's splitting of the arguments after the program's name.
std::vector<std::string> SplitArguments(const std::string &line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) argument += line[i++];
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

TEST(JoinCommandLine, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(orv::app::JoinCommandLine({"orvalen-setup", "--unattended", "--answers", "a.ini"}),
              "orvalen-setup --unattended --answers a.ini");
    EXPECT_EQ(orv::app::JoinCommandLine({"p", ""}), "p \"\"");
    EXPECT_EQ(orv::app::JoinCommandLine({"p", "a b"}), "p \"a b\"");
    EXPECT_EQ(orv::app::JoinCommandLine({"p", "C:\\dir\\"}), "p C:\\dir\\");
    EXPECT_EQ(orv::app::JoinCommandLine({"p", "C:\\my dir\\"}), "p \"C:\\my dir\\\\\"");
    EXPECT_EQ(orv::app::JoinCommandLine({"p", "say \"hi\""}), "p \"say \\\"hi\\\"\"");
    EXPECT_EQ(orv::app::JoinCommandLine({"p", "a\\\"b"}), "p \"a\\\\\\\"b\"");
    EXPECT_EQ(orv::app::JoinCommandLine({"/opt/my setup/orvalen-setup", "x"}), "\"/opt/my setup/orvalen-setup\" x");
}

TEST(JoinCommandLine, ArgumentsSurviveTheTailAndTheSplit) {
    std::vector<std::vector<std::string>> argumentLists = {
        {"--machine", "/tmp/m 1", "--answers", "disk/sample-answers.ini"},
        {"", "a", ""},
        {"tab\there", "quote\"in", "trailing\\", "both \\\"x\\\\\""},
        {"\\\\server\\share\\", "\\\"", "\xE9t\xE9"},
        {},
    };
    for (const auto &arguments : argumentLists) {
        for (const std::string program : {"orvalen-setup", "/opt/with blank/orvalen-setup"}) {
            std::vector<std::string> all{program};
            all.insert(all.end(), arguments.begin(), arguments.end());
            std::string line = orv::app::JoinCommandLine(all);
            EXPECT_EQ(SplitArguments(CommandLineTail(line.c_str())), arguments) << line;
        }
    }
}

}  // namespace
