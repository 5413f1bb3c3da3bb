// The text and path helpers: character walks that double-byte characters cannot fool,
// comma fields, the joining buffers and their limits, the padded copy, the date
// fields, and the Windows and system directories in their fixed form.
#include "host/text/ansi_text.h"
#include "include/setup_state.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/toolkit/stop_messages.h"
#include "toolkit/text_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using toolkit_test::MessagesBeforeStop;
using toolkit_test::NoMessage;
using toolkit_test::OverflowMessage;

void SetStartDir(const std::string &dir) {
    std::memset(g_state.g_startDir, 0, sizeof g_state.g_startDir);
    std::memcpy(g_state.g_startDir, dir.data(), dir.size());
}

class TextHelpers : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(TextHelpers, RemoveTrailingBackslashCutsOneSingleByteBackslash) {
    struct Case {
        std::string path;
        std::string expected;
        unsigned codePage;
    } cases[] = {
        {"\\", "", 1252},
        {"", "", 1252},
        {"C:\\DIR\\\\", "C:\\DIR\\", 1252},
        {"C:\\DIR", "C:\\DIR", 1252},
        {"C:\\\x95\x5C", "C:\\\x95\x5C", 932},  // the backslash is the second byte of a character
        {"C:\\\x95\x5C\\", "C:\\\x95\x5C", 932},
        {"C:\\\x95\x5C", "C:\\\x95", 1252},  // in a single-byte code page it is a backslash
    };
    for (const Case &c : cases) {
        orv::text::SetCodePages(c.codePage, c.codePage);
        std::string text = c.path;
        LPSTR result = RemoveTrailingBackslash(text.data());
        EXPECT_EQ(result, text.data());
        EXPECT_STREQ(result, c.expected.c_str()) << c.path << " in " << c.codePage;
    }
    EXPECT_EQ(RemoveTrailingBackslash(nullptr), nullptr);
}

TEST_F(TextHelpers, FindCharMatchesWholeCharactersOnly) {
    orv::text::SetCodePages(932, 932);
    const char text[] = "\x95\x5C" "A\\B";
    EXPECT_EQ(FindChar(text, '\\'), text + 3);
    EXPECT_EQ(FindChar(text, 'B'), text + 4);
    EXPECT_EQ(FindChar(text, '\x95'), text);  // the first byte of a character is its own
    EXPECT_EQ(FindChar(text, 'Z'), nullptr);
    EXPECT_EQ(FindChar(text, '\0'), nullptr);
    EXPECT_EQ(FindChar(nullptr, 'A'), nullptr);
    orv::text::SetCodePages(1252, 437);
    EXPECT_EQ(FindChar(text, '\\'), text + 1);
}

TEST_F(TextHelpers, FindSubstringPositionCountsCharacters) {
    struct Case {
        LONG start;
        std::string text;
        std::string pattern;
        LONG expected;
    } cases[] = {
        {1, "abcdef", "ab", 1},
        {3, "abcabc", "abc", 4},
        {4, "abcabc", "abc", 4},
        {5, "abcabc", "abc", 0},
        {7, "abcdef", "f", 0},
        {100, "abc", "", 0},
        {0, "abc", "a", 0},
        {-5, "abc", "a", 1},
        {2, "abc", "", 2},
        {4, "abc", "", 0},
        {1, "ab", "abc", 0},
        {1, "", "a", 0},
        {1, "\x82\xA0x", "x", 2},                // one position per double-byte character
        {2, "\x82\xA0\x82\xA1", "\x82\xA1", 2},
        {1, "\x82\xA0", "\x82\xA1", 0},          // same first byte, other second byte
        {1, "\x95\x5C", "\\", 0},                // a second byte is not a character
        {1, "\x82\xA0\x82", "\x82", 2},          // a lone first byte before the terminator
    };
    orv::text::SetCodePages(932, 932);
    for (const Case &c : cases) {
        EXPECT_EQ(FindSubstringPosition(c.start, c.text.c_str(), c.pattern.c_str()), c.expected)
            << c.start << " '" << c.text << "' '" << c.pattern << "'";
    }
    EXPECT_EQ(FindSubstringPosition(1, nullptr, "a"), 0);
    EXPECT_EQ(FindSubstringPosition(1, "a", nullptr), 1);
    EXPECT_EQ(FindSubstringPosition(std::numeric_limits<LONG>::max(), "abc", "a"), 0);
}

