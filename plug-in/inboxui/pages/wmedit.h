// The Create/Edit Watermark dialog: name, text, font, size, colour, style, intensity, angle and
// position of one named watermark, with a preview. It stores the watermark itself before it ends
// with OK. The Watermark page prepares the context's dialog record, Add flag and picked name.
#pragma once

#include "plug-in/inboxui/core/sheetcontext.h"

#include <windows.h>

namespace corv::ui {

// The colours a watermark can have: name string and COLORREF, in the order they are added.
struct ColorChoice {
    UINT name;
    COLORREF color;
};
extern const ColorChoice kColorChoices[13];

// Fills a record from the dialog's controls; the position comes from the context's working
// position. With no font selected (the printer listed none) the font is fallbackFont.
void ReadDialogRecord(HWND dialog, const SheetContext* context, const WCHAR* fallbackFont, WatermarkRecord* record);

// Adds the printer's font faces to a font list once each (case ignored), from a device context
// made with the configuration module's base name as driver and the printer name as device.
// Returns the number of faces added.
int FillPrinterFonts(HWND comboBox, HANDLE printer, const WCHAR* printerName);

// Procedure of template IDD_WM_EDIT; ends with 1 when the watermark was stored, 2 on Cancel.
INT_PTR CALLBACK EditWatermarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR EditWatermark(HWND owner, SheetContext* context);

}  // namespace corv::ui
