// The platform calls of fuzz/shim/windows.h, written from their documented behaviour.
#include <windows.h>

#include "codepages.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

thread_local DWORD lastError = 0;

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

const uint16_t* UpperHalf(UINT codePage) {
    switch (codePage) {
    case 850: return kCp850;
    case 28592: return kCp28592;
    case 28595: return kCp28595;
    default: return nullptr;
    }
}

// One byte per code unit, as for every single-byte code page; '?' is the default character.
char NarrowUnit(const uint16_t* upper, wchar_t unit) {
    if (unit < 0x80) return static_cast<char>(unit);
    for (int i = 0; i < 128; ++i)
        if (upper[i] == unit) return static_cast<char>(0x80 + i);
    return '?';
}

size_t Length(const wchar_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

}  // namespace

extern "C" {

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

HANDLE GetProcessHeap() { return reinterpret_cast<HANDLE>(1); }

PVOID HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes) {
    return (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
}

BOOL HeapFree(HANDLE, DWORD, PVOID block) {
    std::free(block);
    return TRUE;
}

// number * numerator / denominator in 64 bits, rounded half away from zero; -1 for a zero
// denominator or a result outside 32 bits.
INT MulDiv(INT number, INT numerator, INT denominator) {
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long d = denominator;
    if (d < 0) {
        d = -d;
        product = -product;
    }
    long long result = product >= 0 ? (product + d / 2) / d : (product - d / 2) / d;
    if (result > 2147483647LL || result < -2147483647LL) return -1;
    return static_cast<INT>(result);
}

INT WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, INT units, LPSTR narrow, INT bytes, LPCSTR,
                        BOOL* usedDefault) {
    const uint16_t* upper = UpperHalf(codePage);
    if (!upper || flags != 0 || !wide || units == 0 || bytes < 0 || (bytes > 0 && !narrow)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = units < 0 ? Length(wide) + 1 : static_cast<size_t>(units);
    if (usedDefault) *usedDefault = FALSE;
    if (bytes == 0) return static_cast<INT>(count);
    if (count > static_cast<size_t>(bytes)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        narrow[i] = NarrowUnit(upper, wide[i]);
        if (narrow[i] == '?' && wide[i] != L'?' && usedDefault) *usedDefault = TRUE;
    }
    return static_cast<INT>(count);
}

INT CompareStringOrdinal(LPCWSTR a, INT aLength, LPCWSTR b, INT bLength, BOOL ignoreCase) {
    if (!a || !b) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t na = aLength < 0 ? Length(a) : static_cast<size_t>(aLength);
    size_t nb = bLength < 0 ? Length(b) : static_cast<size_t>(bLength);
    for (size_t i = 0; i < na && i < nb; ++i) {
        wchar_t x = ignoreCase ? FoldAscii(a[i]) : a[i];
        wchar_t y = ignoreCase ? FoldAscii(b[i]) : b[i];
        if (x != y) return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    return na == nb ? CSTR_EQUAL : na < nb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

// The C locale's comparison: only A-Z fold.
INT _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        wchar_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (!x) return 0;
    }
    return 0;
}

// The platform formatter for the conversions the core uses (%d, %u, %ls and %s as wide strings,
// %%). It writes at most count units and no terminator of its own; -1 when the output was cut.
// Any other conversion stops the program, so that a new use cannot pass unnoticed.
INT _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, __builtin_va_list args) {
    size_t n = 0;
    bool cut = false;
    auto put = [&](wchar_t c) {
        if (n < count)
            buffer[n++] = c;
        else
            cut = true;
    };
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%') {
            put(*p);
            continue;
        }
        ++p;
        if (*p == L'%') {
            put(L'%');
        } else if (*p == L'd' || *p == L'u') {
            char digits[16];
            if (*p == L'd')
                std::snprintf(digits, sizeof digits, "%d", va_arg(args, int));
            else
                std::snprintf(digits, sizeof digits, "%u", va_arg(args, unsigned));
            for (const char* d = digits; *d; ++d) put(static_cast<wchar_t>(*d));
        } else if (*p == L's' || (*p == L'l' && p[1] == L's')) {
            if (*p == L'l') ++p;
            const wchar_t* s = va_arg(args, const wchar_t*);
            for (; s && *s; ++s) put(*s);
        } else {
            std::fprintf(stderr, "shim: _vsnwprintf has no conversion %%%c\n", static_cast<unsigned>(*p));
            std::abort();
        }
    }
    return cut ? -1 : static_cast<INT>(n);
}

// The 16-bit forms of the C library's wide functions: the C library's own take 32-bit units.
int wcscmp(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        if (*a != *b) return static_cast<uint16_t>(*a) < static_cast<uint16_t>(*b) ? -1 : 1;
        if (!*a) return 0;
    }
}

size_t wcslen(const wchar_t* s) { return Length(s); }

LANGID GetSystemDefaultLangID() { return 0x0409; }
BOOL GetUserNameA(LPSTR, LPDWORD) { return FALSE; }
BOOL GetComputerNameA(LPSTR, LPDWORD) { return FALSE; }

}  // extern "C"