TEST_F(TextHelpers, GetNthCommaFieldPicksOneField) {
    struct Case {
        std::string text;
        LONG n;
        std::string expected;
    } cases[] = {
        {"a, b", 2, "b"},
        {"a, b", 1, "a"},
        {"a,b", 5, ""},
        {"a,b,", 3, ""},
        {"a, b ,c", 2, "b "},  // trailing blanks belong to the field
        {"\t x,y", 1, "x"},
        {"", 1, ""},
        {",,z", 3, "z"},
        {"\x82\xA0,\x95\x5C,c", 2, "\x95\x5C"},
    };
    orv::text::SetCodePages(932, 932);
    for (const Case &c : cases) {
        char out[16];
        std::string text = c.text;
        EXPECT_EQ(GetNthCommaField(text.c_str(), c.n, out, sizeof out), out);
        EXPECT_EQ(std::string(out), c.expected) << c.text << " field " << c.n;
        EXPECT_EQ(text, c.text);
    }
    char out[16];
    EXPECT_STREQ(GetNthCommaField(nullptr, 1, out, sizeof out), "");
    EXPECT_STREQ(GetNthCommaField("a", std::numeric_limits<LONG>::max(), out, sizeof out), "");
}

TEST_F(TextHelpers, GetNthCommaFieldStopsOnBadNumberAndOverflow) {
    char out[5] = "keep";
    EXPECT_STREQ(GetNthCommaField("x, abcd,y", 2, out, 5), "abcd");  // size - 1 bytes fit
    std::memcpy(out, "keep", 5);
    EXPECT_EQ(MessagesBeforeStop([&] { GetNthCommaField("x, abcde,y", 2, out, 5); }), OverflowMessage);
    EXPECT_STREQ(out, "keep");
    for (LONG n : {0, -1}) {
        fake::Reset();
        EXPECT_EQ(MessagesBeforeStop([&] { GetNthCommaField("a,b", n, out, 5); }), NoMessage) << n;
    }
    fake::Reset();
    EXPECT_EQ(MessagesBeforeStop([&] { GetNthCommaField("a", 1, nullptr, 5); }), OverflowMessage);
}

TEST_F(TextHelpers, DirectoryReadersGiveDriveAndOneTrailingBackslash) {
    struct Case {
        bool system;
        std::string startDir;
        std::string directory;
        LONG size;
        std::string expected;
        unsigned codePage = 1252;
    } cases[] = {
        {false, "D:\\SETUP\\", "C:\\WINNT", 256, "C:\\WINNT\\"},
        {false, "D:\\SETUP\\", "\\WINNT", 256, "D:\\WINNT\\"},
        {false, "D:\\SETUP\\", "WINNT", 256, "D:\\WINNT\\"},
        {false, "D:\\SETUP\\", "C:\\WINNT\\", 256, "C:\\WINNT\\"},
        {false, "D:\\", "C:\\", 256, "C:\\"},
        {false, "D:\\", "C:\\\x95\x5C", 256, "C:\\\x95\x5C\\", 932},
        {false, "", "\\WINNT", 256, "\\WINNT\\"},  // a start directory too short gives what it has
        {false, "D", "WINNT", 256, "DWINNT\\"},
        {false, "\\\\", "WINNT", 256, "\\\\WINNT\\"},
        {false, "D:\\", "C:\\WINNT", 10, "C:\\WINNT\\"},  // exactly fills the buffer
        {false, "D:\\", "\\WINNT", 10, "D:\\WINNT\\"},
        {true, "D:\\SETUP\\", "\\WINNT\\system32", 256, "D:\\WINNT\\system32\\"},
        {true, "D:\\SETUP\\", "C:\\WINNT\\system32\\", 256, "C:\\WINNT\\system32\\"},
        {false, "D:\\", std::string(254, 'w'), 300, "D:\\" + std::string(254, 'w') + "\\"},
    };
    for (const Case &c : cases) {
        fake::Reset();
        orv::text::SetCodePages(c.codePage, c.codePage);
        SetStartDir(c.startDir);
        if (c.system) {
            fake::SetSystemDirectory(c.directory);
        } else {
            fake::SetWindowsDirectory(c.directory);
        }
        std::vector<char> out(static_cast<std::size_t>(c.size) + 1, 'X');
        LPSTR result = c.system ? GetSystemDir(out.data(), c.size) : GetWindowsDir(out.data(), c.size);
        EXPECT_EQ(result, out.data());
        EXPECT_EQ(std::string(result), c.expected) << c.directory << " from " << c.startDir;
        EXPECT_EQ(out[static_cast<std::size_t>(c.size)], 'X');
        EXPECT_EQ(fake::CallTexts({"GetWindowsDirectoryA", "GetSystemDirectoryA"}),
                  std::vector<std::string>{c.system ? "GetSystemDirectoryA(255)" : "GetWindowsDirectoryA(255)"});
    }
}

