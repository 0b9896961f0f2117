// The module that holds the UI plug-in's resources: corvui.dll, or a test program that links the
// same code and compiles the same resources.
#pragma once

#include <windows.h>

#include <cstddef>

namespace corv::ui {

// Text buffers, in characters with the terminator: loaded strings and expansions; names (of
// watermarks and profiles) and watermark texts.
inline constexpr size_t kTextCapacity = 2048;
inline constexpr size_t kNameCapacity = 128;

HINSTANCE ResourceModule();

// Loads a string of the string table into a fixed buffer; the buffer is empty (and the result 0)
// when the string is missing. Returns the length loaded.
int LoadText(UINT id, WCHAR* buffer, int capacity);

template <int N>
int LoadText(UINT id, WCHAR (&buffer)[N]) {
    return LoadText(id, buffer, N);
}

}  // namespace corv::ui
