// The INF reader: sections, keys, quoted fields and comments, and the syntax errors
// that name the file and the line.
#include <gtest/gtest.h>

#include "host/toolkit/inf_file.h"
#include "host/toolkit/symbols.h"
#include "platform/toolkit.h"

namespace {

using orv::toolkit::InfFile;
using orv::toolkit::OpenedInf;

constexpr const char *kSample =
    "\xEF\xBB\xBF; a comment\r\n"
    "[Raster]\r\n"
    "driver = IRCOL_RS.DRV,,,,,,,,,,,,,,,,,, 2.1.0.4   ; the driver\r\n"
    "  Help=IRCOL_RS.HLP, RSHELP.HLP\r\n"
    "UNKEYED.DAT, x\r\n"
    "\r\n"
    "[quoted]\r\n"
    "name = \"a, b; c\", \"say \"\"hi\"\"\" , plain  text \r\n"
    "\"key = with\" = value\r\n"
    "empty =\r\n";

TEST(InfReader, ReadsKeysFieldsQuotesAndComments) {
    InfFile inf;
    std::string error;
    ASSERT_TRUE(inf.Parse(kSample, "A:\\setup.inf", error)) << error;
    const auto *driver = inf.FindKey("RASTER", "DRIVER");  // names compare without case
    ASSERT_NE(driver, nullptr);
    ASSERT_EQ(driver->fields.size(), 19u);
    EXPECT_EQ(driver->fields[0], "IRCOL_RS.DRV");
    EXPECT_EQ(driver->fields[18], "2.1.0.4");
    EXPECT_EQ(driver->lineNumber, 3);
    const auto *help = inf.FindKey("Raster", "help");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->fields, (std::vector<std::string>{"IRCOL_RS.HLP", "RSHELP.HLP"}));
    ASSERT_EQ(inf.Find("raster")->lines.size(), 3u);
    EXPECT_FALSE(inf.Find("raster")->lines[2].key.has_value());

    const auto *name = inf.FindKey("quoted", "name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->fields, (std::vector<std::string>{"a, b; c", "say \"hi\"", "plain  text"}));
    ASSERT_NE(inf.FindKey("quoted", "key = with"), nullptr);
    EXPECT_EQ(inf.FindKey("quoted", "key = with")->fields, (std::vector<std::string>{"value"}));
    EXPECT_EQ(inf.FindKey("quoted", "empty")->fields, (std::vector<std::string>{""}));
}

TEST(InfReader, SyntaxErrorsNameTheFileAndLine) {
    struct Case {
        const char *text;
        const char *expected;
    };
    const Case cases[] = {
        {"driver = x\n", "disk.inf, line 1: a line before the first section"},
        {"[Raster\n", "disk.inf, line 1: the section header has no closing ']'"},
        {"[ ]\n", "disk.inf, line 1: a section without a name"},
        {"[A] junk\n", "disk.inf, line 1: text after the section header"},
        {"[A]\nx = \"open\n", "disk.inf, line 2: a quoted field has no closing quote"},
        {"[A]\n= x\n", "disk.inf, line 2: '=' without a key before it"},
        {"[A]\nx = ab\"c\"\n", "disk.inf, line 2: a quote in the middle of a field"},
        {"[A]\nx = \"c\"d\n", "disk.inf, line 2: text after a quoted field"},
        {"[A]\n[a]\n", "disk.inf, line 2: section [a] appears again (first at line 1)"},
        {"[A]\nk=1\r\nK=2\n", "disk.inf, line 3: key K appears again in [A] (first at line 2)"},
        {"[A]\nk=1\0x\n", "disk.inf, line 2: the line holds a NUL byte"},
    };
    for (const auto &c : cases) {
        InfFile inf;
        std::string error;
        std::string text(c.text, c.text + std::char_traits<char>::length(c.text));
        if (std::string_view(c.expected).find("NUL") != std::string_view::npos) text = std::string("[A]\nk=1\0x\n", 10);
        EXPECT_FALSE(inf.Parse(text, "disk.inf", error)) << c.text;
        EXPECT_EQ(error, c.expected);
        EXPECT_FALSE(inf.IsOpen());
    }
}

class InfCalls : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(OpenedInf().Parse(kSample, "A:\\setup.inf", error)) << error;
        orv::toolkit::Symbols().Clear();
    }
    void TearDown() override { OpenedInf().Close(); }
};

TEST_F(InfCalls, FieldLookupAnswersMinusOneForAMissingLineOrField) {
    char buffer[32];
    EXPECT_EQ(CbGetInfSectionKeyField("Raster", "driver", 1, buffer, sizeof buffer), 12);
    EXPECT_STREQ(buffer, "IRCOL_RS.DRV");
    EXPECT_EQ(CbGetInfSectionKeyField("Raster", "driver", 19, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "2.1.0.4");
    char small[4];
    EXPECT_EQ(CbGetInfSectionKeyField("Raster", "driver", 1, small, sizeof small), 12);
    EXPECT_EQ(CbGetInfSectionKeyField("Raster", "driver", 20, buffer, sizeof buffer), -1);
    EXPECT_EQ(CbGetInfSectionKeyField("Raster", "nokey", 1, buffer, sizeof buffer), -1);
    EXPECT_EQ(CbGetInfSectionKeyField("Nosection", "driver", 1, buffer, sizeof buffer), -1);
    EXPECT_EQ(CbGetInfSectionKeyField("Raster", "driver", 0, buffer, sizeof buffer), -1);
}

TEST_F(InfCalls, ListsOfKeysAndOfAField) {
    auto &symbols = orv::toolkit::Symbols();
    ASSERT_TRUE(FSetSymbolToListOfInfKeys("keys", "Raster", FALSE));
    EXPECT_EQ(symbols.Items("keys"), (std::vector<std::string>{"driver", "Help"}));
    ASSERT_TRUE(FSetSymbolToListOfInfKeys("keys", "Raster", TRUE));
    EXPECT_EQ(symbols.Items("keys"), (std::vector<std::string>{"driver", "Help", ""}));
    ASSERT_TRUE(FMakeListInfSectionField("files", "raster", 1));
    EXPECT_EQ(symbols.Items("files"), (std::vector<std::string>{"IRCOL_RS.DRV", "IRCOL_RS.HLP", "UNKEYED.DAT"}));
    ASSERT_TRUE(FMakeListInfSectionField("versions", "raster", 19));
    EXPECT_EQ(symbols.Items("versions"), (std::vector<std::string>{"2.1.0.4", "", ""}));
    EXPECT_FALSE(FMakeListInfSectionField("x", "Nosection", 1));
    EXPECT_FALSE(FSetSymbolToListOfInfKeys("x", "Nosection", TRUE));
}

}  // namespace
