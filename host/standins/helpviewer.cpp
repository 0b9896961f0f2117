#include "host/standins/helpviewer.h"

#include <cstring>

namespace corv::host {
namespace {

constexpr WORD kHtmlHelpOrdinal = 15;  // HtmlHelpW

// The library the plug-in bound: the HTML help control, whatever path it was loaded from.
bool IsHtmlHelpLibrary(HMODULE module) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    const char* name = path + n;
    while (name > path && name[-1] != '\\' && name[-1] != '/') --name;
    return lstrcmpiA(name, "hhctrl.ocx") == 0;
}

}  // namespace

std::string HtmlHelpCommandName(UINT command) {
    switch (command) {
        case 0x0000: return "HH_DISPLAY_TOPIC";
        case 0x0001: return "HH_HELP_FINDER";
        case 0x0002: return "HH_DISPLAY_INDEX";
        case 0x0003: return "HH_DISPLAY_SEARCH";
        case 0x000F: return "HH_HELP_CONTEXT";
        case 0x0012: return "HH_CLOSE_ALL";
        default: return std::to_string(command);
    }
}

HelpRecorder* HelpRecorder::current_ = nullptr;

HelpRecorder::~HelpRecorder() { Detach(); }

bool HelpRecorder::Attach(HMODULE module) {
    patch_ = ImportPatch(module, "kernel32.dll", "GetProcAddress", reinterpret_cast<const void*>(&GetProcAddressStandIn));
    if (!patch_.active()) return false;
    current_ = this;
    return true;
}

void HelpRecorder::Detach() {
    // The help windows belong to this thread; they go with the sheet they were opened for.
    for (const Call& call : calls_)
        if (call.window && IsWindow(call.window)) DestroyWindow(call.window);
    patch_.Restore();
    if (current_ == this) current_ = nullptr;
}

FARPROC WINAPI HelpRecorder::GetProcAddressStandIn(HMODULE module, LPCSTR name) {
    FARPROC found = GetProcAddress(module, name);
    HelpRecorder* self = current_;
    if (!self || !found || !IS_INTRESOURCE(name) || LOWORD(reinterpret_cast<ULONG_PTR>(name)) != kHtmlHelpOrdinal ||
        !IsHtmlHelpLibrary(module))
        return found;
    self->real_ = reinterpret_cast<HtmlHelpFn*>(reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&HtmlHelpStandIn));
}

HWND WINAPI HelpRecorder::HtmlHelpStandIn(HWND caller, const WCHAR* file, UINT command, DWORD_PTR data) {
    HelpRecorder* self = current_;
    if (!self || !self->real_) return nullptr;
    HWND window = self->real_(caller, file, command, data);
    Call call;
    call.file = file ? file : L"";
    call.command = command;
    call.data = data;
    call.window = window;
    if (window) {
        WCHAR title[256] = {};
        GetWindowTextW(window, title, 256);
        call.title = title;
    }
    self->calls_.push_back(std::move(call));
    return window;
}

}  // namespace corv::host
