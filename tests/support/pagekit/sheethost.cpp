#include "tests/support/pagekit/sheethost.h"

#include <commctrl.h>

#include <cstring>

namespace corvtest {
namespace {

// A blank page in memory: a child dialog with its caption and nothing in it.
std::vector<WORD> BlankTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE head{};
    head.style = WS_CHILD | DS_CONTROL | DS_SETFONT;
    head.cx = 200;
    head.cy = 150;
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0);  // no menu
    words.push_back(0);  // the default class
    for (const WCHAR* c = L"Other"; *c; ++c) words.push_back(*c);
    words.push_back(0);
    words.push_back(8);  // point size
    for (const WCHAR* c = L"MS Shell Dlg"; *c; ++c) words.push_back(*c);
    words.push_back(0);
    return words;
}

INT_PTR CALLBACK BlankPage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

SheetHost::SheetHost() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
}

SheetHost::~SheetHost() {
    if (sheet_) DestroyWindow(sheet_);
    Pump();
}

void SheetHost::Add(const corv::ui::PageRow& row, corv::ui::SheetContext* context, HINSTANCE module) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_HASHELP;
    page.hInstance = module ? module : GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(row.templateId);
    page.pfnDlgProc = row.procedure;
    page.lParam = reinterpret_cast<LPARAM>(context);
    pages_.push_back(page);
}

void SheetHost::AddBlankPage() {
    blankTemplates_.push_back(BlankTemplate());
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.pResource = reinterpret_cast<const DLGTEMPLATE*>(blankTemplates_.back().data());
    page.pfnDlgProc = &BlankPage;
    pages_.push_back(page);
}

LONG_PTR CALLBACK SheetHost::Function(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM) {
    auto* host = reinterpret_cast<SheetHost*>(sheet);
    if (!host || function != CPSFUNC_ADD_PROPSHEETPAGEW || !lParam1) return 0;
    // Only as many bytes as the page says it has are the caller's.
    const auto* given = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
    PROPSHEETPAGEW page{};
    std::memcpy(&page, given, given->dwSize < sizeof page ? given->dwSize : sizeof page);
    page.dwSize = sizeof page;
    host->pages_.push_back(page);
    return static_cast<LONG_PTR>(host->pages_.size());
}

PROPSHEETUI_INFO SheetHost::Info(ULONG reason, LPARAM lParamInit) {
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Flags = PSUIINFO_UNICODE;
    info.Reason = static_cast<WORD>(reason);
    info.hComPropSheet = handle();
    info.pfnComPropSheet = &Function;
    info.lParamInit = lParamInit;
    return info;
}

bool SheetHost::Show() {
    if (sheet_ || pages_.empty()) return false;
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_HASHELP;
    header.pszCaption = L"Document Properties";
    header.nPages = static_cast<UINT>(pages_.size());
    header.ppsp = pages_.data();
    INT_PTR result = PropertySheetW(&header);
    sheet_ = result > 0 ? reinterpret_cast<HWND>(result) : nullptr;
    Pump();
    return sheet_ != nullptr;
}

HWND SheetHost::ShowWithBlankPage() {
    AddBlankPage();
    return Show() ? page(0) : nullptr;
}

HWND SheetHost::page(int index) const {
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_INDEXTOHWND, index, 0));
}

HWND SheetHost::current() const { return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)); }

int SheetHost::currentIndex() const { return static_cast<int>(SendMessageW(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(current()), 0)); }

bool SheetHost::select(int index) {
    bool moved = SendMessageW(sheet_, PSM_SETCURSEL, index, 0) != FALSE;
    Pump();
    return moved && currentIndex() == index;
}

bool SheetHost::apply() {
    bool applied = SendMessageW(sheet_, PSM_APPLY, 0, 0) != FALSE;
    Pump();
    return applied;
}

void SheetHost::help() {
    SendMessageW(sheet_, PSM_PRESSBUTTON, PSBTN_HELP, 0);
    Pump();
}

LONG_PTR SheetHost::notify(UINT code) {
    HWND target = current();
    PSHNOTIFY note{};
    note.hdr.hwndFrom = sheet_;
    note.hdr.idFrom = 0;
    note.hdr.code = code;
    SetWindowLongPtrW(target, DWLP_MSGRESULT, 0);
    SendMessageW(target, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
    return GetWindowLongPtrW(target, DWLP_MSGRESULT);
}

void SheetHost::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

FrameRepaints::FrameRepaints(HWND window) : window_(window) {
    SetWindowSubclass(window_, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

FrameRepaints::~FrameRepaints() { RemoveWindowSubclass(window_, &Proc, 1); }

LRESULT CALLBACK FrameRepaints::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self) {
    if (message == WM_NCPAINT && wParam == 1) ++reinterpret_cast<FrameRepaints*>(self)->count_;
    return DefSubclassProc(window, message, wParam, lParam);
}

const corv::ui::PageRow& DocumentRow(WORD templateId) {
    size_t count = 0;
    const corv::ui::PageRow* rows = corv::ui::DocumentPageTable(&count);
    for (size_t i = 0; i < count; ++i)
        if (rows[i].templateId == templateId) return rows[i];
    static const corv::ui::PageRow none{};
    return none;
}

SheetChanges::SheetChanges(HWND sheet) : sheet_(sheet) { SetWindowSubclass(sheet_, &Proc, 2, reinterpret_cast<DWORD_PTR>(this)); }

SheetChanges::~SheetChanges() { RemoveWindowSubclass(sheet_, &Proc, 2); }

LRESULT CALLBACK SheetChanges::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
    if (message == PSM_CHANGED) ++reinterpret_cast<SheetChanges*>(self)->count_;
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace corvtest

