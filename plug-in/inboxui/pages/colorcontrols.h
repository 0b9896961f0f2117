// The two kinds of control the colour pages and dialogs are made of: drop-down lists whose items
// carry record values, and track bars over a range that may start below zero.
#pragma once

#include "plug-in/inboxui/pages/colorchoices.h"

#include <windows.h>

namespace corv::ui {

// Fills the drop-down list with the items in order, each with its value as item data.
void FillChoiceList(HWND list, const ChoiceList& choices);
// Selects the item that shows the value (ChoiceIndex).
void SetChoice(HWND list, const ChoiceList& choices, DWORD value);
// The selected item's value; 0 when nothing is selected or the list is empty.
DWORD ReadChoice(HWND list);

// Range (TBM_SETRANGEMIN/MAX: TBM_SETRANGE cannot carry a negative bound), line and page size 1,
// a tick at every value, and the position of the value, at the nearest end when outside.
void SetupTrackBar(HWND bar, Range range, LONG value);
// The position, within the range.
LONG ReadTrackBar(HWND bar, Range range);

}  // namespace corv::ui
