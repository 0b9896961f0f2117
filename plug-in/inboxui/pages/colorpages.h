// The colour page of the document sheet: "Manual Color" (IDD_MANUAL_COLOR) for printers with
// manual colour correction, which opens the three colour dialogs, else "Monochrome Print Quality"
// (IDD_MONO_QUALITY). Both load from the working copy when they become active, store into it
// when they are left, write the driver's record at apply and set the applied flag.
#pragma once

#include <windows.h>

namespace corv::ui {

INT_PTR CALLBACK ManualColorPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MonoQualityPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corv::ui
