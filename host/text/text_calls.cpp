// The pure text calls of the workstation: stepping through ANSI text, case, the two
// comparisons, copying, length and the OEM-to-ANSI conversion. They never touch the
// machine, so the host layer and the fake platform share them. Null pointers are
// answered the way the workstation answers them instead of crashing.
#include "host/text/ansi_text.h"
#include "platform/win32.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

using orv::text::IsDbcsLeadByte;
using orv::text::LowerByte;
using orv::text::UpperByte;

bool IsDoubleByteCodePage(unsigned cp) { return cp == 932 || cp == 936 || cp == 949 || cp == 950; }

// One byte from the OEM code page to the ANSI code page. A character that has no
// exact counterpart takes iconv's transliteration when that is one byte, else '?',
// so the text keeps its length and can be converted in place.
unsigned char ConvertOneByte(iconv_t exact, iconv_t translit, unsigned char byte) {
    for (iconv_t cd : {exact, translit}) {
        if (cd == reinterpret_cast<iconv_t>(-1)) continue;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(byte);
        char *src = &in;
        std::size_t srcLeft = 1;
        std::array<char, 8> out{};
        char *dst = out.data();
        std::size_t dstLeft = out.size();
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (rc != static_cast<std::size_t>(-1) && srcLeft == 0 && out.size() - dstLeft == 1) {
            return static_cast<unsigned char>(out[0]);
        }
    }
    return '?';
}

const std::array<unsigned char, 256> &OemTable(unsigned oem, unsigned ansi) {
    static std::mutex guard;
    static std::map<std::pair<unsigned, unsigned>, std::array<unsigned char, 256>> tables;
    std::lock_guard lock(guard);
    auto key = std::make_pair(oem, ansi);
    auto found = tables.find(key);
    if (found != tables.end()) return found->second;
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 128; ++b) table[b] = static_cast<unsigned char>(b);
    std::string from = orv::text::IconvName(oem);
    std::string to = orv::text::IconvName(ansi);
    iconv_t exact = iconv_open(to.c_str(), from.c_str());
    iconv_t translit = iconv_open((to + "//TRANSLIT").c_str(), from.c_str());
    for (int b = 128; b < 256; ++b) {
        bool usable = exact != reinterpret_cast<iconv_t>(-1) || translit != reinterpret_cast<iconv_t>(-1);
        table[b] = usable ? ConvertOneByte(exact, translit, static_cast<unsigned char>(b)) : static_cast<unsigned char>(b);
    }
    if (exact != reinterpret_cast<iconv_t>(-1)) iconv_close(exact);
    if (translit != reinterpret_cast<iconv_t>(-1)) iconv_close(translit);
    return tables.emplace(key, table).first->second;
}

// Collation keys of one string: each byte lower-cased, except the second bytes of
// double-byte characters, which are kept as they are.
std::vector<unsigned char> FoldedKey(const char *text) {
    std::vector<unsigned char> key;
    if (text == nullptr) return key;
    for (const char *p = text; *p != '\0';) {
        auto lead = static_cast<unsigned char>(*p);
        if (IsDbcsLeadByte(lead) && p[1] != '\0') {
            key.push_back(lead);
            key.push_back(static_cast<unsigned char>(p[1]));
            p += 2;
        } else {
            key.push_back(LowerByte(lead));
            ++p;
        }
    }
    return key;
}

int CompareKeys(const std::vector<unsigned char> &a, const std::vector<unsigned char> &b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

}  // namespace

LPSTR CharNextA(LPCSTR text) {
    if (text == nullptr) return nullptr;
    if (*text == '\0') return const_cast<LPSTR>(text);
    if (IsDbcsLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0') return const_cast<LPSTR>(text + 2);
    return const_cast<LPSTR>(text + 1);
}

LPSTR CharUpperA(LPSTR text) {
    // As on the workstation, a "pointer" below 0x10000 is a single character to convert.
    auto value = reinterpret_cast<std::uintptr_t>(text);
    if (value < 0x10000) {
        if (value > 0xFF) return text;
        return reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(UpperByte(static_cast<unsigned char>(value))));
    }
    CharUpperBuffA(text, static_cast<DWORD>(std::strlen(text)));
    return text;
}

DWORD CharUpperBuffA(LPSTR text, DWORD length) {
    if (text == nullptr) return 0;
    DWORD i = 0;
    while (i < length) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (IsDbcsLeadByte(byte) && i + 1 < length) {
            i += 2;  // a double-byte character has no case here; its second byte is left alone
            continue;
        }
        text[i] = static_cast<char>(UpperByte(byte));
        ++i;
    }
    return length;
}

BOOL OemToCharA(LPCSTR source, LPSTR destination) {
    if (source == nullptr || destination == nullptr) return FALSE;
    unsigned oem = orv::text::OemCodePage();
    unsigned ansi = orv::text::AnsiCodePage();
    std::size_t length = std::strlen(source);
    if (oem == ansi) {
        std::memmove(destination, source, length + 1);
        return TRUE;
    }
    if (IsDoubleByteCodePage(oem) || IsDoubleByteCodePage(ansi)) {
        std::string converted;
        if (!orv::text::ConvertCodePage(std::string_view(source, length), oem, ansi, converted)) {
            converted.assign(source, length);
        }
        // The destination holds as much as the source did; a longer result is cut,
        // never in the middle of a double-byte character.
        std::size_t keep = 0;
        while (keep < converted.size()) {
            std::size_t step = IsDbcsLeadByte(static_cast<unsigned char>(converted[keep])) ? 2 : 1;
            if (keep + step > length) break;
            keep += step;
        }
        std::memmove(destination, converted.data(), keep);
        destination[keep] = '\0';
        return TRUE;
    }
    const auto &table = OemTable(oem, ansi);
    for (std::size_t i = 0; i <= length; ++i) {
        destination[i] = static_cast<char>(table[static_cast<unsigned char>(source[i])]);
    }
    return TRUE;
}

int lstrcmpA(LPCSTR a, LPCSTR b) {
    std::vector<unsigned char> keyA = FoldedKey(a);
    std::vector<unsigned char> keyB = FoldedKey(b);
    if (int order = CompareKeys(keyA, keyB); order != 0) return order;
    // Equal but for case: at the first difference the lower-case letter sorts first.
    const char *pa = a != nullptr ? a : "";
    const char *pb = b != nullptr ? b : "";
    for (; *pa != '\0' && *pb != '\0'; ++pa, ++pb) {
        if (*pa == *pb) continue;
        auto ca = static_cast<unsigned char>(*pa);
        bool aIsLower = UpperByte(ca) != ca;
        return aIsLower ? -1 : 1;
    }
    return 0;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) { return CompareKeys(FoldedKey(a), FoldedKey(b)); }

LPSTR lstrcpyA(LPSTR destination, LPCSTR source) {
    if (destination == nullptr || source == nullptr) return nullptr;
    std::memmove(destination, source, std::strlen(source) + 1);
    return destination;
}

LPSTR lstrcatA(LPSTR destination, LPCSTR source) {
    if (destination == nullptr || source == nullptr) return nullptr;
    std::memmove(destination + std::strlen(destination), source, std::strlen(source) + 1);
    return destination;
}

int lstrlenA(LPCSTR text) {
    if (text == nullptr) return 0;
    return static_cast<int>(std::strlen(text));
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    std::va_list args;
    va_start(args, format);
    int written = orv::text::FormatV(buffer, 1024, format, args);
    va_end(args);
    return written;
}
