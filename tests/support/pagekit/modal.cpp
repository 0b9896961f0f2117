#include "tests/support/pagekit/modal.h"

#include <algorithm>

namespace corvtest {
namespace {

ModalDriver* g_driver = nullptr;
thread_local FocusWatch* t_focusWatch = nullptr;
constexpr UINT kTickMs = 10;
constexpr int kTicksBeforeGivingUp = 200;

bool IsDialogWindow(HWND window) {
    WCHAR name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpW(name, L"#32770") == 0;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    if (IsDialogWindow(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

}  // namespace

ModalDriver::ModalDriver(std::function<void(HWND)> script) : script_(std::move(script)), before_(ThreadDialogs()) {
    g_driver = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, &Tick);
}

ModalDriver::~ModalDriver() {
    if (timer_) KillTimer(nullptr, timer_);
    if (g_driver == this) g_driver = nullptr;
}

HWND ModalDriver::FindNewDialog() const {
    for (HWND window : ThreadDialogs())
        if (IsWindowEnabled(window) && std::find(before_.begin(), before_.end(), window) == before_.end())
            return window;
    return nullptr;
}

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* self = g_driver;
    if (!self) return;
    if (!self->ran_) {
        HWND dialog = self->FindNewDialog();
        if (!dialog) return;
        self->ran_ = true;
        self->dialog_ = dialog;
        self->script_(dialog);
        return;
    }
    if (IsWindow(self->dialog_) && ++self->ticksAfter_ > kTicksBeforeGivingUp) {
        EndDialog(self->dialog_, kNotClosed);
        self->dialog_ = nullptr;
    }
}

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectListItem(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Type(HWND dialog, int id, const wchar_t* text) { SetDlgItemTextW(dialog, id, text); }

FocusWatch::FocusWatch() {
    t_focusWatch = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
    // Without the hook nothing is watched, and no focus check may pass on what was there before.
    if (hook_) last_ = GetFocus();
}

FocusWatch::~FocusWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (t_focusWatch == this) t_focusWatch = nullptr;
}

LRESULT CALLBACK FocusWatch::Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_SETFOCUS && t_focusWatch) t_focusWatch->last_ = sent->hwnd;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace corvtest
