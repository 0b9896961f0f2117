// The model key, HKEY_CURRENT_USER\Software\Corvane\RIViroRo\<driver name>: the root of all the
// UI plug-in keeps per user and printer model (named watermarks, the last print-and-hold user
// name and fax record, personal profiles). Every printer of one driver shares it. This unit alone
// knows where it is; the watermark and profile stores open it through here.
#pragma once

#include "common/handles.h"

#include <windows.h>

namespace corv::ui {

inline constexpr WCHAR kStoreRootPath[] = L"Software\\Corvane\\RIViroRo";

// "Software\Corvane\RIViroRo\<driver name>" for the printer's driver (GetPrinterW level 2), in a
// new block; null when the printer cannot be asked, has no driver name, or memory runs out.
HeapArray<WCHAR> GetModelKeyPath(HANDLE printer);

// The same path for a driver name given directly; null for a null or empty name.
HeapArray<WCHAR> ModelKeyPathForDriver(const WCHAR* driverName);

// A key below root; empty when it is missing (open) or cannot be made (create), or path is null.
UniqueKey OpenKey(HKEY root, const WCHAR* path, REGSAM access);
UniqueKey CreateKey(HKEY root, const WCHAR* path, REGSAM access);

// The printer's model key under the current user: opened when it exists, or created when missing.
UniqueKey OpenModelKey(HANDLE printer, REGSAM access);
UniqueKey CreateModelKey(HANDLE printer, REGSAM access);
UniqueKey CreateModelKeyForDriver(const WCHAR* driverName, REGSAM access);

}  // namespace corv::ui
