// Tests of the text calls: stepping over double-byte characters, case per code page,
// the two comparisons, OEM conversion in place, and null pointers.
#include "host/text/ansi_text.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class TextCalls : public ::testing::Test {
protected:
    void SetUp() override { orv::text::SetCodePages(1252, 437); }
    void TearDown() override { orv::text::SetCodePages(1252, 437); }
};

TEST_F(TextCalls, CharNextStepsSingleBytesInWesternCodePage) {
    const char text[] = "\x82" "a";
    EXPECT_EQ(CharNextA(text), text + 1);
    EXPECT_EQ(CharNextA(text + 2), text + 2);  // never past the terminator
    EXPECT_FALSE(orv::text::IsDbcsLeadByte(0x82));
}

TEST_F(TextCalls, CharNextStepsOverDoubleByteCharacters) {
    orv::text::SetCodePages(932, 932);
    const char text[] = "\x82\x5C" "a\x9F";  // 0x5C as a second byte is no backslash
    EXPECT_EQ(CharNextA(text), text + 2);
    EXPECT_EQ(CharNextA(text + 2), text + 3);
    EXPECT_EQ(CharNextA(text + 3), text + 4);  // lead byte before the terminator: one step
    EXPECT_EQ(CharNextA(text + 4), text + 4);
    for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(orv::text::IsDbcsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x80, 0xA0, 0xDF, 0xFD, 0x41}) EXPECT_FALSE(orv::text::IsDbcsLeadByte(static_cast<unsigned char>(b))) << b;
}

TEST_F(TextCalls, CharUpperFollowsCodePage1252) {
    char text[] = "abz\xE0\xF7\xFE\x9A\x9C\x9E\xFF\xDF\xB5 1_";
    EXPECT_EQ(CharUpperA(text), text);
    EXPECT_STREQ(text, "ABZ\xC0\xF7\xDE\x8A\x8C\x8E\x9F\xDF\xB5 1_");
}

TEST_F(TextCalls, CharUpperBuffStopsAtLengthAndLeavesSecondBytes) {
    char western[] = "abcd";
    EXPECT_EQ(CharUpperBuffA(western, 2), 2u);
    EXPECT_STREQ(western, "ABcd");

    orv::text::SetCodePages(932, 932);
    char japanese[] = "a\x82" "a\xE0" "b";  // "a" second bytes must stay lower case
    CharUpperA(japanese);
    EXPECT_STREQ(japanese, "A\x82" "a\xE0" "b");
    char latin[] = "\xE0";  // no Latin-1 letters in 932
    CharUpperBuffA(latin, 1);
    EXPECT_STREQ(latin, "\xE0");
}

TEST_F(TextCalls, CharUpperTakesASingleCharacterForALowPointer) {
    auto asPointer = [](unsigned v) { return reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(v)); };
    EXPECT_EQ(CharUpperA(asPointer('q')), asPointer('Q'));
    EXPECT_EQ(CharUpperA(nullptr), nullptr);
}

TEST_F(TextCalls, ComparisonsOrderCaseAfterLetters) {
    struct Case {
        const char *a;
        const char *b;
        int cmp;   // sign of lstrcmpA
        int cmpi;  // sign of lstrcmpiA
    } cases[] = {
        {"abc", "abc", 0, 0},
        {"abc", "ABC", -1, 0},  // lower case sorts first, but only once all else is equal
        {"ABC", "abc", 1, 0},
        {"abc", "ABD", -1, -1},
        {"ABD", "abc", 1, 1},
        {"ab", "abc", -1, -1},
        {"", "a", -1, -1},
        {"Zeta", "alpha", 1, 1},
        {"\xE9t\xE9", "\xC9T\xC9", -1, 0},
        {"aB", "Ab", -1, 0},
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const Case &c : cases) {
        EXPECT_EQ(sign(lstrcmpA(c.a, c.b)), c.cmp) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(lstrcmpiA(c.a, c.b)), c.cmpi) << c.a << " vs " << c.b;
    }
}

TEST_F(TextCalls, CopyConcatenateAndLength) {
    char buffer[16] = "abc";
    EXPECT_EQ(lstrcatA(buffer, "def"), buffer);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(lstrlenA(buffer), 6);
    EXPECT_EQ(lstrcpyA(buffer, "xy"), buffer);
    EXPECT_STREQ(buffer, "xy");
    EXPECT_EQ(lstrcpyA(buffer, buffer), buffer);  // copying onto itself keeps the text
    EXPECT_STREQ(buffer, "xy");
}

TEST_F(TextCalls, NullPointersDoNotCrash) {
    char buffer[8] = "keep";
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrcpyA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcpyA(buffer, nullptr), nullptr);
    EXPECT_EQ(lstrcatA(buffer, nullptr), nullptr);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(CharNextA(nullptr), nullptr);
    EXPECT_EQ(CharUpperBuffA(nullptr, 4), 0u);
    EXPECT_EQ(lstrcmpA(nullptr, nullptr), 0);
    EXPECT_LT(lstrcmpA(nullptr, "a"), 0);
    EXPECT_EQ(lstrcmpiA("", nullptr), 0);
    EXPECT_FALSE(OemToCharA(nullptr, buffer));
    EXPECT_FALSE(OemToCharA("x", nullptr));
}

TEST_F(TextCalls, OemToCharConvertsInPlace) {
    // 437: 0x82 e-acute, 0x81 u-diaeresis, 0xE1 sharp s; the box-drawing 0xB3 has no
    // counterpart in 1252 and becomes a same-length substitute.
    char text[] = "C:\\\x82t\x81\xE1\xB3";
    EXPECT_TRUE(OemToCharA(text, text));
    EXPECT_EQ(std::string(text, 7), std::string("C:\\\xE9t\xFC\xDF"));
    EXPECT_EQ(std::strlen(text), 8u);
    EXPECT_NE(static_cast<unsigned char>(text[7]), 0xB3);

    char destination[16];
    EXPECT_TRUE(OemToCharA("plain", destination));
    EXPECT_STREQ(destination, "plain");
}

TEST_F(TextCalls, OemToCharFollowsTheOemCodePage) {
    orv::text::SetCodePages(1252, 850);
    char text[] = "\x9B\xD2";  // 850: o-slash, E-circumflex
    OemToCharA(text, text);
    EXPECT_STREQ(text, "\xF8\xCA");
    orv::text::SetCodePages(932, 932);
    char same[] = "\x82\xA0";
    OemToCharA(same, same);
    EXPECT_STREQ(same, "\x82\xA0");
}

TEST_F(TextCalls, ConvertCodePageReportsUnmappableText) {
    std::string out;
    ASSERT_TRUE(orv::text::ConvertCodePage("caf\xE9", 1252, 65001, out));
    EXPECT_EQ(out, "caf\xC3\xA9");
    ASSERT_TRUE(orv::text::ConvertCodePage("\x82\xA0", 932, 65001, out));
    EXPECT_EQ(out, "\xE3\x81\x82");  // hiragana a
    EXPECT_FALSE(orv::text::ConvertCodePage("\xE3\x81\x82", 65001, 1252, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(orv::text::ConvertCodePage("x", 1252, 99999, out));
}

}  // namespace
