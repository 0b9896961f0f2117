// The Position Watermark dialog: one of nine anchors, two offsets from it and their unit, with a
// preview of the watermark as the controls stand. It works on the copy of the sheet context the
// Create/Edit dialog makes for it: it reads the copy's dialog record and, on OK, writes the copy's
// working position.
#pragma once

#include "plug-in/inboxui/core/sheetcontext.h"

#include <windows.h>

namespace corv::ui {

// Reads the controls into a working position. A bad offset text makes it FALSE; with report set,
// each bad field shows the offset error and takes the focus (the preview reads quietly).
BOOL ReadPositionControls(HWND dialog, WorkingPosition* out, bool report = true);

// Procedure of template IDD_WM_POSITION; ends with 1 for an accepted OK and 2 for Cancel.
INT_PTR CALLBACK PositionWatermarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR PositionWatermark(HWND owner, SheetContext* copy);

}  // namespace corv::ui
