// Tests of the wsprintfA formatter: each conversion with its flags, 32-bit "l",
// the 1024-byte limit and unknown conversions.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

TEST(Format, ConversionsAndFlags) {
    char out[1100];
    auto check = [&](const char *expected, int written) {
        EXPECT_STREQ(out, expected);
        EXPECT_EQ(written, static_cast<int>(std::string(expected).size()));
    };
    check("42|-7|  42|42  |0042|-007", wsprintfA(out, "%d|%i|%4d|%-4d|%04d|%04d", 42, -7, 42, 42, 42, -7));
    check("4294967295|ff|FF|0xff|0X1F|0", wsprintfA(out, "%u|%x|%X|%#x|%#X|%#x", 0xFFFFFFFFu, 255, 255, 255, 31, 0));
    check("-2147483648|2147483647", wsprintfA(out, "%ld|%ld", static_cast<LONG>(INT32_MIN), static_cast<LONG>(INT32_MAX)));
    check("-1|65535", wsprintfA(out, "%hd|%hu", 0xFFFF, 0x1FFFF));
    check("x|  y|z  ", wsprintfA(out, "%c|%3c|%-3c", 'x', 'y', 'z'));
    check("abc|  abc|abc  |ab|(null)", wsprintfA(out, "%s|%5s|%-5s|%.2s|%s", "abc", "abc", "abc", "abc", static_cast<const char *>(nullptr)));
    check("005|100%|q", wsprintfA(out, "%.3d|100%%|%q", 5));
    check("C:\\WIN\\spool\\printers", wsprintfA(out, "%s%s", "C:\\WIN", "\\spool\\printers"));
}

TEST(Format, OutputStopsAt1024BytesWithTerminator) {
    std::string longText(2000, 'a');
    char out[1100];
    std::memset(out, 'z', sizeof out);
    EXPECT_EQ(wsprintfA(out, "%s", longText.c_str()), 1023);
    EXPECT_EQ(out[1023], '\0');
    EXPECT_EQ(out[1024], 'z');
    EXPECT_EQ(wsprintfA(out, "%2000d", 1), 1023);
}

TEST(Format, NullBufferOrFormat) {
    char out[8] = "keep";
    EXPECT_EQ(wsprintfA(nullptr, "%d", 1), 0);
    EXPECT_EQ(wsprintfA(out, nullptr), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(wsprintfA(out, "ab%"), 2);  // a lone % at the end is dropped
    EXPECT_STREQ(out, "ab");
}

}  // namespace
