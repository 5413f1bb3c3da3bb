// Text as the terminal screens show it: the workstation's ANSI text turned into what
// the terminal displays and back, display widths, word wrapping and shortening.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::ui {

// Whether the terminal takes UTF-8; decided once the screen is up.
void SetScreenIsUtf8(bool utf8);
bool ScreenIsUtf8();

// ANSI text of the workstation as the screen shows it. Bytes that the code page does
// not define become '?'.
std::string ToScreen(std::string_view ansi);
// Text typed at the screen as ANSI text of the workstation; false when it holds a
// character the workstation's code page cannot hold.
bool FromScreen(std::string_view screen, std::string &ansi);

// Columns the screen text takes (one per character; the dialogs' texts hold no wide
// characters).
int DisplayWidth(std::string_view screen);

// Breaks screen text into lines of at most `width` columns: at blanks where it can,
// keeping the line breaks of the text and the indentation of each line; a word longer
// than a line is cut.
std::vector<std::string> WrapText(std::string_view screen, int width);

// At most `width` columns of `screen`, the start cut and replaced by "..." when it is
// too long (paths keep their file name in sight).
std::string ShortenFromLeft(std::string_view screen, int width);

std::string JoinLines(const std::vector<std::string> &lines);

}  // namespace orv::ui
