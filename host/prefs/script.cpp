#include "host/prefs/script.h"

#include "host/kit/hostio.h"

#include <commctrl.h>
#include <prsht.h>

#include <cwchar>
#include <cwctype>

namespace corv::host {
namespace {

constexpr int kTicksToWait = 20;  // for a window to appear, or a page to be shown

std::wstring Trim(const std::wstring& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::iswspace(s[a])) ++a;
    while (b > a && std::iswspace(s[b - 1])) --b;
    return s.substr(a, b - a);
}

bool ControlId(const std::wstring& text, int* id) {
    wchar_t* end = nullptr;
    long n = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || !end || *end || n < 1 || n > 65535) return false;
    *id = static_cast<int>(n);
    return true;
}

std::wstring ClassOf(HWND window) {
    WCHAR name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

bool ParseScript(const std::wstring& text, std::vector<ScriptStep>* steps, std::string* error) {
    steps->clear();
    size_t at = 0;
    for (int line = 1; at <= text.size(); ++line) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos) end = text.size();
        std::wstring row = Trim(text.substr(at, end - at));
        at = end + 1;
        if (row.empty() || row[0] == L'#') continue;
        size_t space = row.find_first_of(L" \t");
        std::wstring verb = row.substr(0, space);
        std::wstring rest = space == std::wstring::npos ? L"" : Trim(row.substr(space));
        auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(line) + ": " + why;
            return false;
        };
        ScriptStep step{ScriptStep::Kind::Page, line};
        if (verb == L"page") {
            if (rest.empty()) return fail("page needs the page's title");
            step.text = rest;
        } else if (verb == L"set") {
            step.kind = ScriptStep::Kind::Set;
            size_t gap = rest.find_first_of(L" \t");
            if (!ControlId(rest.substr(0, gap), &step.control)) return fail("set needs a control id from 1 to 65535");
            // The value is the rest of the line as written, inner blanks included.
            step.text = gap == std::wstring::npos ? L"" : rest.substr(rest.find_first_not_of(L" \t", gap));
        } else if (verb == L"press") {
            step.kind = ScriptStep::Kind::Press;
            if (!ControlId(rest, &step.control)) return fail("press needs a control id from 1 to 65535");
        } else if (verb == L"answer") {
            step.kind = ScriptStep::Kind::Answer;
            if (rest == L"yes") step.answer = IDYES;
            else if (rest == L"no") step.answer = IDNO;
            else if (rest == L"ok") step.answer = IDOK;
            else if (rest == L"cancel") step.answer = IDCANCEL;
            else return fail("answer needs yes, no, ok or cancel");
        } else {
            return fail("unknown step '" + Narrow(verb) + "' (page, set, press, answer)");
        }
        steps->push_back(step);
    }
    return true;
}

