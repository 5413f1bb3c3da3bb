// The frame's command line: Windows splitting rules and the options.
#include <gtest/gtest.h>

#include "host/toolkit/options.h"

namespace {

using orv::toolkit::FrameOptions;
using orv::toolkit::ParseFrameOptions;
using orv::toolkit::SplitCommandLine;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
    struct Case {
        const char *line;
        Args expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"--machine /tmp/m1", {"--machine", "/tmp/m1"}},
        {"  a\t\tb  ", {"a", "b"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"a\\\\b", {"a\\\\b"}},                // backslashes not before a quote stay
        {"a\\\"b", {"a\"b"}},                  // 2n+1 backslashes: a literal quote
        {"\"a\\\\\" b", {"a\\", "b"}},         // 2n backslashes: n, and the quote closes
        {"\"a\\\\\\\"b\"", {"a\\\"b"}},        // three backslashes and a quote inside quotes
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},  // a doubled quote inside quotes
        {"C:\\dir\\ \"C:\\my dir\\\\\"", {"C:\\dir\\", "C:\\my dir\\"}},
        {"\"unterminated arg", {"unterminated arg"}},
    };
    for (const auto &c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.line;
}

TEST(ParseFrameOptions, TakesValuesAfterTheOptionOrAfterEquals) {
    FrameOptions options;
    std::string error;
    ASSERT_TRUE(ParseFrameOptions({"--machine", "/m", "--disk=/d", "--answers", "a.ini", "--save-answers=s.ini", "--log", "l"},
                                  options, error))
        << error;
    EXPECT_EQ(options.machine, "/m");
    EXPECT_EQ(options.disk, "/d");
    EXPECT_EQ(options.answers, "a.ini");
    EXPECT_EQ(options.saveAnswers, "s.ini");
    EXPECT_EQ(options.log, "l");
    EXPECT_TRUE(options.unattended) << "--answers implies --unattended";
}

TEST(ParseFrameOptions, RefusesBadOptionsNamingThem) {
    struct Case {
        Args arguments;
        const char *mention;
    };
    const Case cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--machine"}, "--machine"},
        {{"--disk="}, "--disk"},
        {{"--log", "a", "--log", "b"}, "twice"},
        {{"stray"}, "stray"},
    };
    for (const auto &c : cases) {
        FrameOptions options;
        std::string error;
        EXPECT_FALSE(ParseFrameOptions(c.arguments, options, error));
        EXPECT_NE(error.find(c.mention), std::string::npos) << error;
    }
}

TEST(ParseFrameOptions, HelpAndVersionAndTheUnattendedHint) {
    FrameOptions options;
    std::string error;
    ASSERT_TRUE(ParseFrameOptions({"--help", "--version"}, options, error));
    EXPECT_TRUE(options.help);
    EXPECT_TRUE(options.version);
    EXPECT_TRUE(orv::toolkit::AsksForUnattended({"--bogus", "--answers=x"}));
    EXPECT_FALSE(orv::toolkit::AsksForUnattended({"--bogus"}));
    EXPECT_NE(orv::toolkit::HelpText().find("--save-answers"), std::string::npos);
}

}  // namespace
