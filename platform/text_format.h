// printf-style formatting into a string of any length (header-only: the core and the window code share it).
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

// The va_list form, for functions that take their own "...". Text that can't be formatted comes
// back empty.
inline std::string FormatTextV(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    std::string text;
    if (n > 0) {
        // Sized to the formatted text: a long path can't run past the buffer.
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<size_t>(n));
    }
    va_end(again);
    return text;
}

inline std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

inline std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatTextV(format, args);
    va_end(args);
    return text;
}
