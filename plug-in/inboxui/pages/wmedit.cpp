#include "plug-in/inboxui/pages/wmedit.h"

#include "common/handles.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/dyndialog.h"
#include "plug-in/inboxui/core/dyntext.h"
#include "plug-in/inboxui/core/geometry.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/spooler.h"
#include "plug-in/inboxui/core/watermark.h"
#include "plug-in/inboxui/core/wmfields.h"
#include "plug-in/inboxui/pages/wmpickers.h"
#include "plug-in/inboxui/pages/wmposition.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <commctrl.h>

#include <cstring>

namespace corv::ui {

const ColorChoice kColorChoices[13] = {
    {IDS_COLOR_BLACK, RGB(0, 0, 0)},        {IDS_COLOR_RED, RGB(255, 0, 0)},
    {IDS_COLOR_GREEN, RGB(0, 255, 0)},      {IDS_COLOR_BLUE, RGB(0, 0, 255)},
    {IDS_COLOR_GRAY, RGB(205, 205, 205)},   {IDS_COLOR_PURPLE, RGB(180, 0, 223)},
    {IDS_COLOR_YELLOW, RGB(255, 255, 0)},   {IDS_COLOR_ORANGE, RGB(238, 145, 17)},
    {IDS_COLOR_AQUA, RGB(0, 255, 255)},     {IDS_COLOR_NAVY, RGB(0, 0, 128)},
    {IDS_COLOR_WHITE, RGB(255, 255, 255)},  {IDS_COLOR_PINK, RGB(248, 100, 162)},
    {IDS_COLOR_BROWN, RGB(128, 64, 0)},
};

namespace {

constexpr UINT_PTR kPreviewSubclass = 1;

int FieldNumber(HWND dialog, int id, int characters) {
    WCHAR text[16] = {};
    GetDlgItemTextW(dialog, id, text, characters + 1);
    return _wtoi(text);
}

void ShowNumber(HWND dialog, int id, const WCHAR* format, long value) {
    WCHAR text[16];
    FormatText(text, 16, format, value);
    SetDlgItemTextW(dialog, id, text);
}

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM lParam) {
    HWND combo = reinterpret_cast<HWND>(lParam);
    if (SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(font->lfFaceName)) ==
        CB_ERR)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

// The preview draws the record the controls describe at every repaint; its subclass data is the
// printer handle, so nothing is allocated for it.
LRESULT CALLBACK PreviewProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(control, &paint);
        HWND dialog = GetParent(control);
        const auto* context = reinterpret_cast<const SheetContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (dc && context) {
            WatermarkRecord scratch;
            ReadDialogRecord(dialog, context, context->dialogRecord.szFontName, &scratch);
            PaintWatermarkPreview(dc, control, &scratch, reinterpret_cast<HANDLE>(data));
        }
        EndPaint(control, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, PreviewProc, id);
    return DefSubclassProc(control, message, wParam, lParam);
}