TEST_F(TextHelpers, DirectoryReadersStopOnFailureAndOverflow) {
    struct Case {
        const char *name;
        std::string startDir;
        std::string directory;
        std::string failingCall;
        long long answer;
        LONG size;
        std::vector<std::string> messages;
    } cases[] = {
        {"answer 0", "D:\\", "C:\\WINNT", "GetWindowsDirectoryA", 0, 256, NoMessage},
        {"answer above 255", "D:\\", "C:\\WINNT", "GetWindowsDirectoryA", 256, 256, OverflowMessage},
        {"system answer 0", "D:\\", "C:\\WINNT", "GetSystemDirectoryA", 0, 256, NoMessage},
        {"255 characters", "D:\\", std::string(255, 'w'), "", 0, 1000, OverflowMessage},
        {"backslash does not fit", "D:\\", "C:\\WINNT", "", 0, 9, OverflowMessage},
        {"directory does not fit", "D:\\", "C:\\WINNT", "", 0, 8, OverflowMessage},
        {"drive does not fit", "D:\\", "\\WINNT", "", 0, 8, OverflowMessage},
        {"backslash after drive does not fit", "D:\\", "\\WINNT", "", 0, 9, OverflowMessage},
        {"prefix above size", "D:\\", "WINNT", "", 0, 2, OverflowMessage},
        {"size 0", "D:\\", "C:\\WINNT", "", 0, 0, OverflowMessage},
        {"negative size", "D:\\", "C:\\WINNT", "", 0, -1, OverflowMessage},
    };
    for (const Case &c : cases) {
        fake::Reset();
        SetStartDir(c.startDir);
        fake::SetWindowsDirectory(c.directory);
        if (!c.failingCall.empty()) fake::FailCall(c.failingCall, {.result = c.answer});
        char out[1000];
        std::memcpy(out, "untouched", 10);
        bool system = c.failingCall == "GetSystemDirectoryA";
        EXPECT_EQ(MessagesBeforeStop([&] {
                      if (system) {
                          GetSystemDir(out, c.size);
                      } else {
                          GetWindowsDir(out, c.size);
                      }
                  }),
                  c.messages)
            << c.name;
        EXPECT_STREQ(out, "untouched") << c.name;
    }
    fake::Reset();
    EXPECT_EQ(MessagesBeforeStop([] { GetWindowsDir(nullptr, 256); }), OverflowMessage);
}

TEST_F(TextHelpers, SystemDirOutsideWindowsDir) {
    struct Case {
        std::string windowsDir;
        std::string systemDir;
        int expected;
    } cases[] = {
        {"C:\\WINNT", "C:\\WINNT\\system32", 0},
        {"C:\\winnt", "c:\\WINNT\\SYSTEM32", 0},
        {"C:\\WINNT\\", "C:\\WINNT", 0},
        {"\\WINNT", "C:\\WINNT\\system32", 0},  // the Windows directory takes the start drive
        {"C:\\WINNT", "D:\\WINNT\\system32", 1},
        {"C:\\WINNT", "C:\\WINNT2\\system32", 1},
        {"C:\\WINNT", "C:\\WIN", 1},
        {"C:\\WINNT\\system32", "C:\\WINNT", 1},
    };
    for (const Case &c : cases) {
        fake::Reset();
        SetStartDir("C:\\SETUP\\");
        fake::SetWindowsDirectory(c.windowsDir);
        fake::SetSystemDirectory(c.systemDir);
        EXPECT_EQ(IsSystemDirOutsideWindowsDir(), c.expected) << c.windowsDir << " / " << c.systemDir;
    }
}

TEST_F(TextHelpers, ConcatJoinsIntoItsOwnBuffer) {
    LPSTR two = ConcatTwo("ab", "cd");
    EXPECT_STREQ(two, "abcd");
    EXPECT_STREQ(ConcatThree("a", nullptr, "c"), "ac");
    EXPECT_STREQ(ConcatFour(nullptr, "b", "", "d"), "bd");
    EXPECT_EQ(ConcatTwo("x", "y"), two);  // the same buffer, overwritten
    EXPECT_STREQ(two, "xy");
    EXPECT_STREQ(ConcatTwo("<", ConcatTwo("a", "b")), "<ab");  // an earlier result as a part
}

TEST_F(TextHelpers, ConcatOverflowsAtItsBufferSize) {
    struct Case {
        const char *name;
        std::size_t size;
        std::function<LPSTR(const std::string &, const std::string &)> join;
    } cases[] = {
        {"ConcatTwo", 512, [](const std::string &a, const std::string &b) { return ConcatTwo(a.c_str(), b.c_str()); }},
        {"ConcatThree", 768,
         [](const std::string &a, const std::string &b) { return ConcatThree(a.c_str(), "", b.c_str()); }},
        {"ConcatFour", 1024,
         [](const std::string &a, const std::string &b) { return ConcatFour("", a.c_str(), b.c_str(), ""); }},
    };
    for (const Case &c : cases) {
        fake::Reset();
        std::string half(c.size / 2, 'h');
        std::string fits(c.size / 2 - 1, 'f');
        EXPECT_EQ(std::string(c.join(half, fits)), half + fits) << c.name;
        EXPECT_EQ(MessagesBeforeStop([&] { c.join(half, half); }), OverflowMessage) << c.name;
    }
}