std::vector<std::wstring> SheetTabs(HWND sheet) {
    std::vector<std::wstring> titles;
    HWND tabs = PropSheet_GetTabControl(sheet);
    const int count = TabCtrl_GetItemCount(tabs);
    for (int i = 0; i < count; ++i) {
        WCHAR text[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        titles.push_back(text);
    }
    return titles;
}

HWND WindowInFront(HWND sheet) {
    struct Search {
        HWND sheet, found;
    } search{sheet, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (window == s->sheet || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
            if (ClassOf(window) != L"#32770") return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ScriptPlayer::Fail(const ScriptStep& step, const std::string& why) {
    error_ = "script line " + std::to_string(step.line) + ": " + why;
    return true;
}

bool ScriptPlayer::Tick(HWND sheet) {
    if (failed()) return true;
    if (next_ >= steps_.size()) {
        // A dialog still open would swallow the sheet's OK.
        if (HWND front = WindowInFront(sheet)) {
            if (++waited_ < kTicksToWait) return false;
            WCHAR title[128] = {};
            GetWindowTextW(front, title, 128);
            error_ = "script ended with \"" + Narrow(title) + "\" still open";
        }
        return true;
    }
    const ScriptStep& step = steps_[next_];
    if (Run(sheet, step)) {
        ++next_;
        waited_ = 0;
    }
    return failed();
}

// True when the step is done; false to try again at the next tick.
bool ScriptPlayer::Run(HWND sheet, const ScriptStep& step) {
    HWND front = WindowInFront(sheet);
    switch (step.kind) {
        case ScriptStep::Kind::Page: {
            if (front) return Fail(step, "a dialog is open in front of the sheet"), false;
            const std::vector<std::wstring> tabs = SheetTabs(sheet);
            int index = -1;
            for (size_t i = 0; i < tabs.size() && index < 0; ++i)
                if (tabs[i] == step.text) index = static_cast<int>(i);
            if (index < 0) return Fail(step, "no page \"" + Narrow(step.text) + "\""), false;
            if (waited_ == 0) {
                // Posted: a page that refuses to be left shows its message in a loop of its own.
                PostMessageW(sheet, PSM_SETCURSEL, index, 0);
                ++waited_;
                return false;
            }
            if (PropSheet_GetCurrentPageHwnd(sheet) == PropSheet_IndexToHwnd(sheet, index)) {
                log_.push_back("script: page \"" + Narrow(step.text) + "\"");
                return true;
            }
            if (++waited_ < kTicksToWait) return false;
            return Fail(step, "the sheet did not show page \"" + Narrow(step.text) + "\""), false;
        }
        case ScriptStep::Kind::Set:
        case ScriptStep::Kind::Press: {
            HWND window = front ? front : PropSheet_GetCurrentPageHwnd(sheet);
            HWND control = window ? GetDlgItem(window, step.control) : nullptr;
            // A dialog that was just opened or closed may not be in front yet: give it some ticks.
            if (!control || !IsWindowEnabled(control)) {
                if (++waited_ < kTicksToWait) return false;
                WCHAR title[128] = {};
                if (window) GetWindowTextW(window, title, 128);
                return Fail(step, "control " + std::to_string(step.control) + (control ? " is disabled" : " is not there") +
                                      " in \"" + Narrow(title) + "\""),
                       false;
            }
            if (step.kind == ScriptStep::Kind::Press) {
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(step.control, BN_CLICKED), reinterpret_cast<LPARAM>(control));
                log_.push_back("script: press " + std::to_string(step.control));
                return true;
            }
            std::wstring kind = ClassOf(control);
            if (_wcsicmp(kind.c_str(), L"Edit") == 0) {
                SetWindowTextW(control, L"");
                for (wchar_t c : step.text) SendMessageW(control, WM_CHAR, c, 1);
            } else if (_wcsicmp(kind.c_str(), L"ComboBox") == 0 || _wcsicmp(kind.c_str(), L"ListBox") == 0) {
                bool combo = _wcsicmp(kind.c_str(), L"ComboBox") == 0;
                LRESULT index = SendMessageW(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                             static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(step.text.c_str()));
                if (index < 0) return Fail(step, "control " + std::to_string(step.control) + " has no item \"" + Narrow(step.text) + "\""), false;
                SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(step.control, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(control));
            } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
                if (step.text != L"0" && step.text != L"1") return Fail(step, "a check box takes 0 or 1"), false;
                bool want = step.text == L"1";
                if ((SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) != want) SendMessageW(control, BM_CLICK, 0, 0);
            } else {
                return Fail(step, "control " + std::to_string(step.control) + " is a " + Narrow(kind) + ", which set cannot change"), false;
            }
            log_.push_back("script: set " + std::to_string(step.control));
            return true;
        }
        case ScriptStep::Kind::Answer:
            if (!front) {
                if (++waited_ < kTicksToWait) return false;
                return Fail(step, "no message box to answer"), false;
            }
            PostMessageW(front, WM_COMMAND, step.answer, 0);
            log_.push_back("script: answer " + std::to_string(step.answer));
            return true;
    }
    return true;
}

}  // namespace corv::host