class EditDialog : public DialogBase<EditDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        SheetContext* c = context();
        if (!WatermarkPrinter(c) || (!c->addMode && !c->dialogRecord.szName[0])) return TRUE;
        WatermarkRecord& record = c->dialogRecord;
        RepairForEditing(&record);

        WCHAR title[kNameCapacity];
        if (LoadText(c->addMode ? IDS_TITLE_ADD_WATERMARK : IDS_TITLE_EDIT_WATERMARK, title))
            SetWindowTextW(window(), title);

        send(IDC_WME_NAME, EM_LIMITTEXT, kNameCapacity - 1);
        SetDlgItemTextW(window(), IDC_WME_NAME, record.szName);
        send(IDC_WME_TEXT, EM_LIMITTEXT, kNameCapacity - 1);
        SetDlgItemTextW(window(), IDC_WME_TEXT, record.szText);

        fillSizes(record.lPointSize);
        fillAngle(record.dblAngle);
        fillColors(record.rgbColor);
        CheckDlgButton(window(), IDC_WME_STRIKEOUT, (record.dwEffects & 1) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window(), IDC_WME_UNDERLINE, (record.dwEffects & 2) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window(), IDC_WME_OUTLINE, (record.dwEffects & 4) ? BST_CHECKED : BST_UNCHECKED);

        FillPrinterFonts(item(IDC_WME_FONT), c->pageParams->hPrinter, c->pageParams->pPrinterName);
        LRESULT font = send(IDC_WME_FONT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(record.szFontName));
        send(IDC_WME_FONT, CB_SETCURSEL, font == CB_ERR ? 0 : font);

        CheckDlgButton(window(), IDC_WME_ITALIC, (record.dwStyle == 1 || record.dwStyle == 3) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window(), IDC_WME_BOLD, (record.dwStyle == 2 || record.dwStyle == 3) ? BST_CHECKED : BST_UNCHECKED);

        c->lastValidIntensity = record.wIntensity;
        send(IDC_WME_INTENSITY, EM_LIMITTEXT, 3);
        send(IDC_WME_INTENSITY_SPIN, UDM_SETRANGE32, 1, 100);
        send(IDC_WME_INTENSITY_SPIN, UDM_SETPOS32, 0, record.wIntensity);
        ShowNumber(window(), IDC_WME_INTENSITY, L"%d", record.wIntensity);

        c->position = {record.dblOffsetY, record.dblOffsetX, record.bInches, record.dwPosition};
        CheckDlgButton(window(), IDC_WME_DYNAMIC, record.bDynamic ? BST_CHECKED : BST_UNCHECKED);
        enable(IDC_WME_CONFIGURE, record.bDynamic != 0);
        // Add mode starts with empty fields; the name and text rule decides in both modes.
        updateOk();
        SetWindowSubclass(item(IDC_WME_PREVIEW), PreviewProc, kPreviewSubclass,
                          reinterpret_cast<DWORD_PTR>(c->pageParams->hPrinter));
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        if (id == IDCANCEL) {
            EndDialog(window(), IDCANCEL);
            return TRUE;
        }
        if (!WatermarkPrinter(context())) {
            if (id == IDOK) EndDialog(window(), IDCANCEL);
            return id == IDOK;
        }
        switch (id) {
            case IDOK:
                ok();
                return TRUE;
            case IDC_WME_NAME:
            case IDC_WME_TEXT:
                if (code == EN_CHANGE) updateOk();
                break;
            case IDC_WME_INTENSITY:
                if (code == EN_UPDATE) typedIntensity();
                break;
            case IDC_WME_ANGLE:
                if (code == EN_UPDATE) typedAngle();
                break;
            case IDC_WME_SIZE:
                if (code == CBN_EDITCHANGE) typedSize();
                break;
            case IDC_WME_DYNAMIC:
                enable(IDC_WME_CONFIGURE, IsDlgButtonChecked(window(), IDC_WME_DYNAMIC) == BST_CHECKED);
                break;
            case IDC_WME_CONFIGURE:
                if (code != BN_CLICKED) return TRUE;
                GetDlgItemTextW(window(), IDC_WME_TEXT, context()->dynamicText, static_cast<int>(kNameCapacity));
                if (ConfigureDynamicWatermarks(window(), context()) != IDOK) return TRUE;
                SetDlgItemTextW(window(), IDC_WME_TEXT, context()->dynamicText);
                break;
            case IDC_WME_POSITION:
                if (code == BN_CLICKED) position();
                break;
        }
        invalidatePreview();
        return TRUE;
    }

    INT_PTR onNotify(NMHDR* header) {
        if (header->code == UDN_DELTAPOS) invalidatePreview();
        return FALSE;
    }

    INT_PTR onMessage(UINT message, WPARAM, LPARAM lParam) {
        if (message != WM_DRAWITEM) return FALSE;
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlID != IDC_WME_COLOR) return FALSE;
        drawColor(*draw);
        return TRUE;
    }

