// Small text routines beside the checked calls: finding characters and substrings,
// trimming, comma fields, joining into static buffers, a padded copy, the fields of a
// date text, and the Windows and system directories in a fixed form. Text is walked
// with CharNextA, so the second byte of a double-byte character is never taken for a
// backslash, comma or blank.
#pragma once

#include "platform/wintypes.h"

// Cuts one trailing backslash (a one-byte last character) off `path`.
LPSTR RemoveTrailingBackslash(LPSTR path);
// The first character whose first byte is `ch`, or null; the terminator is never found.
LPSTR FindChar(LPCSTR text, char ch);
// 1-based character position of the first match of `pattern` at or after `start`, or 0.
LONG FindSubstringPosition(LONG start, LPCSTR text, LPCSTR pattern);
// Field `n` (from 1) of a comma-separated text, leading blanks skipped. `n` below 1 is
// the fatal stop; a field that does not fit is "Buffer Overflow" and the fatal stop.
LPSTR GetNthCommaField(LPCSTR text, LONG n, LPSTR out, LONG size);
// The Windows (system) directory with a drive and a trailing backslash; a directory
// without a drive takes it from the start directory. Failures and overflows are the
// fatal stop.
LPSTR GetWindowsDir(LPSTR out, LONG size);
LPSTR GetSystemDir(LPSTR out, LONG size);
// 1 when the system directory does not lie under the Windows directory, else 0.
int IsSystemDirOutsideWindowsDir();
// The texts one after the other in the routine's own static buffer (512, 768 and 1024
// bytes), overwritten by its next call. A result too long for the buffer shows
// "Buffer Overflow" and is the fatal stop.
LPSTR ConcatTwo(LPCSTR a, LPCSTR b);
LPSTR ConcatThree(LPCSTR a, LPCSTR b, LPCSTR c);
LPSTR ConcatFour(LPCSTR a, LPCSTR b, LPCSTR c, LPCSTR d);
// Removes the trailing spaces (tabs stay).
void TrimTrailingBlanks(LPSTR text);
// Copies at most `n` bytes, zero-filling after the terminator; a source of `n` or more
// characters leaves no terminator.
LPSTR CopyPadded(LPSTR dst, LPCSTR src, LONG n);
// A signed decimal number read from at most `length` bytes of `text` (fewer when the
// text ends first): leading spaces and tabs and one sign allowed, reading stops at the
// first other character, 0 when there is no digit; a number beyond LONG saturates.
LONG ReadSignedDecimal(LPCSTR text, LONG length);
// The numeric fields of a date text "YYYY-MM-DD-hh-mm-ss" (separators not read).
LONG GetDateYear(LPCSTR date);
LONG GetDateMonth(LPCSTR date);
LONG GetDateDay(LPCSTR date);
LONG GetDateHour(LPCSTR date);
LONG GetDateMinute(LPCSTR date);
LONG GetDateSecond(LPCSTR date);