TEST_F(TextHelpers, TrimTrailingBlanksCutsSpacesOnly) {
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"abc  ", "abc"}, {"abc\t", "abc\t"}, {"   ", ""},         {"a b", "a b"},
        {"a \t ", "a \t"}, {"", ""},           {"\x82\xA0  ", "\x82\xA0"}, {" \x82\x20", " \x82\x20"},
    };
    orv::text::SetCodePages(932, 932);
    for (const Case &c : cases) {
        std::string text = c.text;
        TrimTrailingBlanks(text.data());
        EXPECT_STREQ(text.c_str(), c.expected.c_str()) << "'" << c.text << "'";
    }
    TrimTrailingBlanks(nullptr);
}

TEST_F(TextHelpers, CopyPaddedWritesExactlyNBytes) {
    struct Case {
        const char *src;
        LONG n;
        std::string expected;  // the 8 bytes of the destination afterwards
    } cases[] = {
        {"ab", 5, std::string("ab\0\0\0XXX", 8)},
        {"abcdef", 3, "abcXXXXX"},  // no terminator
        {"abc", 3, "abcXXXXX"},
        {"abc", 0, "XXXXXXXX"},
        {"abc", -1, "XXXXXXXX"},
        {nullptr, 2, std::string("\0\0XXXXXX", 8)},
    };
    for (const Case &c : cases) {
        char dst[8];
        std::memset(dst, 'X', sizeof dst);
        EXPECT_EQ(CopyPadded(dst, c.src, c.n), dst);
        EXPECT_EQ(std::string(dst, sizeof dst), c.expected) << (c.src ? c.src : "NULL") << " " << c.n;
    }
}

TEST_F(TextHelpers, DateFieldsReadOnlyTheirBytes) {
    const char date[] = "1996-05-17 13:45:09";
    EXPECT_EQ(GetDateYear(date), 1996);
    EXPECT_EQ(GetDateMonth(date), 5);
    EXPECT_EQ(GetDateDay(date), 17);
    EXPECT_EQ(GetDateHour(date), 13);
    EXPECT_EQ(GetDateMinute(date), 45);
    EXPECT_EQ(GetDateSecond(date), 9);

    struct Case {
        std::string date;
        LONG (*reader)(LPCSTR);
        LONG expected;
    } cases[] = {
        {"1996-0512", GetDateMonth, 5},  // the byte after the field is not read
        {"1996- 7-01", GetDateMonth, 7},
        {"1996--1-01", GetDateMonth, -1},
        {"1996-ab-01", GetDateMonth, 0},
        {"1996-+3-01", GetDateMonth, 3},
        {"12345", GetDateYear, 1234},
        {"19", GetDateYear, 19},
        {"1996", GetDateMonth, 0},  // shorter than the field's offset
        {"1996-0", GetDateMonth, 0},
        {"1996-05-17 13:45:0", GetDateSecond, 0},
        {"", GetDateSecond, 0},
    };
    for (const Case &c : cases) {
        // A heap copy of exactly the text's size, so that a read past it shows in the
        // sanitizer build.
        std::vector<char> text(c.date.begin(), c.date.end());
        text.push_back('\0');
        EXPECT_EQ(c.reader(text.data()), c.expected) << c.date;
    }
    EXPECT_EQ(GetDateYear(nullptr), 0);
    EXPECT_EQ(GetDateSecond(nullptr), 0);
}

TEST_F(TextHelpers, ReadSignedDecimalSaturates) {
    struct Case {
        std::string text;
        LONG expected;
    } cases[] = {
        {"2147483647", std::numeric_limits<LONG>::max()},
        {"2147483648", std::numeric_limits<LONG>::max()},
        {"-2147483648", std::numeric_limits<LONG>::min()},
        {"-99999999999999999999999", std::numeric_limits<LONG>::min()},
        {"99999999999999999999999", std::numeric_limits<LONG>::max()},
        {" \t-12x", -12},
        {"+-1", 0},
        {"- 1", 0},
        {"\n1", 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReadSignedDecimal(c.text.c_str(), static_cast<LONG>(c.text.size())), c.expected) << c.text;
    }
    EXPECT_EQ(ReadSignedDecimal("123", 2), 12);
    EXPECT_EQ(ReadSignedDecimal(nullptr, 5), 0);
}

}  // namespace
