#include "host/kit/hostio.h"

#include "common/handles.h"

#include <cstdio>

namespace corv::host {

std::string Narrow(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out.push_back(c >= 32 && c < 127 ? static_cast<char>(c) : '?');
    return out;
}

std::wstring Widen(std::string_view s) {
    std::wstring out;
    for (unsigned char c : s) out.push_back(c);
    return out;
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

bool ReadWholeFile(const std::wstring& path, std::string* text) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (16 << 20)) return false;
    text->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return size.QuadPart == 0 ||
           (ReadFile(file.get(), text->data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) &&
            read == size.QuadPart);
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return n && n < MAX_PATH ? std::wstring(full, n) : path;
}

}  // namespace corv::host
