// The text and path helpers of the toolkit binding. Every walk over a text steps by
// whole characters through CharNextA, so a double-byte character whose second byte
// looks like a backslash, comma or blank is never cut or taken for one.
#include "toolkit/text_helpers.h"

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "platform/win32.h"
#include "session/fatal_stop.h"
#include "toolkit/checks.h"

#include <cstring>
#include <limits>

namespace {

constexpr LONG DirectoryWorkSize = 256;
constexpr LONG ConcatTwoSize = 512;
constexpr LONG ConcatThreeSize = 768;
constexpr LONG ConcatFourSize = 1024;
constexpr LONG LongMax = std::numeric_limits<LONG>::max();

char s_concatTwo[ConcatTwoSize];
char s_concatThree[ConcatThreeSize];
char s_concatFour[ConcatFourSize];

// A byte count as the LONG the checks take; no text of ours comes near the limit, but
// a count that did must still read as "too long", never as a small number.
LONG CountOf(std::size_t bytes) { return bytes > static_cast<std::size_t>(LongMax) ? LongMax : static_cast<LONG>(bytes); }

// The last character of `text`, or null for an empty text.
LPCSTR LastCharacter(LPCSTR text) {
    LPCSTR last = nullptr;
    for (LPCSTR p = text; *p != '\0'; p = CharNextA(p)) last = p;
    return last;
}

bool EndsWithBackslash(LPCSTR text) {
    LPCSTR last = LastCharacter(text);
    return last != nullptr && *last == '\\' && CharNextA(last) == last + 1;
}

// Whether `pattern` stands at `here`. Characters are compared whole, so two
// double-byte characters that share their first byte but not their second differ.
bool PatternStandsAt(LPCSTR here, LPCSTR pattern) {
    while (*pattern != '\0') {
        if (*here == '\0') return false;
        LPCSTR nextHere = CharNextA(here);
        LPCSTR nextPattern = CharNextA(pattern);
        std::size_t width = static_cast<std::size_t>(nextPattern - pattern);
        if (static_cast<std::size_t>(nextHere - here) != width || std::memcmp(here, pattern, width) != 0) return false;
        here = nextHere;
        pattern = nextPattern;
    }
    return true;
}

LPCSTR SkipToCommaOrEnd(LPCSTR p) {
    while (*p != '\0' && *p != ',') p = CharNextA(p);
    return p;
}

// Copies the first `count` characters of `text` (fewer when it is shorter) to `out`,
// unterminated, and answers their length in bytes.
std::size_t TakeLeadingCharacters(LPCSTR text, int count, char *out) {
    LPCSTR end = text;
    for (int i = 0; i < count && *end != '\0'; ++i) end = CharNextA(end);
    std::size_t length = static_cast<std::size_t>(end - text);
    std::memcpy(out, text, length);
    return length;
}

// The directory the platform answers, with a drive in front when it has none and one
// trailing backslash. A directory without a drive takes the start directory's.
LPSTR ReadDirectoryWithDrive(UINT (*query)(LPSTR, UINT), LPSTR out, LONG size) {
    if (out == nullptr || size <= 0) StopOnBufferOverflow();
    char directory[DirectoryWorkSize] = {};
    UINT answer = query(directory, DirectoryWorkSize - 1);
    if (answer == 0) FatalStop(StopError);
    if (answer > static_cast<UINT>(DirectoryWorkSize - 1)) StopOnBufferOverflow();

    // Room for a drive letter, colon and backslash (each possibly a double-byte
    // character), the directory and one more backslash.
    char joined[8 + DirectoryWorkSize + 1] = {};
    std::size_t length = 0;
    if (directory[0] == '\\') {
        length = TakeLeadingCharacters(g_state.g_startDir, 2, joined);
    } else if (directory[1] != ':') {
        length = TakeLeadingCharacters(g_state.g_startDir, 3, joined);
    }
    std::size_t directoryLength = std::strlen(directory);
    std::memcpy(joined + length, directory, directoryLength + 1);
    length += directoryLength;
    // The joined text is tested, not the bare directory: an empty answer after the
    // start directory's "X:\" already ends in one backslash.
    if (!EndsWithBackslash(joined)) {
        joined[length++] = '\\';
        joined[length] = '\0';
    }
    // Built aside first, so a result that does not fit leaves `out` as it was.
    StopOnOverflow(CountOf(length), size, out);
    std::memcpy(out, joined, length + 1);
    return out;
}

// Joins the parts into `buffer`. The result is built aside first, so a part that is
// the buffer's own earlier result is read before it is overwritten.
LPSTR JoinInto(LPSTR buffer, LONG size, const LPCSTR *parts, int count) {
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) total += parts[i] == nullptr ? 0 : std::strlen(parts[i]);
    // A joined text longer than the routine's buffer is the overflow stop, never an
    // overrun or a cut result.
    StopOnOverflow(CountOf(total), size, buffer);
    char joined[ConcatFourSize];
    std::size_t used = 0;
    for (int i = 0; i < count; ++i) {
        if (parts[i] == nullptr) continue;
        std::size_t length = std::strlen(parts[i]);
        std::memcpy(joined + used, parts[i], length);
        used += length;
    }
    joined[used] = '\0';
    std::memcpy(buffer, joined, used + 1);
    return buffer;
}

LONG ReadDateField(LPCSTR date, int offset, int length) {
    if (date == nullptr) return 0;
    for (int i = 0; i < offset; ++i) {
        if (date[i] == '\0') return 0;
    }
    return ReadSignedDecimal(date + offset, length);
}

}  // namespace