private:
    void fillSizes(LONG pointSize) const {
        for (int size = 8; size <= 72; size += 2) {
            WCHAR text[8];
            FormatText(text, 8, L"%d", size);
            const LRESULT index = send(IDC_WME_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            send(IDC_WME_SIZE, CB_SETITEMDATA, index, size);
            if (size == pointSize) send(IDC_WME_SIZE, CB_SETCURSEL, index);
        }
        context()->lastValidSize = pointSize;
        send(IDC_WME_SIZE, CB_LIMITTEXT, 4);
        if (send(IDC_WME_SIZE, CB_GETCURSEL) == CB_ERR) ShowNumber(window(), IDC_WME_SIZE, L"%u", pointSize);
    }

    void fillAngle(double& angle) const {
        send(IDC_WME_ANGLE, EM_LIMITTEXT, 4);
        context()->lastValidAngle = angle;
        send(IDC_WME_ANGLE_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(-180), 180);
        send(IDC_WME_ANGLE_SPIN, UDM_SETPOS32, 0, RoundToInt(angle));
        ShowNumber(window(), IDC_WME_ANGLE, L"%d", RoundToInt(angle));
    }

    void fillColors(const BYTE (&rgb)[4]) const {
        const COLORREF wanted = RGB(rgb[0], rgb[1], rgb[2]);
        for (const ColorChoice& entry : kColorChoices) {
            WCHAR name[kNameCapacity];
            if (!LoadText(entry.name, name)) continue;
            const LRESULT index = send(IDC_WME_COLOR, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            send(IDC_WME_COLOR, CB_SETITEMDATA, index, entry.color);
        }
        const LRESULT count = send(IDC_WME_COLOR, CB_GETCOUNT);
        LRESULT chosen = 0;
        for (LRESULT i = 0; i < count; ++i)
            if (static_cast<COLORREF>(send(IDC_WME_COLOR, CB_GETITEMDATA, i)) == wanted) {
                chosen = i;
                break;
            }
        send(IDC_WME_COLOR, CB_SETCURSEL, chosen);
    }

    void updateOk() const {
        WCHAR name[kNameCapacity], text[kNameCapacity];
        GetDlgItemTextW(window(), IDC_WME_NAME, name, static_cast<int>(kNameCapacity));
        GetDlgItemTextW(window(), IDC_WME_TEXT, text, static_cast<int>(kNameCapacity));
        enable(IDOK, HasVisibleText(name) && HasVisibleText(text));
    }

    // Each refused value is replaced by the last valid one, which passed the same test (the
    // record was repaired when the dialog opened), so the replacement is accepted at once.
    void typedIntensity() const {
        WCHAR text[8] = {};
        GetDlgItemTextW(window(), IDC_WME_INTENSITY, text, 4);
        WORD value = 0;
        if (AcceptIntensityText(text, &value))
            context()->lastValidIntensity = value;
        else
            ShowNumber(window(), IDC_WME_INTENSITY, L"%d", context()->lastValidIntensity);
    }

    void typedAngle() const {
        WCHAR text[8] = {};
        GetDlgItemTextW(window(), IDC_WME_ANGLE, text, 5);
        int value = 0;
        if (AcceptAngleText(text, &value))
            context()->lastValidAngle = value;
        else
            ShowNumber(window(), IDC_WME_ANGLE, L"%d", RoundToInt(context()->lastValidAngle));
    }

    void typedSize() const {
        WCHAR text[8] = {};
        GetDlgItemTextW(window(), IDC_WME_SIZE, text, 5);
        LONG value = 0;
        if (AcceptSizeText(text, &value))
            context()->lastValidSize = value;
        else
            ShowNumber(window(), IDC_WME_SIZE, L"%u", context()->lastValidSize);
    }

    void position() const {
        HeapArray<SheetContext> scratch(1);
        if (!scratch) return;
        std::memcpy(scratch.get(), context(), sizeof(SheetContext));
        ReadDialogRecord(window(), context(), context()->dialogRecord.szFontName, &scratch.get()->dialogRecord);
        if (PositionWatermark(window(), scratch.get()) == IDOK) context()->position = scratch.get()->position;
    }

    void ok() const {
        SheetContext* c = context();
        HANDLE printer = c->pageParams->hPrinter;
        WCHAR name[kTextCapacity];
        GetDlgItemTextW(window(), IDC_WME_NAME, name, static_cast<int>(kTextCapacity));
        TrimTrailingSpaces(name);
        if (c->addMode || lstrcmpW(name, c->dialogRecord.szName) != 0) {
            if (WatermarkExists(printer, name)) return error(IDS_ERR_NAME_EXISTS, IDC_WME_NAME);
            WCHAR none[kNameCapacity];
            if (LoadText(IDS_WATERMARK_NONE, none) && lstrcmpW(name, none) == 0)
                return error(IDS_ERR_NAME_IS_NONE, IDC_WME_NAME);
        }
        WatermarkRecord record;
        ReadDialogRecord(window(), c, c->dialogRecord.szFontName, &record);
        if (record.lPointSize == 0) return error(IDS_ERR_FONT_SIZE, IDC_WME_SIZE);
        if (record.bDynamic) {
            WindowDC dc(window());
            if (!ValidateDynamicText(printer, dc.get(), record.szText)) return error(IDS_DYN_INVALID_TEXT, IDC_WME_TEXT);
        }
        if (!SaveWatermark(printer, &record)) return error(IDS_ERR_SAVE_REGISTRY);
        // The registry knows value names without regard to case: deleting a name that differs
        // only in case would delete the watermark just saved.
        if (!c->addMode && lstrcmpiW(record.szName, c->pickedName) != 0) DeleteWatermark(printer, c->pickedName);
        c->dialogRecord = record;
        EndDialog(window(), IDOK);
    }

    void drawColor(const DRAWITEMSTRUCT& draw) const {
        if (draw.itemID == static_cast<UINT>(-1)) return;
        const bool selected = (draw.itemState & ODS_SELECTED) != 0;
        const bool focused = (draw.itemState & ODS_FOCUS) != 0;
        const int back = selected || focused ? COLOR_HIGHLIGHT : COLOR_WINDOW;
        FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(back));
        const RECT& r = draw.rcItem;
        UniqueGdiObject brush(CreateSolidBrush(static_cast<COLORREF>(draw.itemData)));
        if (brush) {
            SelectGuard keep(draw.hDC, brush.get());
            Rectangle(draw.hDC, r.left + 2, r.top + 2, r.left + 18, r.bottom - 2);
            const RECT inside{r.left + 3, r.top + 3, r.left + 17, r.bottom - 3};
            FillRect(draw.hDC, &inside, static_cast<HBRUSH>(brush.get()));
        }
        WCHAR text[kTextCapacity];
        const LRESULT length = SendMessageW(draw.hwndItem, CB_GETLBTEXTLEN, draw.itemID, 0);
        if (length == CB_ERR || length >= static_cast<LRESULT>(kTextCapacity)) return;
        SendMessageW(draw.hwndItem, CB_GETLBTEXT, draw.itemID, reinterpret_cast<LPARAM>(text));
        SetBkColor(draw.hDC, GetSysColor(back));
        SetTextColor(draw.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : focused ? COLOR_WINDOW : COLOR_WINDOWTEXT));
        RECT textRect{r.left + 28, r.top, r.right, r.bottom};
        DrawTextW(draw.hDC, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER);
    }

    void invalidatePreview() const { InvalidateRect(item(IDC_WME_PREVIEW), nullptr, TRUE); }
};

}  // namespace

