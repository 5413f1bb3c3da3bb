// The workstation's wsprintfA formatter: %[-0#][width][.precision][l|h]{d,i,u,x,X,c,s,%}.
// "l" is the 32-bit LONG of the workstation, so every integer argument is read as a
// 32-bit int. Output is cut at 1024 bytes including the terminator.
#include "host/text/ansi_text.h"

#include <cstdint>
#include <cstring>

namespace orv::text {
namespace {

constexpr std::size_t MaxFormatted = 1024;

struct Sink {
    char *buffer;
    std::size_t limit;  // characters that may be written before the terminator
    std::size_t written = 0;

    void Put(char c) {
        if (written < limit) buffer[written++] = c;
    }
    void Repeat(char c, int count) {
        for (int i = 0; i < count; ++i) Put(c);
    }
    void Text(const char *text, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) Put(text[i]);
    }
};

struct Conversion {
    bool left = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
    char size = 0;  // 'l', 'h' or 0
};

// Writes `digits` (no sign) with sign, prefix, precision zeros and padding.
void EmitNumber(Sink &sink, const Conversion &conversion, const char *prefix, const char *digits) {
    int digitCount = static_cast<int>(std::strlen(digits));
    int prefixCount = static_cast<int>(std::strlen(prefix));
    // A precision of 0 with the value 0 prints no digits at all, as in C.
    if (conversion.precision == 0 && digitCount == 1 && digits[0] == '0') digitCount = 0;
    int precisionZeros = conversion.precision > digitCount ? conversion.precision - digitCount : 0;
    int body = prefixCount + precisionZeros + digitCount;
    int pad = conversion.width > body ? conversion.width - body : 0;
    bool zeroPad = conversion.zero && !conversion.left && conversion.precision < 0;
    if (!conversion.left && !zeroPad) sink.Repeat(' ', pad);
    sink.Text(prefix, static_cast<std::size_t>(prefixCount));
    if (zeroPad) sink.Repeat('0', pad);
    sink.Repeat('0', precisionZeros);
    sink.Text(digits, static_cast<std::size_t>(digitCount));
    if (conversion.left) sink.Repeat(' ', pad);
}

void ToDigits(std::uint32_t value, unsigned base, bool upper, char (&out)[16]) {
    const char *alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    int n = 0;
    do {
        reversed[n++] = alphabet[value % base];
        value /= base;
    } while (value != 0);
    for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    out[n] = '\0';
}

}  // namespace

int FormatV(char *buffer, std::size_t capacity, const char *format, std::va_list args) {
    if (buffer == nullptr || capacity == 0) return 0;
    if (capacity > MaxFormatted) capacity = MaxFormatted;
    Sink sink{buffer, capacity - 1};
    if (format == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    const char *p = format;
    while (*p != '\0') {
        if (*p != '%') {
            sink.Put(*p++);
            continue;
        }
        ++p;
        Conversion conversion;
        for (;; ++p) {
            if (*p == '-') conversion.left = true;
            else if (*p == '0') conversion.zero = true;
            else if (*p == '#') conversion.alternate = true;
            else break;
        }
        while (*p >= '0' && *p <= '9') {
            if (conversion.width < 100000) conversion.width = conversion.width * 10 + (*p - '0');
            ++p;
        }
        if (*p == '.') {
            ++p;
            conversion.precision = 0;
            while (*p >= '0' && *p <= '9') {
                if (conversion.precision < 100000) conversion.precision = conversion.precision * 10 + (*p - '0');
                ++p;
            }
        }
        if (*p == 'l' || *p == 'h') conversion.size = *p++;
        char type = *p;
        if (type == '\0') break;
        ++p;
        char digits[16];
        switch (type) {
        case 'd':
        case 'i': {
            std::int32_t value = va_arg(args, std::int32_t);
            if (conversion.size == 'h') value = static_cast<std::int16_t>(value);
            std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
            ToDigits(magnitude, 10, false, digits);
            EmitNumber(sink, conversion, value < 0 ? "-" : "", digits);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            std::uint32_t value = va_arg(args, std::uint32_t);
            if (conversion.size == 'h') value = static_cast<std::uint16_t>(value);
            ToDigits(value, type == 'u' ? 10 : 16, type == 'X', digits);
            const char *prefix = "";
            if (conversion.alternate && type != 'u' && value != 0) prefix = type == 'X' ? "0X" : "0x";
            EmitNumber(sink, conversion, prefix, digits);
            break;
        }
        case 'c': {
            char c = static_cast<char>(va_arg(args, int));
            int pad = conversion.width > 1 ? conversion.width - 1 : 0;
            if (!conversion.left) sink.Repeat(conversion.zero ? '0' : ' ', pad);
            sink.Put(c);
            if (conversion.left) sink.Repeat(' ', pad);
            break;
        }
        case 's': {
            const char *text = va_arg(args, const char *);
            if (text == nullptr) text = "(null)";
            std::size_t length = 0;
            while (text[length] != '\0' && (conversion.precision < 0 || length < static_cast<std::size_t>(conversion.precision))) {
                ++length;
            }
            int pad = conversion.width > static_cast<int>(length) ? conversion.width - static_cast<int>(length) : 0;
            if (!conversion.left) sink.Repeat(conversion.zero ? '0' : ' ', pad);
            sink.Text(text, length);
            if (conversion.left) sink.Repeat(' ', pad);
            break;
        }
        default:
            // '%' and any letter the formatter does not know are written as they stand.
            sink.Put(type);
            break;
        }
    }
    buffer[sink.written] = '\0';
    return static_cast<int>(sink.written);
}

}  // namespace orv::text
