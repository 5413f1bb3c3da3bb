// Conversions between the workstation's ANSI text and the terminal's, and the
// wrapping of dialog texts.
#include "host/ui/newt/screen_text.h"

#include "host/text/ansi_text.h"

namespace orv::ui {

namespace {

bool g_screenIsUtf8 = false;

constexpr unsigned kUtf8CodePage = 65001;

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Byte length of the character that starts at `text[at]`.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    if (!g_screenIsUtf8) return 1;
    std::size_t end = at + 1;
    while (end < text.size() && IsContinuationByte(static_cast<unsigned char>(text[end]))) ++end;
    return end - at;
}

// Byte offset after the first `columns` characters of `text`.
std::size_t PrefixBytes(std::string_view text, int columns) {
    std::size_t at = 0;
    for (int column = 0; column < columns && at < text.size(); ++column) at += CharacterLength(text, at);
    return at;
}

void WrapLine(std::string_view line, int width, std::vector<std::string> &out) {
    std::size_t indentBytes = 0;
    while (indentBytes < line.size() && line[indentBytes] == ' ') ++indentBytes;
    // An indentation that leaves no room for text is dropped on the wrapped lines.
    int indent = static_cast<int>(indentBytes) < width / 2 ? static_cast<int>(indentBytes) : 0;
    std::string current(line.substr(0, indentBytes));
    int currentWidth = DisplayWidth(current);
    bool currentHasWord = false;
    std::size_t at = indentBytes;
    while (at < line.size()) {
        std::size_t wordEnd = line.find(' ', at);
        if (wordEnd == std::string_view::npos) wordEnd = line.size();
        std::string_view word = line.substr(at, wordEnd - at);
        std::size_t next = wordEnd;
        while (next < line.size() && line[next] == ' ') ++next;
        std::string_view gap = line.substr(wordEnd, next - wordEnd);
        at = next;
        if (word.empty()) continue;

        int wordWidth = DisplayWidth(word);
        if (currentHasWord && currentWidth + 1 + wordWidth > width) {
            out.push_back(current);
            current.assign(static_cast<std::size_t>(indent), ' ');
            currentWidth = indent;
            currentHasWord = false;
        }
        if (currentHasWord) {
            current += ' ';
            ++currentWidth;
        }
        // A word wider than the line is cut into pieces.
        while (currentWidth + wordWidth > width && width - currentWidth > 0) {
            std::size_t cut = PrefixBytes(word, width - currentWidth);
            current.append(word.substr(0, cut));
            out.push_back(current);
            word.remove_prefix(cut);
            wordWidth = DisplayWidth(word);
            current.assign(static_cast<std::size_t>(indent), ' ');
            currentWidth = indent;
        }
        current.append(word);
        currentWidth += wordWidth;
        currentHasWord = true;
        // Runs of blanks inside a line (aligned columns) are kept where they fit.
        if (gap.size() > 1 && currentWidth + static_cast<int>(gap.size()) < width && at < line.size()) {
            current.append(gap.substr(1));
            currentWidth += static_cast<int>(gap.size()) - 1;
        }
    }
    out.push_back(current);
}

}  // namespace

void SetScreenIsUtf8(bool utf8) { g_screenIsUtf8 = utf8; }
bool ScreenIsUtf8() { return g_screenIsUtf8; }

std::string ToScreen(std::string_view ansi) {
    std::string out;
    bool ascii = true;
    for (char c : ansi) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(ansi);
    if (g_screenIsUtf8) {
        if (orv::text::ConvertCodePage(ansi, orv::text::AnsiCodePage(), kUtf8CodePage, out)) return out;
        out.clear();
        for (char c : ansi) out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return out;
    }
    return std::string(ansi);
}

bool FromScreen(std::string_view screen, std::string &ansi) {
    bool ascii = true;
    for (char c : screen) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || !g_screenIsUtf8) {
        ansi.assign(screen);
        return true;
    }
    return orv::text::ConvertCodePage(screen, kUtf8CodePage, orv::text::AnsiCodePage(), ansi);
}

int DisplayWidth(std::string_view screen) {
    if (!g_screenIsUtf8) return static_cast<int>(screen.size());
    int width = 0;
    for (char c : screen) {
        if (!IsContinuationByte(static_cast<unsigned char>(c))) ++width;
    }
    return width;
}

std::vector<std::string> WrapText(std::string_view screen, int width) {
    std::vector<std::string> lines;
    if (width < 1) width = 1;
    std::size_t start = 0;
    while (true) {
        std::size_t end = screen.find('\n', start);
        std::string_view line = screen.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        WrapLine(line, width, lines);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string ShortenFromLeft(std::string_view screen, int width) {
    int total = DisplayWidth(screen);
    if (total <= width) return std::string(screen);
    if (width <= 3) return std::string(screen.substr(0, PrefixBytes(screen, width < 0 ? 0 : width)));
    std::size_t skip = PrefixBytes(screen, total - (width - 3));
    return "..." + std::string(screen.substr(skip));
}

std::string JoinLines(const std::vector<std::string> &lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

}  // namespace orv::ui
