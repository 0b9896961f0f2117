#include "plug-in/inboxui/pages/wmpickers.h"

#include "common/handles.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <commctrl.h>
#include <windowsx.h>

namespace corv::ui {

HANDLE WatermarkPrinter(const SheetContext* context) {
    const OEMUIPSPARAM* params = context ? context->pageParams : nullptr;
    return params && params->pOEMDM ? params->hPrinter : nullptr;
}

namespace {

constexpr UINT_PTR kDoubleClickSubclass = 1;

// A double-click anywhere in the list's client area acts as OK: on an entry, which the first
// click has just selected, and in the empty area below the last entry, with the selection as it
// is. LB_ITEMFROMPOINT reports that area as outside any item, so the client rectangle decides.
LRESULT CALLBACK DoubleClickAsOk(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        // Unhooked before the list's own last message, so nothing reaches this procedure later.
        RemoveWindowSubclass(list, DoubleClickAsOk, id);
        return DefSubclassProc(list, message, wParam, lParam);
    }
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if (message == WM_LBUTTONDBLCLK) {
        RECT client{};
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (GetClientRect(list, &client) && PtInRect(&client, point))
            SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(list));
    }
    return result;
}

class PickDialog : public DialogBase<PickDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        if (HANDLE printer = WatermarkPrinter(context())) ListWatermarks(printer, item(IDC_WM_PICK_LIST));
        send(IDC_WM_PICK_LIST, LB_SETCURSEL, 0);
        SetWindowSubclass(item(IDC_WM_PICK_LIST), DoubleClickAsOk, kDoubleClickSubclass, 0);
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD, HWND) {
        switch (id) {
            case IDOK: {
                context()->addMode = 0;
                InitWatermarkRecord(&context()->dialogRecord);
                // Cleared first, so a pick of nothing cannot hand back the name of an earlier one.
                context()->pickedName[0] = L'\0';
                WCHAR name[kNameCapacity];
                if (ListItemText(item(IDC_WM_PICK_LIST), send(IDC_WM_PICK_LIST, LB_GETCURSEL), name) && name[0])
                    CopyText(context()->pickedName, name);
                EndDialog(window(), context()->pickedName[0] ? IDOK : IDCANCEL);
                return TRUE;
            }
            case IDCANCEL:
                EndDialog(window(), IDCANCEL);
                return TRUE;
        }
        return FALSE;
    }
};

class RemoveDialog : public DialogBase<RemoveDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        fill();
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        switch (id) {
            case IDC_WM_REMOVE_LIST:
                if (code == LBN_SELCHANGE) enable(IDC_WM_REMOVE, selectedCount() > 0);
                return TRUE;
            case IDC_WM_REMOVE:
                if (code == BN_CLICKED) remove();
                return TRUE;
            case IDOK:
            case IDCANCEL:
                EndDialog(window(), id);
                return TRUE;
        }
        return FALSE;
    }

private:
    LRESULT selectedCount() const {
        const LRESULT count = send(IDC_WM_REMOVE_LIST, LB_GETSELCOUNT);
        return count == LB_ERR ? 0 : count;
    }

    void fill() const {
        send(IDC_WM_REMOVE_LIST, LB_RESETCONTENT);
        if (HANDLE printer = WatermarkPrinter(context())) ListWatermarks(printer, item(IDC_WM_REMOVE_LIST));
        enable(IDC_WM_REMOVE, selectedCount() > 0);
    }

    void remove() const {
        const LRESULT count = selectedCount();
        if (count <= 0) return;
        if (AskYesNo(window(), IDS_CONFIRM_REMOVE_WATERMARKS, IDS_CAPTION_WARNING, MB_ICONWARNING) == Answer::No)
            return;
        HWND list = item(IDC_WM_REMOVE_LIST);
        HANDLE printer = WatermarkPrinter(context());
        HeapArray<int> selected(static_cast<size_t>(count));
        const LRESULT got = selected ? send(IDC_WM_REMOVE_LIST, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                            reinterpret_cast<LPARAM>(selected.get()))
                                     : 0;
        for (LRESULT i = 0; i < got && printer; ++i) {
            WCHAR name[kNameCapacity];
            if (!ListItemText(list, selected.get()[i], name)) continue;
            if (!DeleteWatermark(printer, name)) ShowError(window(), IDS_ERR_REMOVE_REGISTRY);
        }
        fill();
        focus(IDCANCEL);
    }
};

}  // namespace

INT_PTR CALLBACK PickWatermarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PickDialog::DialogProc(window, message, wParam, lParam);
}

INT_PTR CALLBACK RemoveWatermarksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RemoveDialog::DialogProc(window, message, wParam, lParam);
}

INT_PTR PickWatermarkToEdit(HWND owner, SheetContext* context) {
    return RunDialog(owner, IDD_WM_PICK, PickWatermarkProc, context);
}

INT_PTR RemoveWatermarks(HWND owner, SheetContext* context) {
    return RunDialog(owner, IDD_WM_REMOVE, RemoveWatermarksProc, context);
}

}  // namespace corv::ui
