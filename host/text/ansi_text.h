// The workstation's code pages and the conversions between them. The text calls of
// platform/win32.h read the ANSI and OEM code pages set here; the rest of the host
// layer converts through ConvertCodePage.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace orv::text {

// Sets the machine's ANSI and OEM code pages (default 1252 and 437).
void SetCodePages(unsigned ansi, unsigned oem);
unsigned AnsiCodePage();
unsigned OemCodePage();

// True when `byte` opens a double-byte character in the ANSI code page. Only a
// double-byte code page has lead bytes (932: 0x81-0x9F and 0xE0-0xFC).
bool IsDbcsLeadByte(unsigned char byte);

// The iconv name of a code page number ("CP1252", "CP437", "CP932"; 65001 is "UTF-8").
std::string IconvName(unsigned codePage);

// Converts `in` from one code page to another. Returns false, leaving `out` empty,
// when the text holds a sequence that has no meaning in `fromCp` or no counterpart
// in `toCp`, or when a code page is unknown.
bool ConvertCodePage(std::string_view in, unsigned fromCp, unsigned toCp, std::string &out);

// Upper- and lower-case forms of a single byte in the ANSI code page. Bytes that are
// not letters, and every byte but ASCII letters in a double-byte code page, are
// returned unchanged. The caller must not pass the second byte of a double-byte
// character.
unsigned char UpperByte(unsigned char byte);
unsigned char LowerByte(unsigned char byte);

// The formatter behind wsprintfA: at most `capacity` bytes including the terminator
// (capacity is capped at 1024). Returns the number of characters written.
int FormatV(char *buffer, std::size_t capacity, const char *format, std::va_list args);

}  // namespace orv::text
