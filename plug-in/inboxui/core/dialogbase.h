// The plumbing every dialog and property page of the UI plug-in shares: the sheet context kept
// as the window's DWLP_USER data, and WM_INITDIALOG, WM_COMMAND and WM_NOTIFY forwarded to the
// dialog's own onInit, onCommand and onNotify (a page's PSN_HELP is answered here, with the help
// file). A dialog is a small class over (window, context)
// made afresh for each message, so all its state lives in the controls and the sheet context.
//
//     class MyDialog : public DialogBase<MyDialog> {
//     public:
//         using DialogBase::DialogBase;
//         INT_PTR onInit();
//         INT_PTR onCommand(WORD id, WORD code, HWND control);
//     };
//     DialogBoxParamW(module, MAKEINTRESOURCEW(id), owner, MyDialog::DialogProc, LPARAM(context));
//
// Property pages use PageProc instead: their WM_INITDIALOG brings the PROPSHEETPAGEW whose lParam
// is the context. Without a context (the driver's heap gave none) nothing is forwarded; a modal
// dialog can still be closed with OK or Cancel. The helpers every page needs (no-permission
// state, context-help button, message boxes, list texts) are in dialogtools.h.
#pragma once

#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/pages/help.h"

#include <windows.h>
#include <prsht.h>

namespace corv::ui {

template <typename Dialog>
class DialogBase {
public:
    DialogBase(HWND window, SheetContext* context) : window_(window), context_(context) {}

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
        return Dispatch(window, message, wParam, lParam, true);
    }

    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, page ? page->lParam : 0);
        }
        return Dispatch(window, message, wParam, lParam, false);
    }

    // Defaults for what a dialog does not handle.
    INT_PTR onInit() { return TRUE; }
    INT_PTR onCommand(WORD, WORD, HWND) { return FALSE; }
    INT_PTR onNotify(NMHDR*) { return FALSE; }
    INT_PTR onMessage(UINT, WPARAM, LPARAM) { return FALSE; }

protected:
    HWND window() const { return window_; }
    SheetContext* context() const { return context_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }
    void enable(int id, bool on) const { EnableWindow(item(id), on ? TRUE : FALSE); }
    LRESULT send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendDlgItemMessageW(window_, id, message, wParam, lParam);
    }
    // The answer to a notification travels in DWLP_MSGRESULT; the procedure returns TRUE.
    INT_PTR answer(LONG_PTR result) const {
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    // The driver's job settings record, which apply writes; null when the driver gave none.
    JobSettings* driverRecord() const {
        return context_->pageParams ? static_cast<JobSettings*>(context_->pageParams->pOEMDM) : nullptr;
    }
    // A page's parent is the property sheet.
    HWND sheet() const { return GetParent(window_); }
    // Marks the sheet changed, so that Apply lights.
    void changed() const { PropSheet_Changed(sheet(), window_); }
    void focus(int id) const { MoveFocus(window_, item(id)); }
    // Under the no-permission flag every control is off; pages call this after filling them.
    void disableAllIfNoPermission() const {
        if (context_->noPermission) DisableAllControls(window_);
    }
    // A user error from the string table, owned by this page or dialog; focus then goes to the
    // offending control when one is named.
    void error(UINT textId, int focusId = 0, UINT captionId = 0) const {
        ShowError(window_, textId, captionId);
        if (focusId) focus(focusId);
    }

private:
    static INT_PTR Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool modal) {
        auto* context = reinterpret_cast<SheetContext*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!context) {
            if (modal && message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                EndDialog(window, LOWORD(wParam));
                return TRUE;
            }
            return message == WM_INITDIALOG ? TRUE : FALSE;
        }
        Dialog dialog(window, context);
        switch (message) {
            case WM_INITDIALOG:
                return dialog.onInit();
            case WM_COMMAND:
                return dialog.onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            case WM_NOTIFY: {
                auto* header = reinterpret_cast<NMHDR*>(lParam);
                // The sheet's Help button opens the plug-in's help file on every page alike.
                if (!modal && header && header->code == PSN_HELP) {
                    ShowHelp(window, context->helpFile);
                    return TRUE;
                }
                return dialog.onNotify(header);
            }
            default:
                return dialog.onMessage(message, wParam, lParam);
        }
    }

    HWND window_;
    SheetContext* context_;
};

}  // namespace corv::ui
