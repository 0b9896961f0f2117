// The two small dialogs the Watermark page opens over the stored watermarks: "Select a Watermark
// to Edit" picks the one the Create/Edit dialog will edit, "Select Watermark(s) to Remove" deletes
// any number of them after a confirmation. Both take the sheet context as parameter.
#pragma once

#include "plug-in/inboxui/core/sheetcontext.h"

#include <windows.h>

namespace corv::ui {

// The printer whose store the dialogs list: the page parameters' printer, only while the driver's
// job settings record is there; null otherwise.
HANDLE WatermarkPrinter(const SheetContext* context);

// Procedure of template IDD_WM_PICK. Ends with 1 when a name was picked (OK or a double-click in
// the list) and left in the context's picked name, else with 2; the picked name is cleared first.
INT_PTR CALLBACK PickWatermarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Procedure of template IDD_WM_REMOVE. Ends with the identifier of the button that closed it.
INT_PTR CALLBACK RemoveWatermarksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Open either dialog modally over owner and return what DialogBoxParamW returns.
INT_PTR PickWatermarkToEdit(HWND owner, SheetContext* context);
INT_PTR RemoveWatermarks(HWND owner, SheetContext* context);

}  // namespace corv::ui
