// Drives a modal dialog from inside its own loop. A thread timer fires while DialogBoxParamW,
// MessageBoxW or a modal property sheet runs its loop; the first tick that finds a dialog window
// of this thread that was not there when the driver was made, and is enabled, calls the script
// with it once. A dialog still open about two seconds after that is ended with kNotClosed, so a
// script that forgets to close it fails its test instead of hanging it.
//
//     corvtest::ModalDriver driver([](HWND dialog) { corvtest::Click(dialog, IDOK); });
//     EXPECT_EQ(DialogBoxParamW(...), IDOK);
//     EXPECT_TRUE(driver.ran());
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace corvtest {

class ModalDriver {
public:
    static constexpr INT_PTR kNotClosed = -5;

    explicit ModalDriver(std::function<void(HWND dialog)> script);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    bool ran() const { return ran_; }
    HWND dialog() const { return dialog_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    HWND FindNewDialog() const;

    std::function<void(HWND)> script_;
    std::vector<HWND> before_;
    UINT_PTR timer_ = 0;
    HWND dialog_ = nullptr;
    bool ran_ = false;
    int ticksAfter_ = 0;
};

// The window of this thread that last received the keyboard focus. GetFocus() answers NULL
// whenever another program's window takes the foreground, as a test running beside this one may
// at any moment, so a check of where the code under test put the focus asks this instead.
//
//     corvtest::FocusWatch focus;
//     corvtest::Click(dialog, IDOK);
//     EXPECT_EQ(focus.last(), GetDlgItem(dialog, IDC_NAME));
class FocusWatch {
public:
    FocusWatch();
    ~FocusWatch();
    FocusWatch(const FocusWatch&) = delete;
    FocusWatch& operator=(const FocusWatch&) = delete;

    HWND last() const { return last_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook_ = nullptr;
    HWND last_ = nullptr;
};

// What a user does in a dialog: a button click (BN_CLICKED from the control), a list selection
// (LB_SETCURSEL and LBN_SELCHANGE), text typed into an edit field (EN_CHANGE follows).
void Click(HWND dialog, int id);
void SelectListItem(HWND dialog, int id, int index);
void Type(HWND dialog, int id, const wchar_t* text);

}  // namespace corvtest