void ReadDialogRecord(HWND dialog, const SheetContext* context, const WCHAR* fallbackFont, WatermarkRecord* record) {
    InitWatermarkRecord(record);
    GetDlgItemTextW(dialog, IDC_WME_NAME, record->szName, static_cast<int>(kNameCapacity));
    TrimTrailingSpaces(record->szName);
    GetDlgItemTextW(dialog, IDC_WME_TEXT, record->szText, static_cast<int>(kNameCapacity));
    const auto checked = [dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    record->dwEffects = (checked(IDC_WME_STRIKEOUT) ? 1u : 0u) | (checked(IDC_WME_UNDERLINE) ? 2u : 0u) |
                        (checked(IDC_WME_OUTLINE) ? 4u : 0u);
    record->bDynamic = checked(IDC_WME_DYNAMIC) ? 1 : 0;
    record->dwStyle = StyleOf(checked(IDC_WME_BOLD), checked(IDC_WME_ITALIC));
    record->dblAngle = FieldNumber(dialog, IDC_WME_ANGLE, 4);
    record->wIntensity = static_cast<WORD>(FieldNumber(dialog, IDC_WME_INTENSITY, 4));

    const LRESULT color = SendDlgItemMessageW(dialog, IDC_WME_COLOR, CB_GETCURSEL, 0, 0);
    const COLORREF rgb =
        color == CB_ERR ? 0 : static_cast<COLORREF>(SendDlgItemMessageW(dialog, IDC_WME_COLOR, CB_GETITEMDATA, color, 0));
    record->rgbColor[0] = GetRValue(rgb);
    record->rgbColor[1] = GetGValue(rgb);
    record->rgbColor[2] = GetBValue(rgb);
    record->rgbColor[3] = 0;

    const LRESULT size = SendDlgItemMessageW(dialog, IDC_WME_SIZE, CB_GETCURSEL, 0, 0);
    record->lPointSize = size == CB_ERR ? FieldNumber(dialog, IDC_WME_SIZE, 9)
                                        : static_cast<LONG>(SendDlgItemMessageW(dialog, IDC_WME_SIZE, CB_GETITEMDATA, size, 0));

    // Without a selected font (the printer listed none) the record keeps the font it had.
    HWND fonts = GetDlgItem(dialog, IDC_WME_FONT);
    const LRESULT font = SendMessageW(fonts, CB_GETCURSEL, 0, 0);
    const LRESULT length = font == CB_ERR ? CB_ERR : SendMessageW(fonts, CB_GETLBTEXTLEN, font, 0);
    if (length != CB_ERR && length < 64)
        SendMessageW(fonts, CB_GETLBTEXT, font, reinterpret_cast<LPARAM>(record->szFontName));
    else if (font == CB_ERR && fallbackFont && fallbackFont[0])
        CopyText(record->szFontName, fallbackFont, 64);

    record->dwPosition = context->position.dwPosition;
    record->bInches = context->position.bInches;
    record->dblOffsetY = context->position.dblOffsetY;
    record->dblOffsetX = context->position.dblOffsetX;
}

int FillPrinterFonts(HWND comboBox, HANDLE printer, const WCHAR* printerName) {
    WCHAR driver[MAX_PATH];
    SpoolerBlock<DRIVER_INFO_2W> info = ReadDriverInfo2(printer);
    ConfigModuleBaseName(info ? info.get()->pConfigFile : nullptr, driver, MAX_PATH);
    UniqueDC dc(CreateDCW(driver, printerName, nullptr, nullptr));
    if (!dc) return 0;
    const LRESULT before = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    LOGFONTW request{};
    request.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc.get(), &request, AddFace, reinterpret_cast<LPARAM>(comboBox), 0);
    return static_cast<int>(SendMessageW(comboBox, CB_GETCOUNT, 0, 0) - before);
}

INT_PTR CALLBACK EditWatermarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return EditDialog::DialogProc(window, message, wParam, lParam);
}

INT_PTR EditWatermark(HWND owner, SheetContext* context) {
    return RunDialog(owner, IDD_WM_EDIT, EditWatermarkProc, context);
}

}  // namespace corv::ui
