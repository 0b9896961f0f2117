// The module that holds the UI plug-in's resources: corvui.dll, or a test program that links the
// same code and compiles the same resources.
#pragma once

#include <windows.h>

namespace corv::ui {

HINSTANCE ResourceModule();

// Loads a string of the string table into a fixed buffer; the buffer is empty (and the result 0)
// when the string is missing. Returns the length loaded.
int LoadText(UINT id, WCHAR* buffer, int capacity);

template <int N>
int LoadText(UINT id, WCHAR (&buffer)[N]) {
    return LoadText(id, buffer, N);
}

}  // namespace corv::ui
