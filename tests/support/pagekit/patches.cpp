#include "tests/support/pagekit/patches.h"

#include "tests/support/pagekit/modal.h"

#include <cstring>

namespace corvtest {
namespace {

MessageBoxes* g_boxes = nullptr;
NestedDialogs* g_dialogs = nullptr;
PrinterFonts* g_fonts = nullptr;
UserName* g_user = nullptr;
HelpRequests* g_help = nullptr;

template <typename F>
const void* Address(F function) {
    return reinterpret_cast<const void*>(function);
}

}  // namespace

// ---- MessageBoxW ----------------------------------------------------------------------------

MessageBoxes::MessageBoxes(HMODULE module) : patch_(module, "user32.dll", "MessageBoxW", Address(&Fake)) {
    g_boxes = this;
}

MessageBoxes::~MessageBoxes() { g_boxes = nullptr; }

int WINAPI MessageBoxes::Fake(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    MessageBoxes* self = g_boxes;
    self->shown.push_back({owner, text ? text : L"", caption ? caption : L"", caption != nullptr, type});
    if (!self->answers.empty()) {
        int answer = self->answers.front();
        self->answers.pop_front();
        return answer;
    }
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            return IDOK;
        case MB_YESNO:
            return IDNO;
        default:
            return IDCANCEL;
    }
}

// ---- DialogBoxParamW --------------------------------------------------------------------------

NestedDialogs::NestedDialogs(HMODULE module) : patch_(module, "user32.dll", "DialogBoxParamW", Address(&Fake)) {
    g_dialogs = this;
}

NestedDialogs::~NestedDialogs() { g_dialogs = nullptr; }

void NestedDialogs::answer(INT_PTR result) { steps_.push_back({false, result, nullptr}); }

void NestedDialogs::drive(std::function<void(HWND)> script) { steps_.push_back({true, 0, std::move(script)}); }

INT_PTR WINAPI NestedDialogs::Fake(HINSTANCE module, LPCWSTR name, HWND owner, DLGPROC procedure, LPARAM param) {
    NestedDialogs* self = g_dialogs;
    UINT id = IS_INTRESOURCE(name) ? static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)) : 0;
    Step step{false, IDCANCEL, nullptr};
    if (!self->steps_.empty()) {
        step = std::move(self->steps_.front());
        self->steps_.pop_front();
    }
    size_t at = self->calls.size();
    self->calls.push_back({id, owner, param, step.result});
    if (!step.show) return step.result;
    auto real = self->patch_.original<decltype(&DialogBoxParamW)>();
    ModalDriver driver(std::move(step.script));
    INT_PTR result = real(module, name, owner, procedure, param);
    g_dialogs->calls[at].result = result;
    return result;
}

// ---- CreateDCW / EnumFontFamiliesExW ---------------------------------------------------------

PrinterFonts::PrinterFonts(std::vector<Font> given, HMODULE module)
    : fonts(std::move(given)),
      create_(module, "gdi32.dll", "CreateDCW", Address(&FakeCreate)),
      enumerate_(module, "gdi32.dll", "EnumFontFamiliesExW", Address(&FakeEnumerate)) {
    g_fonts = this;
}

PrinterFonts::~PrinterFonts() { g_fonts = nullptr; }

HDC WINAPI PrinterFonts::FakeCreate(LPCWSTR, LPCWSTR device, LPCWSTR, const DEVMODEW*) {
    PrinterFonts* self = g_fonts;
    self->devices.push_back(device ? device : L"");
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) self->contexts.push_back(dc);
    return dc;
}

int WINAPI PrinterFonts::FakeEnumerate(HDC dc, LPLOGFONTW request, FONTENUMPROCW procedure, LPARAM lParam,
                                       DWORD flags) {
    PrinterFonts* self = g_fonts;
    bool ours = false;
    for (HDC given : self->contexts) ours = ours || given == dc;
    if (!ours) return self->enumerate_.original<decltype(&EnumFontFamiliesExW)>()(dc, request, procedure, lParam, flags);
    int last = 1;
    for (const Font& font : self->fonts) {
        if (request && request->lfFaceName[0] && font.face != request->lfFaceName) continue;
        if (request && request->lfCharSet != DEFAULT_CHARSET && request->lfCharSet != font.charSet) continue;
        ENUMLOGFONTEXW logFont{};
        lstrcpynW(logFont.elfLogFont.lfFaceName, font.face.c_str(), LF_FACESIZE);
        lstrcpynW(logFont.elfFullName, font.face.c_str(), LF_FULLFACESIZE);
        logFont.elfLogFont.lfCharSet = font.charSet;
        logFont.elfLogFont.lfHeight = -12;
        logFont.elfLogFont.lfWeight = FW_NORMAL;
        NEWTEXTMETRICEXW metrics{};
        metrics.ntmTm.tmCharSet = font.charSet;
        metrics.ntmTm.tmHeight = 12;
        metrics.ntmTm.tmWeight = FW_NORMAL;
        last = procedure(&logFont.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&metrics), font.type, lParam);
        if (!last) break;
    }
    return last;
}

// ---- GetUserNameW -------------------------------------------------------------------------------

UserName::UserName(std::wstring given, HMODULE module)
    : name(std::move(given)), patch_(module, "advapi32.dll", "GetUserNameW", Address(&Fake)) {
    g_user = this;
}

UserName::~UserName() { g_user = nullptr; }

BOOL WINAPI UserName::Fake(LPWSTR buffer, LPDWORD size) {
    UserName* self = g_user;
    ++self->calls;
    DWORD needed = static_cast<DWORD>(self->name.size() + 1);
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!buffer || *size < needed) {
        *size = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, self->name.c_str(), needed * sizeof(WCHAR));
    *size = needed;
    return TRUE;
}

// ---- WinHelpW -------------------------------------------------------------------------------------

HelpRequests::HelpRequests(HMODULE module) : patch_(module, "user32.dll", "WinHelpW", Address(&Fake)) {
    g_help = this;
}

HelpRequests::~HelpRequests() { g_help = nullptr; }

BOOL WINAPI HelpRequests::Fake(HWND window, LPCWSTR file, UINT command, ULONG_PTR data) {
    g_help->requests.push_back({window, file ? file : L"", command, data});
    return TRUE;
}

}  // namespace corvtest
