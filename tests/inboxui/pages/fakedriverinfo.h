// The spooler's driver information for a printer Wine does not have: GetPrinterDriverW at levels
// 3 and 6 answered from the test's own file names, packed after the structure the way the spooler
// packs them (size first, then the data).
#pragma once

#include "tests/support/iatpatch_ui.h"

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace corvtest {

struct DriverFiles {
    bool available = true;
    std::wstring configFile;
    std::wstring driverPath;
    std::vector<std::wstring> dependentFiles;
    int calls = 0;
};
inline DriverFiles g_driverFiles;

inline BOOL WINAPI FakeGetPrinterDriverW(HANDLE printer, LPWSTR, DWORD level, LPBYTE buffer, DWORD size,
                                         LPDWORD needed) {
    ++g_driverFiles.calls;
    if (!printer || !g_driverFiles.available || (level != 3 && level != 6)) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const DriverFiles& f = g_driverFiles;
    std::wstring strings = f.configFile + L'\0' + f.driverPath + L'\0';
    size_t dependentsAt = strings.size();
    for (const auto& d : f.dependentFiles) strings += d + L'\0';
    strings += L'\0';
    size_t head = level == 3 ? sizeof(DRIVER_INFO_3W) : sizeof(DRIVER_INFO_6W);
    DWORD want = static_cast<DWORD>(head + strings.size() * sizeof(WCHAR));
    if (needed) *needed = want;
    if (!buffer || size < want) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memset(buffer, 0, head);
    auto* text = reinterpret_cast<WCHAR*>(buffer + head);
    memcpy(text, strings.data(), strings.size() * sizeof(WCHAR));
    WCHAR* config = text;
    WCHAR* driver = text + f.configFile.size() + 1;
    WCHAR* dependents = text + dependentsAt;
    if (level == 3) {
        auto* info = reinterpret_cast<DRIVER_INFO_3W*>(buffer);
        info->cVersion = 3;
        info->pConfigFile = config;
        info->pDriverPath = driver;
        info->pDependentFiles = dependents;
    } else {
        auto* info = reinterpret_cast<DRIVER_INFO_6W*>(buffer);
        info->cVersion = 3;
        info->pConfigFile = config;
        info->pDriverPath = driver;
        info->pDependentFiles = dependents;
    }
    return TRUE;
}

// Installs the stand-in for the test program's own imports for the life of the object.
struct SpoolerDriverInfo {
    ExeImportPatch patch{"winspool.drv", "GetPrinterDriverW", reinterpret_cast<void*>(&FakeGetPrinterDriverW)};
    SpoolerDriverInfo() { g_driverFiles = DriverFiles{}; }
    ~SpoolerDriverInfo() { g_driverFiles = DriverFiles{}; }
};

}  // namespace corvtest
