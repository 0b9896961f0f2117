#include "plug-in/inboxui/core/dyndialog.h"

#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/dyntext.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"

namespace corv::ui {

namespace {

class DynamicWatermarksDialog : public DialogBase<DynamicWatermarksDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        WCHAR text[kNameCapacity];
        CopyText(text, context()->dynamicText, kNameCapacity);
        SetDlgItemTextW(window(), IDC_DYN_TEXT, text);
        for (const DynamicRow& row : kDynamicRows) {
            WCHAR description[kNameCapacity];
            if (LoadText(row.description, description))
                send(IDC_DYN_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(description));
        }
        // Setting the text above enabled OK; the dialog starts with both buttons off.
        enable(IDOK, false);
        enable(IDC_DYN_ADD, false);
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        switch (id) {
            case IDC_DYN_TEXT:
                if (code == EN_UPDATE) enable(IDOK, GetWindowTextLengthW(item(IDC_DYN_TEXT)) > 0);
                return TRUE;
            case IDC_DYN_LIST:
                if (code == LBN_SELCHANGE) enable(IDC_DYN_ADD, send(IDC_DYN_LIST, LB_GETCURSEL) != LB_ERR);
                return TRUE;
            case IDC_DYN_ADD:
                if (code == BN_CLICKED) add();
                return TRUE;
            case IDOK:
                GetDlgItemTextW(window(), IDC_DYN_TEXT, context()->dynamicText, static_cast<int>(kNameCapacity));
                context()->dialogResult = IDOK;
                EndDialog(window(), IDOK);
                return TRUE;
            case IDCANCEL:
                // The caller restores its text from the buffer either way, so Cancel also ends
                // with 1; only the dialog result tells the two apart.
                context()->dialogResult = IDCANCEL;
                EndDialog(window(), IDOK);
                return TRUE;
        }
        return FALSE;
    }

private:
    // The list is sorted, so the selected item is found again by its description.
    bool tokenOfSelection(WCHAR (&token)[kNameCapacity]) const {
        WCHAR picked[kNameCapacity];
        if (!ListItemText(item(IDC_DYN_LIST), send(IDC_DYN_LIST, LB_GETCURSEL), picked)) return false;
        for (const DynamicRow& row : kDynamicRows) {
            WCHAR description[kNameCapacity];
            if (LoadText(row.description, description) && lstrcmpiW(description, picked) == 0)
                return LoadText(row.token, token) > 0;
        }
        return false;
    }

    void add() const {
        WCHAR text[kNameCapacity];
        GetDlgItemTextW(window(), IDC_DYN_TEXT, text, static_cast<int>(kNameCapacity));
        WCHAR token[kNameCapacity];
        if (!tokenOfSelection(token)) return;
        DWORD start = 0;
        DWORD end = 0;
        send(IDC_DYN_TEXT, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start == end) {
            // Without a selection the token goes to the end, wherever the caret stands.
            AppendText(text, token);
            SetDlgItemTextW(window(), IDC_DYN_TEXT, text);
        } else {
            send(IDC_DYN_TEXT, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(token));
        }
    }
};

}  // namespace

INT_PTR CALLBACK DynamicWatermarksProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DynamicWatermarksDialog::DialogProc(window, message, wParam, lParam);
}

INT_PTR ConfigureDynamicWatermarks(HWND owner, SheetContext* context) {
    return RunDialog(owner, IDD_DYNAMIC_WATERMARKS, DynamicWatermarksProc, context);
}

}  // namespace corv::ui
