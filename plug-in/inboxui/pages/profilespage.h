// The Profiles page: the personal profiles of the printer model, which one is loaded, and Save,
// Load, Change, Rename, Delete and Load Factory Defaults over the profile store; and the two
// uses of the "Save a Personal Profile" dialog, which ask for a new name (Save) or a changed one
// (Rename). The rules are pure functions here; the page and the dialogs are thin shells over them.
#pragma once

#include <windows.h>

namespace corv::ui {

// Where the list and the "Currently Loaded" text stand. The loaded item is the first list item
// equal to the "Currently Loaded" text without regard to case.
struct ProfileListState {
    bool selected;          // an item is selected
    bool selectedIsLoaded;  // and it is the loaded item
    bool loadedListed;      // the loaded item exists
    bool loadedIsFactory;   // "Currently Loaded" reads "Factory Defaults" (exact case)
};

struct ProfileButtons {
    bool save;
    bool loadChange;
    bool renameDelete;
    bool factory;  // "Load Factory Defaults"
};

ProfileButtons ProfileButtonsFor(const ProfileListState& state);

// The first of the name rules a typed name breaks, as its message id; 0 when it keeps them all.
// Whether a profile of that name exists is the last rule and is asked only when the others hold.
// exists may be null (no such rule).
using ProfileExistsFn = bool (*)(const WCHAR* name, void* context);
UINT ProfileNameViolation(const WCHAR* name, ProfileExistsFn exists, void* context);

// The name a rename produces from the typed text: trailing spaces dropped.
void StripTrailingSpaces(WCHAR* text);

// Whether the name dialog's OK is on. Saving: the text is not blank. Renaming (oldName given):
// the text without its trailing spaces is not blank and is not the old name in any case.
bool NameAcceptable(const WCHAR* typed, const WCHAR* oldName);

// Dialog procedures: the page (WM_INITDIALOG brings the PROPSHEETPAGEW whose lParam is the sheet
// context) and the two name dialogs (WM_INITDIALOG brings the sheet context; the accepted name is
// left in its new-name buffer, the result, 1 OK or 2 Cancel, in its dialog result).
INT_PTR CALLBACK ProfilesPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SaveProfileNameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RenameProfileProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corv::ui
