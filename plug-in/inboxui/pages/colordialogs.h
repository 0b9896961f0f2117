// The Manual Color page's three modal dialogs. Each takes the sheet context as parameter and ends
// with IDOK or IDCANCEL; Cancel changes nothing.
//   "Manual Color Correction Settings" (IDD_COLOR_CORRECTION): the per-object RGB and CMYK values
//       of the context's colour scratch block.
//   "Configure Color Balance" (IDD_COLOR_BALANCE): the scratch block's four balance values.
//   "RGB Print Quality" (IDD_RGB_QUALITY): brightness, contrast, saturation and fine lines of the
//       working copy.
#pragma once

#include <windows.h>

namespace corv::ui {

INT_PTR CALLBACK ColorCorrectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ColorBalanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RgbQualityDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corv::ui
