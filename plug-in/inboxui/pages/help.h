// Help for every page: the help file is found among the driver's dependent files when a sheet is
// created, and shown as compiled HTML help or classic help beside the property sheet.
#pragma once

#include <windows.h>

namespace corv::ui {

// Entries are examined in a buffer of this many characters, terminator included.
inline constexpr DWORD kHelpEntryCapacity = 260;

// Finds the first dependent file of the printer's driver whose name holds ".chm" or ".hlp" in any
// case. size receives the bytes its lower-case path needs (terminator included); with a buffer it
// is also copied there, cut to capacity characters. FALSE when there is none.
BOOL FindHelpFile(HANDLE printer, WCHAR* buffer, DWORD capacity, DWORD* size);

// The pure half over a dependent-files list (strings one after another, ended by an empty one).
BOOL FindHelpEntry(const WCHAR* dependentFiles, WCHAR* buffer, DWORD capacity, DWORD* size);

enum class HelpKind { None, Html, Classic };
HelpKind HelpKindOf(const WCHAR* path);

// The HTML help entry point (HtmlHelpW, ordinal 15 of the HTML help control), bound once per
// process; null when it could not be bound, then and at every later call.
using HtmlHelpFn = HWND(WINAPI*)(HWND caller, const WCHAR* file, UINT command, DWORD_PTR data);
HtmlHelpFn HtmlHelpEntry();

// Shows the help file for a page: compiled HTML help on its index, placed beside the page's
// property sheet, or classic help's finder. Nothing for a null path or a file of another kind.
void ShowHelp(HWND page, const WCHAR* helpFile);

// The same with the viewers given: the HTML help entry (asked for only when an HTML help file is
// shown) and WinHelpW. ShowHelp passes the platform's.
struct HelpViewers {
    HtmlHelpFn (*htmlHelp)();
    BOOL(WINAPI* winHelp)(HWND window, LPCWSTR file, UINT command, ULONG_PTR data);
};
void ShowHelp(const HelpViewers& viewers, HWND page, const WCHAR* helpFile);

// The library the HTML help control is registered with (the default value of its InprocServer32
// key, ANSI); false when the value is missing, not a string or does not fit.
bool RegisteredHtmlHelpLibrary(char (&path)[MAX_PATH]);

// Sheet and help window side by side in the middle of the desktop.
struct BesideHelp {
    RECT sheet;
    RECT help;
};
BesideHelp ArrangeBesideHelp(const RECT& sheet, const RECT& desktop);

void PlaceBesideHelp(HWND sheet, HWND help);

}  // namespace corv::ui
