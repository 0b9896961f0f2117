// The HTML help the UI plug-in opens from its pages. The plug-in binds HtmlHelpW itself, by
// ordinal from the HTML help control's library; corvhost patches the plug-in's GetProcAddress
// import so that it hands out a recorder instead, which logs every call and passes it on to the
// real entry point (Wine's hhctrl).
#pragma once

#include "host/kit/iatpatch.h"

#include <string>
#include <vector>

namespace corv::host {

// "HH_DISPLAY_INDEX" for 2 and the like; the number for a command not named here.
std::string HtmlHelpCommandName(UINT command);

class HelpRecorder {
public:
    struct Call {
        std::wstring file;
        UINT command = 0;
        DWORD_PTR data = 0;
        HWND window = nullptr;  // what the real entry point returned
        std::wstring title;     // that window's title
    };

    HelpRecorder() = default;
    HelpRecorder(const HelpRecorder&) = delete;
    HelpRecorder& operator=(const HelpRecorder&) = delete;
    ~HelpRecorder();

    // False when `module` does not import GetProcAddress from kernel32.
    bool Attach(HMODULE module);
    // Closes the help windows that were opened and takes the patch back.
    void Detach();

    const std::vector<Call>& calls() const { return calls_; }

private:
    using HtmlHelpFn = HWND WINAPI(HWND, const WCHAR*, UINT, DWORD_PTR);
    static FARPROC WINAPI GetProcAddressStandIn(HMODULE module, LPCSTR name);
    static HWND WINAPI HtmlHelpStandIn(HWND caller, const WCHAR* file, UINT command, DWORD_PTR data);

    ImportPatch patch_;
    HtmlHelpFn* real_ = nullptr;
    std::vector<Call> calls_;
    static HelpRecorder* current_;
};

}  // namespace corv::host
