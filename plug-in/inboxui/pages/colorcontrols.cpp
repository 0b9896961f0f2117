#include "plug-in/inboxui/pages/colorcontrols.h"

#include "plug-in/inboxui/core/module.h"

#include <commctrl.h>

namespace corv::ui {

void FillChoiceList(HWND list, const ChoiceList& choices) {
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < choices.count; ++i) {
        WCHAR text[kNameCapacity];
        LoadText(choices.items[i].textId, text);
        LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (index >= 0) SendMessageW(list, CB_SETITEMDATA, index, choices.items[i].value);
    }
}

void SetChoice(HWND list, const ChoiceList& choices, DWORD value) {
    SendMessageW(list, CB_SETCURSEL, ChoiceIndex(choices, value), 0);
}

DWORD ReadChoice(HWND list) {
    LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return 0;
    LRESULT data = SendMessageW(list, CB_GETITEMDATA, index, 0);
    return data == CB_ERR ? 0 : static_cast<DWORD>(data);
}

void SetupTrackBar(HWND bar, Range range, LONG value) {
    SendMessageW(bar, TBM_SETRANGEMIN, FALSE, range.low);
    SendMessageW(bar, TBM_SETRANGEMAX, TRUE, range.high);
    SendMessageW(bar, TBM_SETLINESIZE, 0, 1);
    SendMessageW(bar, TBM_SETPAGESIZE, 0, 1);
    SendMessageW(bar, TBM_SETTICFREQ, 1, 0);
    SendMessageW(bar, TBM_SETPOS, TRUE, ClampToRange(value, range));
}

LONG ReadTrackBar(HWND bar, Range range) {
    return ClampToRange(static_cast<LONG>(SendMessageW(bar, TBM_GETPOS, 0, 0)), range);
}

}  // namespace corv::ui
