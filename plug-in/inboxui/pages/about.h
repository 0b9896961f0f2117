// The About page: the printer model, the plug-in's version and the driver's files with their file
// versions. The last page of the document sheet and the only page of the printer sheet.
#pragma once

#include <windows.h>
#include <winspool.h>

namespace corv::ui {

inline constexpr size_t kVersionTextCapacity = 128;

// The version text of one file: naText when the file has no version resource, else its first
// translation's FileVersion. False when the file gets no row (translation or text missing or
// empty, or the resource unreadable).
bool ReadFileVersionText(const WCHAR* path, const WCHAR* naText, WCHAR* out, size_t capacity);

// The part of a path after its last backslash; the whole path when there is none.
const WCHAR* FileNameOfPath(const WCHAR* path);

// Receives one row of the file list: the file name and its version text.
using AddFileRow = void (*)(void* context, const WCHAR* name, const WCHAR* version);

// Gives a row, in this order, to the configuration file, the driver file and each dependent file;
// files without a row are passed over. Returns the number of rows given.
int BuildFileList(const DRIVER_INFO_3W* driver, const WCHAR* naText, AddFileRow add, void* context);

// Dialog procedure of the About templates (document sheet and printer sheet). WM_INITDIALOG's
// lParam is the PROPSHEETPAGEW whose lParam is the sheet context (which may be null).
INT_PTR CALLBACK AboutPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corv::ui
