// Fixed-buffer text: every copy, append and format truncates to the buffer and always leaves it
// terminated, so no caller has to count.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cwchar>

namespace corv {

// Length of a string held in a fixed array that may lack its terminator.
template <typename Ch>
size_t BoundedLength(const Ch* s, size_t capacity) {
    size_t n = 0;
    if (s)
        while (n < capacity && s[n]) ++n;
    return n;
}

template <typename Ch>
void CopyText(Ch* dst, size_t capacity, const Ch* src, size_t srcCapacity = static_cast<size_t>(-1)) {
    if (!dst || capacity == 0) return;
    size_t n = BoundedLength(src, srcCapacity);
    if (n > capacity - 1) n = capacity - 1;
    for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    dst[n] = 0;
}

template <typename Ch, size_t N>
void CopyText(Ch (&dst)[N], const Ch* src, size_t srcCapacity = static_cast<size_t>(-1)) {
    CopyText(dst, N, src, srcCapacity);
}

template <typename Ch>
void AppendText(Ch* dst, size_t capacity, const Ch* src) {
    if (!dst || capacity == 0) return;
    size_t used = BoundedLength(dst, capacity);
    if (used >= capacity) {
        dst[capacity - 1] = 0;
        return;
    }
    CopyText(dst + used, capacity - used, src);
}

template <typename Ch, size_t N>
void AppendText(Ch (&dst)[N], const Ch* src) {
    AppendText(dst, N, src);
}

// printf-style formatting that cuts at the buffer and terminates; returns the length written.
size_t FormatTextV(char* dst, size_t capacity, const char* format, va_list args);
size_t FormatTextV(wchar_t* dst, size_t capacity, const wchar_t* format, va_list args);
size_t FormatText(char* dst, size_t capacity, const char* format, ...);
size_t FormatText(wchar_t* dst, size_t capacity, const wchar_t* format, ...);
size_t AppendFormat(char* dst, size_t capacity, const char* format, ...);

// A growing narrow text of fixed capacity: the unit in which PJL and PostScript pieces are built.
template <size_t N>
struct TextBuf {
    char text[N] = {};
    size_t length() const { return BoundedLength(text, N); }
    void clear() { text[0] = 0; }
    void append(const char* s) { AppendText(text, N, s); }
    void appendf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3))) {
        size_t used = length();
        va_list args;
        va_start(args, format);
        FormatTextV(text + used, N - used, format, args);
        va_end(args);
    }
};

}  // namespace corv