LPSTR RemoveTrailingBackslash(LPSTR path) {
    if (path != nullptr && EndsWithBackslash(path)) path[std::strlen(path) - 1] = '\0';
    return path;
}

LPSTR FindChar(LPCSTR text, char ch) {
    if (text == nullptr) return nullptr;
    for (LPCSTR p = text; *p != '\0'; p = CharNextA(p)) {
        if (*p == ch) return const_cast<LPSTR>(p);
    }
    return nullptr;
}

LONG FindSubstringPosition(LONG start, LPCSTR text, LPCSTR pattern) {
    if (start == 0 || text == nullptr) return 0;
    if (start < 0) start = 1;
    if (pattern == nullptr) pattern = "";
    LPCSTR here = text;
    for (LONG skipped = 1; skipped < start && *here != '\0'; ++skipped) here = CharNextA(here);
    for (LONG position = start; *here != '\0'; ++position, here = CharNextA(here)) {
        if (PatternStandsAt(here, pattern)) return position;
    }
    return 0;
}

LPSTR GetNthCommaField(LPCSTR text, LONG n, LPSTR out, LONG size) {
    if (n < 1) FatalStop(StopError);
    if (out == nullptr) StopOnBufferOverflow();
    LPCSTR field = text == nullptr ? "" : text;
    // A field past the last comma reads as empty: the walk stays at the terminator.
    for (LONG skipped = 1; skipped < n && *field != '\0'; ++skipped) {
        field = SkipToCommaOrEnd(field);
        if (*field != '\0') field = CharNextA(field);
    }
    while (*field == ' ' || *field == '\t') ++field;
    std::size_t length = static_cast<std::size_t>(SkipToCommaOrEnd(field) - field);
    StopOnOverflow(CountOf(length), size, out);
    std::memcpy(out, field, length);
    out[length] = '\0';
    return out;
}

LPSTR GetWindowsDir(LPSTR out, LONG size) { return ReadDirectoryWithDrive(GetWindowsDirectoryA, out, size); }

LPSTR GetSystemDir(LPSTR out, LONG size) { return ReadDirectoryWithDrive(GetSystemDirectoryA, out, size); }

int IsSystemDirOutsideWindowsDir() {
    char windowsDir[DirectoryWorkSize];
    char systemDir[DirectoryWorkSize];
    GetWindowsDir(windowsDir, DirectoryWorkSize - 1);
    GetSystemDir(systemDir, DirectoryWorkSize - 1);
    CharUpperA(windowsDir);
    CharUpperA(systemDir);
    // Both end in a backslash, so "C:\WINNT2\" is not taken to lie under "C:\WINNT\".
    for (int i = 0; windowsDir[i] != '\0'; ++i) {
        if (systemDir[i] != windowsDir[i]) return 1;
    }
    return 0;
}

LPSTR ConcatTwo(LPCSTR a, LPCSTR b) {
    const LPCSTR parts[] = {a, b};
    return JoinInto(s_concatTwo, ConcatTwoSize, parts, 2);
}

LPSTR ConcatThree(LPCSTR a, LPCSTR b, LPCSTR c) {
    const LPCSTR parts[] = {a, b, c};
    return JoinInto(s_concatThree, ConcatThreeSize, parts, 3);
}

LPSTR ConcatFour(LPCSTR a, LPCSTR b, LPCSTR c, LPCSTR d) {
    const LPCSTR parts[] = {a, b, c, d};
    return JoinInto(s_concatFour, ConcatFourSize, parts, 4);
}

void TrimTrailingBlanks(LPSTR text) {
    if (text == nullptr) return;
    LPSTR runStart = nullptr;
    for (LPSTR p = text; *p != '\0'; p = CharNextA(p)) {
        if (*p != ' ') {
            runStart = nullptr;
        } else if (runStart == nullptr) {
            runStart = p;
        }
    }
    if (runStart != nullptr) *runStart = '\0';
}

LPSTR CopyPadded(LPSTR dst, LPCSTR src, LONG n) {
    if (dst == nullptr) return dst;
    LONG written = 0;
    if (src != nullptr) {
        for (; written < n && src[written] != '\0'; ++written) dst[written] = src[written];
    }
    for (; written < n; ++written) dst[written] = '\0';
    return dst;
}

LONG ReadSignedDecimal(LPCSTR text, LONG length) {
    if (text == nullptr) return 0;
    LONG i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The magnitude stops growing one past the largest LONG, so that the smallest LONG
    // is reachable and a longer run of digits saturates instead of overflowing.
    constexpr long long Limit = static_cast<long long>(LongMax) + 1;
    long long magnitude = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > Limit) magnitude = Limit;
    }
    if (negative) return static_cast<LONG>(-magnitude);
    return magnitude > LongMax ? LongMax : static_cast<LONG>(magnitude);
}

LONG GetDateYear(LPCSTR date) { return ReadDateField(date, 0, 4); }
LONG GetDateMonth(LPCSTR date) { return ReadDateField(date, 5, 2); }
LONG GetDateDay(LPCSTR date) { return ReadDateField(date, 8, 2); }
LONG GetDateHour(LPCSTR date) { return ReadDateField(date, 11, 2); }
LONG GetDateMinute(LPCSTR date) { return ReadDateField(date, 14, 2); }
LONG GetDateSecond(LPCSTR date) { return ReadDateField(date, 17, 2); }
