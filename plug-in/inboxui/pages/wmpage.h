// The "Watermark" page of the document sheet (IDD_WATERMARK): the order the watermarks print in,
// the named watermarks for the first (or odd, or every) page and for the others, under or over
// the page contents, and the three buttons that add, edit and remove named watermarks. It loads
// from the working copy when it becomes active, stores into it when it is left, writes the
// driver's record at apply and sets the applied flag.
#pragma once

#include <windows.h>

namespace corv::ui {

// What the page shows for an order (dwWatermarkOrder): the two list labels (string ids), whether
// the selection and placement controls are on, and whether the second list is among them. An
// order beyond 3 is shown as No Watermarks.
struct OrderView {
    UINT firstLabel;
    UINT secondLabel;
    bool selectionOn;
    bool secondOn;
};
OrderView ViewForOrder(DWORD order);

// The list a person must still choose in before the page can be left with that order, given the
// lists' selected indexes (-1 none, 0 "(None)"); 0 when the page may be left.
int ListMissingWatermark(DWORD order, LRESULT first, LRESULT second);

INT_PTR CALLBACK WatermarkPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corv::ui
