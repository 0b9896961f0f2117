// The Output Options page: where the job goes (the printer, its fax card, or one of the four
// print-and-hold modes) and what that destination needs: user name and PIN for held jobs, the
// recipient and an optional cover page for faxes. The cover page's contents are typed in the
// modal "Enter Fax Cover Page Information" dialog. The rules the page applies are pure functions
// here; the page and the dialog are thin shells over them.
#pragma once

#include "common/record.h"

#include <windows.h>

namespace corv::ui {

inline constexpr DWORD kHighestDestination = kOutputVerify;
inline constexpr size_t kHoldUserNameCapacity = 25;  // 24 typed characters and the terminator
inline constexpr size_t kHoldPinCapacity = 5;
inline constexpr DWORD kCoverPartsMask = 7;          // recipient, sender, comments

bool IsHoldDestination(DWORD destination);

// Which groups of controls a destination enables.
struct OutputEnables {
    bool fax;         // the fax group but its Setup Cover Page button
    bool setupCover;  // the Setup Cover Page button
    bool holdUser;    // user name, its label, the keep check box
    bool pin;         // PIN and its label
};
OutputEnables EnablesFor(DWORD destination, bool sendCoverChecked);

// Empty, or nothing but white space.
bool IsBlank(const WCHAR* text);

// What the page holds when it is left, as read from its controls.
struct OutputFields {
    DWORD destination;
    const WCHAR* userName;
    const WCHAR* pin;
    bool faxCard;
    const WCHAR* recipient;
    const WCHAR* faxNumber;
    const WCHAR* station;
    bool sendCover;
    DWORD coverParts;  // of the working cover page block
};

// The first check that fails: its message and the control that gets the focus; message 0 when
// the page may be left.
struct OutputCheck {
    UINT message;
    int focus;
};
OutputCheck CheckOutputFields(const OutputFields& fields);

// A stored FaxInfo stands in for the record's fax fields unless its recipient's name and fax
// number are both empty.
bool FaxInfoUsable(const FaxRecord& stored);

// The user name proposed for held jobs, in this order: the stored LastUserName (null when it
// could not be read), the record's name when it is not empty, the logged-on user's name (null when
// unknown). Cut to the field's 24 characters.
void ProposeUserName(const WCHAR* lastUserName, const WCHAR* recordName, const WCHAR* loggedOn,
                     WCHAR (&name)[kHoldUserNameCapacity]);

// Dialog procedures: the page (WM_INITDIALOG brings the PROPSHEETPAGEW whose lParam is the sheet
// context) and the cover page dialog (WM_INITDIALOG brings the sheet context; ends with 1 for OK,
// 2 for Cancel).
INT_PTR CALLBACK OutputOptionsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FaxCoverDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corv::ui
