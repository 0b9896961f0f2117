#include "common/text.h"

namespace corv {

size_t FormatTextV(char* dst, size_t capacity, const char* format, va_list args) {
    if (!dst || capacity == 0) return 0;
    int n = vsnprintf(dst, capacity, format, args);
    dst[capacity - 1] = 0;
    if (n < 0) {
        dst[0] = 0;
        return 0;
    }
    return static_cast<size_t>(n) < capacity ? static_cast<size_t>(n) : capacity - 1;
}

size_t FormatTextV(wchar_t* dst, size_t capacity, const wchar_t* format, va_list args) {
    if (!dst || capacity == 0) return 0;
    // The platform's own formatter: in a wide format "%s" takes a wide string, as the format
    // strings of the string table expect (the C99 formatter would read a narrow one).
    int n = _vsnwprintf(dst, capacity - 1, format, args);
    dst[capacity - 1] = 0;
    if (n < 0) return BoundedLength(dst, capacity);  // cut: what fitted stays
    return static_cast<size_t>(n) < capacity ? static_cast<size_t>(n) : capacity - 1;
}

size_t FormatText(char* dst, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t n = FormatTextV(dst, capacity, format, args);
    va_end(args);
    return n;
}

size_t FormatText(wchar_t* dst, size_t capacity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    size_t n = FormatTextV(dst, capacity, format, args);
    va_end(args);
    return n;
}

size_t AppendFormat(char* dst, size_t capacity, const char* format, ...) {
    if (!dst || capacity == 0) return 0;
    size_t used = BoundedLength(dst, capacity);
    if (used >= capacity) {
        dst[capacity - 1] = 0;
        return capacity - 1;
    }
    va_list args;
    va_start(args, format);
    size_t n = FormatTextV(dst + used, capacity - used, format, args);
    va_end(args);
    return used + n;
}

}  // namespace corv
