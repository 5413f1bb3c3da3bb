// Code-page state of the workstation: which ANSI and OEM code pages are in force,
// the per-byte case tables of the ANSI code page, and conversions through iconv.
#include "host/text/ansi_text.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <mutex>

namespace orv::text {
namespace {

struct CodePageState {
    unsigned ansi = 1252;
    unsigned oem = 437;
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
};

void BuildCaseTables(CodePageState &state) {
    for (int b = 0; b < 256; ++b) {
        state.upper[b] = static_cast<unsigned char>(b);
        state.lower[b] = static_cast<unsigned char>(b);
    }
    auto pair = [&state](int lowerByte, int upperByte) {
        state.upper[lowerByte] = static_cast<unsigned char>(upperByte);
        state.lower[upperByte] = static_cast<unsigned char>(lowerByte);
    };
    for (int b = 'a'; b <= 'z'; ++b) pair(b, b - 0x20);
    if (state.ansi == 1252) {
        // Latin-1 letters: 0xE0-0xFE map down by 0x20, except the division sign.
        for (int b = 0xE0; b <= 0xFE; ++b) {
            if (b != 0xF7) pair(b, b - 0x20);
        }
        pair(0x9A, 0x8A);  // s with caron
        pair(0x9C, 0x8C);  // ligature oe
        pair(0x9E, 0x8E);  // z with caron
        pair(0xFF, 0x9F);  // y with diaeresis
    }
}

CodePageState MakeState(unsigned ansi, unsigned oem) {
    CodePageState state;
    state.ansi = ansi;
    state.oem = oem;
    BuildCaseTables(state);
    return state;
}

CodePageState &State() {
    static CodePageState state = MakeState(1252, 437);
    return state;
}

}  // namespace

void SetCodePages(unsigned ansi, unsigned oem) { State() = MakeState(ansi, oem); }
unsigned AnsiCodePage() { return State().ansi; }
unsigned OemCodePage() { return State().oem; }

bool IsDbcsLeadByte(unsigned char byte) {
    if (State().ansi != 932) return false;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

unsigned char UpperByte(unsigned char byte) { return State().upper[byte]; }
unsigned char LowerByte(unsigned char byte) { return State().lower[byte]; }

std::string IconvName(unsigned codePage) {
    if (codePage == 65001) return "UTF-8";
    return "CP" + std::to_string(codePage);
}

bool ConvertCodePage(std::string_view in, unsigned fromCp, unsigned toCp, std::string &out) {
    out.clear();
    if (in.empty()) return true;
    iconv_t cd = iconv_open(IconvName(toCp).c_str(), IconvName(fromCp).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string input(in);
    char *src = input.data();
    std::size_t srcLeft = input.size();
    std::string result;
    std::array<char, 512> chunk{};
    bool ok = true;
    while (srcLeft > 0) {
        char *dst = chunk.data();
        std::size_t dstLeft = chunk.size();
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        result.append(chunk.data(), chunk.size() - dstLeft);
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            ok = false;  // EILSEQ or EINVAL: no meaning or no counterpart
            break;
        }
        // glibc counts irreversible conversions in rc; they are substitutions, so
        // the text did not survive as it was.
        if (rc != 0) {
            ok = false;
            break;
        }
    }
    if (ok) {
        char *dst = chunk.data();
        std::size_t dstLeft = chunk.size();
        iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        result.append(chunk.data(), chunk.size() - dstLeft);
    }
    iconv_close(cd);
    if (ok) out = std::move(result);
    return ok;
}

}  // namespace orv::text
