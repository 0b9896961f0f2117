// Dynamic watermark variables ("%dateshort%", "%pagenumber%", ...) expanded each time a
// watermark is drawn, previewed or checked.
#pragma once

#include <windows.h>

namespace corv::ui {

enum class ExpandMode : DWORD {
    Print = 0,     // drawing on the printer: anything unresolved fails the whole text
    Preview = 1,   // the on-screen preview: unresolved pieces are dropped
    Validate = 2,  // checking a text in the dialog: as Print, but "%Username%" needs no job
};

inline constexpr DWORD kExpandCapacity = 2048;

// size: on entry the capacity of out in characters; on return the characters the expansion
// needs including the terminator, or 0 on failure. out may be null to ask for the size.
BOOL ExpandDynamicText(HANDLE printer, HDC dc, const WCHAR* text, DWORD pageNumber, const SYSTEMTIME* time,
                       ExpandMode mode, WCHAR* out, DWORD* size);

BOOL ValidateDynamicText(HANDLE printer, HDC dc, const WCHAR* text);

}  // namespace corv::ui
