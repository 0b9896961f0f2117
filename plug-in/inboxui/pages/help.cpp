#include "plug-in/inboxui/pages/help.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/spooler.h"

#include <winspool.h>

#include <cstring>
#include <cwchar>

namespace corv::ui {

namespace {

constexpr UINT kHtmlDisplayIndex = 2;   // HH_DISPLAY_INDEX
constexpr UINT kClassicFinder = 11;     // HELP_FINDER
constexpr WORD kHtmlHelpOrdinal = 15;   // HtmlHelpW
constexpr char kHtmlHelpServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

}  // namespace

BOOL FindHelpEntry(const WCHAR* dependentFiles, WCHAR* buffer, DWORD capacity, DWORD* size) {
    if (size) *size = 0;
    if (!dependentFiles) return FALSE;
    for (const WCHAR* entry = dependentFiles; *entry; entry += wcslen(entry) + 1) {
        // A path of 260 characters or more is longer than any file the help viewers can open, and
        // a cut copy would name another file: such entries are passed over, not examined in part.
        size_t length = BoundedLength(entry, kHelpEntryCapacity);
        if (length >= kHelpEntryCapacity) continue;
        WCHAR lower[kHelpEntryCapacity];
        CopyText(lower, entry);
        CharLowerBuffW(lower, static_cast<DWORD>(length));
        if (!wcsstr(lower, L".chm") && !wcsstr(lower, L".hlp")) continue;
        if (buffer && capacity) CopyText(buffer, capacity, lower);
        if (size) *size = static_cast<DWORD>(length * sizeof(WCHAR) + sizeof(WCHAR));
        return TRUE;
    }
    return FALSE;
}

BOOL FindHelpFile(HANDLE printer, WCHAR* buffer, DWORD capacity, DWORD* size) {
    if (size) *size = 0;
    SpoolerBlock<DRIVER_INFO_6W> info = ReadDriverInfo6(printer);
    if (!info) return FALSE;
    return FindHelpEntry(info->pDependentFiles, buffer, capacity, size);
}

HelpKind HelpKindOf(const WCHAR* path) {
    if (!path) return HelpKind::None;
    if (wcsstr(path, L".chm")) return HelpKind::Html;
    if (wcsstr(path, L".hlp")) return HelpKind::Classic;
    return HelpKind::None;
}

bool RegisteredHtmlHelpLibrary(char (&path)[MAX_PATH]) {
    path[0] = 0;
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    char stored[MAX_PATH + 1];  // one more for a terminator the stored value may lack
    DWORD type = 0;
    DWORD bytes = MAX_PATH;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(stored), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    stored[bytes] = 0;
    if (type == REG_EXPAND_SZ) {
        DWORD n = ExpandEnvironmentStringsA(stored, path, MAX_PATH);
        if (n == 0 || n > MAX_PATH) {
            path[0] = 0;
            return false;
        }
    } else {
        if (strlen(stored) >= MAX_PATH) return false;
        CopyText(path, stored);
    }
    return path[0] != 0;
}

HtmlHelpFn HtmlHelpEntry() {
    // Bound at the first use and kept for the life of the process, as is the library: freeing it
    // while the process ends would pull the code from under help windows still open.
    static enum { kUnbound, kBound, kFailed } state = kUnbound;
    static HtmlHelpFn entry = nullptr;
    if (state == kUnbound) {
        char path[MAX_PATH];
        HMODULE library = RegisteredHtmlHelpLibrary(path) ? LoadLibraryA(path) : nullptr;
        if (!library) library = LoadLibraryW(L"hhctrl.ocx");
        if (library)
            entry = reinterpret_cast<HtmlHelpFn>(
                reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(kHtmlHelpOrdinal))));
        state = entry ? kBound : kFailed;
    }
    return entry;
}

namespace {

// WinHelpW reached through this module's import at every call, whatever stands in for it then.
BOOL WINAPI PlatformWinHelp(HWND window, LPCWSTR file, UINT command, ULONG_PTR data) {
    return WinHelpW(window, file, command, data);
}

}  // namespace

void ShowHelp(HWND page, const WCHAR* helpFile) {
    static constexpr HelpViewers kPlatform{&HtmlHelpEntry, &PlatformWinHelp};
    ShowHelp(kPlatform, page, helpFile);
}

void ShowHelp(const HelpViewers& viewers, HWND page, const WCHAR* helpFile) {
    switch (HelpKindOf(helpFile)) {
        case HelpKind::Html: {
            HtmlHelpFn htmlHelp = viewers.htmlHelp();
            if (!htmlHelp) return;
            HWND help = htmlHelp(page, helpFile, kHtmlDisplayIndex, 0);
            // The sheet moves, not the page inside it.
            if (help) PlaceBesideHelp(GetAncestor(page, GA_ROOT), help);
            return;
        }
        case HelpKind::Classic:
            viewers.winHelp(page, helpFile, kClassicFinder, 0);
            return;
        case HelpKind::None:
            return;
    }
}

BesideHelp ArrangeBesideHelp(const RECT& sheet, const RECT& desktop) {
    LONG width = sheet.right - sheet.left;
    LONG half = (desktop.right - desktop.left) / 2;
    LONG left = half - width < 0 ? 0 : half - width;
    BesideHelp placed;
    placed.sheet = {left, sheet.top, left + width, sheet.bottom};
    LONG helpRight = placed.sheet.right + width;
    if (desktop.right < helpRight) helpRight = desktop.right;
    placed.help = {placed.sheet.right, sheet.top, helpRight, sheet.bottom};
    return placed;
}

void PlaceBesideHelp(HWND sheet, HWND help) {
    WINDOWPLACEMENT sheetPlace{sizeof(sheetPlace)};
    WINDOWPLACEMENT helpPlace{sizeof(helpPlace)};
    WINDOWPLACEMENT desktopPlace{sizeof(desktopPlace)};
    if (!GetWindowPlacement(sheet, &sheetPlace) || !GetWindowPlacement(help, &helpPlace) ||
        !GetWindowPlacement(GetDesktopWindow(), &desktopPlace))
        return;
    BesideHelp placed = ArrangeBesideHelp(sheetPlace.rcNormalPosition, desktopPlace.rcNormalPosition);
    sheetPlace.rcNormalPosition = placed.sheet;
    sheetPlace.showCmd = SW_SHOWNA;
    sheetPlace.flags = 0;
    helpPlace.rcNormalPosition = placed.help;
    helpPlace.showCmd = SW_SHOW;
    helpPlace.flags = 0;
    SetWindowPlacement(sheet, &sheetPlace);
    SetWindowPlacement(help, &helpPlace);
}

}  // namespace corv::ui
