// The Configure Dynamic Watermarks dialog: picks variables from a list and inserts their tokens
// into a watermark text. It takes the sheet context as parameter; the text travels in and out
// through the context's dynamic text buffer, and the context's dialog result tells OK (1) from
// Cancel (2).
#pragma once

#include "plug-in/inboxui/core/sheetcontext.h"

#include <windows.h>

namespace corv::ui {

// The procedure of dialog template IDD_DYNAMIC_WATERMARKS; the parameter is the SheetContext.
INT_PTR CALLBACK DynamicWatermarksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the dialog modally over owner and returns what DialogBoxParamW returns.
INT_PTR ConfigureDynamicWatermarks(HWND owner, SheetContext* context);

}  // namespace corv::ui
