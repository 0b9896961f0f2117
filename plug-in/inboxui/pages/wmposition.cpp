#include "plug-in/inboxui/pages/wmposition.h"

#include "common/record.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/geometry.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/offsets.h"
#include "plug-in/inboxui/core/watermark.h"
#include "plug-in/inboxui/resources/ids.h"

#include <commctrl.h>

#include <initializer_list>

namespace corv::ui {

namespace {

constexpr int kVerticalButtons[3] = {IDC_POS_TOP, IDC_POS_VCENTER, IDC_POS_BOTTOM};
constexpr int kHorizontalButtons[3] = {IDC_POS_LEFT, IDC_POS_HCENTER, IDC_POS_RIGHT};
constexpr UINT_PTR kPreviewSubclass = 1;

struct PreviewData {
    WatermarkRecord record;
    HANDLE printer;
};

int CheckedRow(HWND dialog, const int (&buttons)[3]) {
    if (IsDlgButtonChecked(dialog, buttons[0]) == BST_CHECKED) return 0;
    return IsDlgButtonChecked(dialog, buttons[1]) == BST_CHECKED ? 1 : 2;
}

void CheckPosition(HWND dialog, DWORD code) {
    int vertical = -1;
    int horizontal = -1;
    const bool known = PositionRows(code, &vertical, &horizontal);
    for (int i = 0; i < 3; ++i) {
        CheckDlgButton(dialog, kVerticalButtons[i], known && i == vertical ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, kHorizontalButtons[i], known && i == horizontal ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool ReadOffsetField(HWND dialog, int id, double* value) {
    WCHAR text[kOffsetChars + 1];
    GetDlgItemTextW(dialog, id, text, kOffsetChars + 1);
    if (!IsOffsetText(text)) return false;
    *value = ParseOffset(text);
    return true;
}

void ShowOffset(HWND dialog, int id, double value) {
    WCHAR text[kOffsetChars + 1];
    FormatOffset(value, text);
    SetDlgItemTextW(dialog, id, text);
}

// The preview reads the controls at every repaint, quietly: a half-typed offset leaves the last
// good picture instead of a message box inside WM_PAINT.
LRESULT CALLBACK PreviewProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* preview = reinterpret_cast<PreviewData*>(data);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(control, &paint);
            WorkingPosition position{};
            if (dc && ReadPositionControls(GetParent(control), &position, false)) {
                preview->record.dblOffsetY = position.dblOffsetY;
                preview->record.dblOffsetX = position.dblOffsetX;
                preview->record.bInches = position.bInches;
                preview->record.dwPosition = position.dwPosition;
                PaintWatermarkPreview(dc, control, &preview->record, preview->printer);
            }
            EndPaint(control, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            // The original procedure goes back before the data is freed, so no later message
            // can reach it.
            RemoveWindowSubclass(control, PreviewProc, id);
            HeapFree(GetProcessHeap(), 0, preview);
            break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

class PositionDialog : public DialogBase<PositionDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        if (!ready()) return TRUE;
        const WatermarkRecord& record = context()->dialogRecord;
        CheckPosition(window(), record.dwPosition);
        // Units first: the offsets' own updates are judged in the unit they are shown in.
        const bool millimetres = record.bInches != 1;
        context()->lastOffsets.bMillimetres = millimetres ? 1 : 0;
        CheckDlgButton(window(), IDC_POS_INCHES, millimetres ? BST_UNCHECKED : BST_CHECKED);
        CheckDlgButton(window(), IDC_POS_MILLIMETRES, millimetres ? BST_CHECKED : BST_UNCHECKED);
        // A stored offset beyond the limits would be refused and restored to itself for ever.
        const double vertical = OffsetInRange(record.dblOffsetY, millimetres) ? record.dblOffsetY : 0.0;
        const double horizontal = OffsetInRange(record.dblOffsetX, millimetres) ? record.dblOffsetX : 0.0;
        context()->lastOffsets.dblVertical = vertical;
        context()->lastOffsets.dblHorizontal = horizontal;
        send(IDC_POS_VOFFSET, EM_LIMITTEXT, kOffsetChars);
        send(IDC_POS_HOFFSET, EM_LIMITTEXT, kOffsetChars);
        ShowOffset(window(), IDC_POS_VOFFSET, vertical);
        ShowOffset(window(), IDC_POS_HOFFSET, horizontal);

        auto* preview = static_cast<PreviewData*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(PreviewData)));
        if (preview) {
            preview->record = record;
            preview->printer = context()->pageParams->hPrinter;
            if (!SetWindowSubclass(item(IDC_POS_PREVIEW), PreviewProc, kPreviewSubclass,
                                   reinterpret_cast<DWORD_PTR>(preview)))
                HeapFree(GetProcessHeap(), 0, preview);
        }
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        // OK and Cancel end the dialog whatever it lacks, so its owner never waits on it.
        if (id == IDOK) {
            WorkingPosition position{};
            if (!ready()) {
                EndDialog(window(), IDOK);
            } else if (ReadPositionControls(window(), &position)) {
                context()->position = position;
                EndDialog(window(), IDOK);
            }
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(window(), IDCANCEL);
            return TRUE;
        }
        if (!ready()) return FALSE;
        switch (id) {
            case IDC_POS_VOFFSET:
            case IDC_POS_HOFFSET:
                if (code == EN_UPDATE) typed(id);
                return TRUE;
            case IDC_POS_INCHES:
            case IDC_POS_MILLIMETRES:
                if (code == BN_CLICKED) units(id == IDC_POS_MILLIMETRES);
                break;
            case IDC_POS_CENTER:
                if (code != BN_CLICKED) return TRUE;
                accept(IDC_POS_VOFFSET, 0.0, true);
                accept(IDC_POS_HOFFSET, 0.0, true);
                CheckPosition(window(), kPosCenter);
                break;
            default:
                if (code != BN_CLICKED) return FALSE;
                break;
        }
        invalidatePreview();
        return TRUE;
    }

    INT_PTR onNotify(NMHDR* header) {
        if (!ready() || header->code != UDN_DELTAPOS) return FALSE;
        const int edit = header->idFrom == IDC_POS_VSPIN ? IDC_POS_VOFFSET
                       : header->idFrom == IDC_POS_HSPIN ? IDC_POS_HOFFSET
                                                         : 0;
        if (!edit) return FALSE;
        double value = 0.0;
        if (ReadOffsetField(window(), edit, &value)) {
            const bool millimetres = context()->lastOffsets.bMillimetres != 0;
            const double next = StepOffset(value, reinterpret_cast<NMUPDOWN*>(header)->iDelta, millimetres);
            if (next != value) accept(edit, next, true);
        }
        // The edit holds the number; the up-down's own position is not used.
        return answer(1);
    }

private:
    // The copy of the context holds what the preview and the dialog read.
    bool ready() const {
        const OEMUIPSPARAM* params = context()->pageParams;
        return params && params->pPublicDM && params->pOEMDM && context()->core;
    }

    double& lastOf(int edit) const {
        return edit == IDC_POS_VOFFSET ? context()->lastOffsets.dblVertical : context()->lastOffsets.dblHorizontal;
    }

    void accept(int edit, double value, bool show) const {
        lastOf(edit) = value;
        if (show) ShowOffset(window(), edit, value);
        invalidatePreview();
    }

    void typed(int edit) const {
        WCHAR text[kOffsetChars + 1];
        GetDlgItemTextW(window(), edit, text, kOffsetChars + 1);
        const double value = ParseOffset(text);
        if (IsOffsetText(text) && OffsetInRange(value, context()->lastOffsets.bMillimetres != 0)) {
            accept(edit, value, false);
            return;
        }
        // The last accepted number passed this same test, so restoring it ends here.
        ShowOffset(window(), edit, lastOf(edit));
    }

    void units(bool millimetres) const {
        if ((context()->lastOffsets.bMillimetres != 0) == millimetres) return;
        context()->lastOffsets.bMillimetres = millimetres ? 1 : 0;
        for (int edit : {IDC_POS_VOFFSET, IDC_POS_HOFFSET}) {
            double value = lastOf(edit);
            ReadOffsetField(window(), edit, &value);
            accept(edit, millimetres ? ToMillimetres(value) : ToInches(value), true);
        }
    }

    void invalidatePreview() const {
        HWND preview = item(IDC_POS_PREVIEW);
        RECT whole{};
        GetWindowRect(preview, &whole);
        MapWindowPoints(nullptr, preview, reinterpret_cast<POINT*>(&whole), 2);
        InvalidateRect(preview, &whole, TRUE);
    }
};

}  // namespace

BOOL ReadPositionControls(HWND dialog, WorkingPosition* out, bool report) {
    BOOL ok = TRUE;
    double offsets[2] = {};
    const int edits[2] = {IDC_POS_VOFFSET, IDC_POS_HOFFSET};
    for (int i = 0; i < 2; ++i) {
        if (ReadOffsetField(dialog, edits[i], &offsets[i])) continue;
        ok = FALSE;
        if (report) {
            ShowError(dialog, IDS_ERR_OFFSET_VALUE);
            MoveFocus(dialog, GetDlgItem(dialog, edits[i]));
        }
    }
    if (!ok) return FALSE;
    out->dblOffsetY = offsets[0];
    out->dblOffsetX = offsets[1];
    out->bInches = IsDlgButtonChecked(dialog, IDC_POS_MILLIMETRES) == BST_CHECKED ? 0 : 1;
    out->dwPosition = PositionCode(CheckedRow(dialog, kVerticalButtons), CheckedRow(dialog, kHorizontalButtons));
    return TRUE;
}

INT_PTR CALLBACK PositionWatermarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PositionDialog::DialogProc(window, message, wParam, lParam);
}

INT_PTR PositionWatermark(HWND owner, SheetContext* copy) {
    return RunDialog(owner, IDD_WM_POSITION, PositionWatermarkProc, copy);
}

}  // namespace corv::ui
