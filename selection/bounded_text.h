// Bounded copies and formatting into the setup's fixed character fields: a text that
// does not fit is never cut short silently, the caller learns it did not fit.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Copies `source` into `field` when it fits together with its terminator and returns
// 1. Otherwise `field` is left holding the empty text and 0 is returned.
inline int CopyIntoField(char *field, std::size_t size, const char *source) {
    if (field == nullptr || size == 0) return 0;
    const std::size_t length = source == nullptr ? 0 : std::strlen(source);
    if (length >= size) {
        field[0] = '\0';
        return 0;
    }
    std::memcpy(field, source == nullptr ? "" : source, length);
    field[length] = '\0';
    return 1;
}

// printf-style formatting into `field`, with the same all-or-nothing rule as
// CopyIntoField.
[[gnu::format(printf, 3, 4)]] inline int FormatIntoField(char *field, std::size_t size, const char *format, ...) {
    if (field == nullptr || size == 0) return 0;
    std::va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(field, size, format, arguments);
    va_end(arguments);
    if (written < 0 || static_cast<std::size_t>(written) >= size) {
        field[0] = '\0';
        return 0;
    }
    return 1;
}

template <std::size_t N>
int CopyIntoField(char (&field)[N], const char *source) {
    return CopyIntoField(field, N, source);
}
