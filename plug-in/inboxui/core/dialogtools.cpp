#include "plug-in/inboxui/core/dialogtools.h"

#include "common/handles.h"
#include "common/text.h"

#include <commctrl.h>

namespace corv::ui {

INT_PTR RunDialog(HWND owner, int templateId, DLGPROC procedure, const void* parameter) {
    return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId), owner, procedure,
                           reinterpret_cast<LPARAM>(parameter));
}
namespace {

BOOL CALLBACK DisableOne(HWND control, LPARAM) {
    EnableWindow(control, FALSE);
    return TRUE;
}

// A message of the string table; an insert (a name, which may hold "%") goes in as the argument
// of the text's "%s", never as a format.
bool LoadMessage(UINT textId, const WCHAR* insert, WCHAR (&text)[kTextCapacity]) {
    WCHAR format[kTextCapacity];
    if (!LoadText(textId, format)) return false;
    if (insert)
        FormatText(text, kTextCapacity, format, insert);
    else
        CopyText(text, format);
    return true;
}

}  // namespace

void DisableAllControls(HWND dialog) {
    if (dialog) EnumChildWindows(dialog, &DisableOne, 0);
}

bool SetContextHelpButton(HWND sheet, bool shown) {
    if (!sheet) return false;
    LONG_PTR style = GetWindowLongPtrW(sheet, GWL_EXSTYLE);
    bool has = (style & WS_EX_CONTEXTHELP) != 0;
    if (has == shown) return false;
    SetWindowLongPtrW(sheet, GWL_EXSTYLE, shown ? style | WS_EX_CONTEXTHELP : style & ~WS_EX_CONTEXTHELP);
    SendMessageW(sheet, WM_NCPAINT, 1, 0);
    return true;
}

void ShowError(HWND owner, UINT textId, UINT captionId, const WCHAR* insert) {
    WCHAR text[kTextCapacity], caption[kTextCapacity];
    if (!LoadMessage(textId, insert, text)) return;
    bool titled = captionId && LoadText(captionId, caption);
    MessageBoxW(owner, text, titled ? caption : nullptr, MB_OK | MB_ICONERROR);
}

Answer AskYesNo(HWND owner, UINT textId, UINT captionId, UINT icon, const WCHAR* insert) {
    WCHAR text[kTextCapacity], caption[kTextCapacity];
    if (!LoadMessage(textId, insert, text) || !LoadText(captionId, caption)) return Answer::NotAsked;
    return MessageBoxW(owner, text, caption, MB_YESNO | icon) == IDYES ? Answer::Yes : Answer::No;
}

void MoveFocus(HWND dialog, HWND control) {
    if (dialog && control) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

bool ListItemText(HWND listBox, LRESULT index, WCHAR (&text)[kNameCapacity]) {
    text[0] = 0;
    LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0 || length >= static_cast<LRESULT>(kNameCapacity)) return false;
    return SendMessageW(listBox, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)) != LB_ERR;
}

int ListTextExtent(HWND listBox, size_t characters, HFONT font) {
    if (!listBox || characters == 0) return 0;
    WindowDC dc(listBox);
    if (!dc) return 0;
    TEXTMETRICW metrics{};
    SelectGuard selected(dc.get(), font);
    if (!GetTextMetricsW(dc.get(), &metrics)) return 0;
    return static_cast<int>(characters) * metrics.tmMaxCharWidth;
}

void SetListExtent(HWND listBox, size_t characters, HFONT font) {
    const int extent = ListTextExtent(listBox, characters, font);
    if (extent > 0) SendMessageW(listBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

void RegisterCommonControls() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
}

}  // namespace corv::ui
