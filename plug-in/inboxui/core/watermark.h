// One watermark record drawn on the printer's device context while a document prints, or as the
// scaled-down preview in a static control of the watermark dialogs.
#pragma once

#include "common/record.h"

#include <windows.h>

namespace corv::ui {

// rect is read only when hasRect is set: the logical page the watermark is placed in.
BOOL DrawWatermark(HDC dc, HANDLE printer, const corv::JobSettings* record, const DEVMODEW* devmode,
                   const corv::WatermarkRecord* wm, DWORD pageNumber, BOOL hasRect, const RECT* rect, float scale);

// Paints the control's frame and white background and the watermark in it; called between
// BeginPaint and EndPaint.
BOOL PaintWatermarkPreview(HDC dc, HWND control, const corv::WatermarkRecord* wm, HANDLE printer);

// The font both drawings use, at the given lfHeight.
LOGFONTW WatermarkLogFont(const corv::WatermarkRecord& wm, LONG height);

}  // namespace corv::ui
