// Stand-ins for what a page or dialog reaches beyond itself, put into the import table of the
// module that calls them (the test program by default: the UI code is linked into it) for as
// long as the object lives. Each records the calls it answers. One object of each kind at a time.
//
//     corvtest::MessageBoxes boxes;
//     boxes.answers.push_back(IDYES);
//     ... the page asks ...
//     ASSERT_EQ(boxes.shown.size(), 1u);
//     EXPECT_EQ(boxes.shown[0].icon(), MB_ICONWARNING);
#pragma once

#include "tests/support/iatpatch_ui.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace corvtest {

// MessageBoxW: every box is recorded and answered without being shown, from answers in order;
// when none is left, OK boxes get IDOK and every other kind IDNO or IDCANCEL.
class MessageBoxes {
public:
    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        bool hasCaption;  // false: the caller gave none, the system's default would show
        UINT type;
        UINT icon() const { return type & MB_ICONMASK; }
        UINT buttons() const { return type & MB_TYPEMASK; }
    };

    explicit MessageBoxes(HMODULE module = GetModuleHandleW(nullptr));
    ~MessageBoxes();
    bool active() const { return patch_.active(); }

    std::vector<Box> shown;
    std::deque<int> answers;

private:
    static int WINAPI Fake(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
    ImportPatch patch_;
};

// DialogBoxParamW: every nested dialog is recorded; the next one is answered by the first
// scripted step: a result given at once without showing the dialog, or a script that drives the
// real dialog inside its modal loop (see ModalDriver). Without a step the dialog is not shown and
// answers IDCANCEL.
class NestedDialogs {
public:
    struct Call {
        UINT templateId;  // 0 when the template was named by a string
        HWND owner;
        LPARAM param;
        INT_PTR result;
    };

    explicit NestedDialogs(HMODULE module = GetModuleHandleW(nullptr));
    ~NestedDialogs();
    bool active() const { return patch_.active(); }

    void answer(INT_PTR result);
    void drive(std::function<void(HWND dialog)> script);

    std::vector<Call> calls;

private:
    struct Step {
        bool show;
        INT_PTR result;
        std::function<void(HWND)> script;
    };
    static INT_PTR WINAPI Fake(HINSTANCE module, LPCWSTR name, HWND owner, DLGPROC procedure, LPARAM param);
    std::deque<Step> steps_;
    ImportPatch patch_;
};

// A printer's fonts: CreateDCW gives a memory device context (Wine has no printer device
// contexts) and EnumFontFamiliesExW on such a context lists the fonts given here, filtered by
// the request's face name and character set as GDI filters them. Other device contexts reach
// GDI's own functions.
class PrinterFonts {
public:
    struct Font {
        std::wstring face;
        BYTE charSet = ANSI_CHARSET;
        DWORD type = TRUETYPE_FONTTYPE;
    };

    explicit PrinterFonts(std::vector<Font> fonts, HMODULE module = GetModuleHandleW(nullptr));
    ~PrinterFonts();
    bool active() const { return create_.active() && enumerate_.active(); }

    std::vector<Font> fonts;
    std::vector<std::wstring> devices;  // the device names CreateDCW was asked for
    std::vector<HDC> contexts;          // the contexts it gave out

private:
    static HDC WINAPI FakeCreate(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* devmode);
    static int WINAPI FakeEnumerate(HDC dc, LPLOGFONTW request, FONTENUMPROCW procedure, LPARAM lParam, DWORD flags);
    ImportPatch create_, enumerate_;
};

// GetUserNameW answers this name, with the size protocol of the real call.
class UserName {
public:
    explicit UserName(std::wstring name, HMODULE module = GetModuleHandleW(nullptr));
    ~UserName();
    bool active() const { return patch_.active(); }
    std::wstring name;
    int calls = 0;

private:
    static BOOL WINAPI Fake(LPWSTR buffer, LPDWORD size);
    ImportPatch patch_;
};

// WinHelpW: every request is recorded, none is shown. A page's help request with a ".hlp" help
// file ends here.
class HelpRequests {
public:
    struct Request {
        HWND window;
        std::wstring file;
        UINT command;
        ULONG_PTR data;
    };

    explicit HelpRequests(HMODULE module = GetModuleHandleW(nullptr));
    ~HelpRequests();
    bool active() const { return patch_.active(); }
    std::vector<Request> requests;

private:
    static BOOL WINAPI Fake(HWND window, LPCWSTR file, UINT command, ULONG_PTR data);
    ImportPatch patch_;
};

}  // namespace corvtest
