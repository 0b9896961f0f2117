// What every page and dialog of the UI plug-in needs beyond DialogBase's dispatch, written once:
// the no-permission state, the sheet's context-help button, message boxes from the string table,
// focus moves, list texts that fit a name buffer, and the common controls the templates use.
// Each is a free function over window handles; DialogBase offers the common ones as members.
#pragma once

#include "plug-in/inboxui/core/module.h"

#include <windows.h>

namespace corv::ui {

// Runs the plug-in's dialog `templateId` modally over owner with `parameter` (a page's or
// dialog's context) as its WM_INITDIALOG parameter; returns what DialogBoxParamW returns.
INT_PTR RunDialog(HWND owner, int templateId, DLGPROC procedure, const void* parameter);

// Disables every control of a page or dialog (its child windows, at any depth): the
// no-permission state, set again after each activation.
void DisableAllControls(HWND dialog);

// Shows or hides the property sheet's context-help button (WS_EX_CONTEXTHELP); when the style
// changes, the sheet gets WM_NCPAINT with wParam 1 to repaint its frame. True when it changed.
bool SetContextHelpButton(HWND sheet, bool shown);

// A user error: string textId (its "%s" filled with insert, when one is given) in a message box
// owned by owner with the error icon and an OK button. The caption is string captionId, or the
// system's own caption for 0. Nothing is shown when the text cannot be loaded.
void ShowError(HWND owner, UINT textId, UINT captionId = 0, const WCHAR* insert = nullptr);

enum class Answer { Yes, No, NotAsked };

// A confirmation: string textId (its "%s" filled with insert, when one is given) and caption
// string captionId in a yes/no message box owned by owner. icon is MB_ICONWARNING (removing
// watermarks) or MB_ICONQUESTION (changing and deleting profiles). NotAsked, with no box shown,
// when either string cannot be loaded.
Answer AskYesNo(HWND owner, UINT textId, UINT captionId, UINT icon, const WCHAR* insert = nullptr);

// Puts the focus on a control the way the dialog manager does (WM_NEXTDLGCTL), so the default
// button follows and an edit field's text is selected.
void MoveFocus(HWND dialog, HWND control);

// The text of a list box entry, only when it fits kNameCapacity with its terminator. False for an
// entry that does not exist or is longer: such an entry names no watermark or profile.
bool ListItemText(HWND listBox, LRESULT index, WCHAR (&text)[kNameCapacity]);

// The widest character of font (null: of the list's device context as it is) times the count;
// 0 when the list has no device context.
int ListTextExtent(HWND listBox, size_t characters, HFONT font);

// Lets a list box scroll sideways over a text of that many characters: the extent is the widest
// character of font times the count (font null: of the list's device context as it is).
void SetListExtent(HWND listBox, size_t characters, HFONT font);

// Registers the common control classes the templates use (up-down, track bar, list view), once
// per process; the sheets call it before they add their pages.
void RegisterCommonControls();

}  // namespace corv::ui
