// This user's printing preferences for corvhost's printer: the DEVMODE the preferences sheet
// returned at OK, kept as the spooler keeps a per-user DEVMODE, a REG_BINARY value named after
// the printer under HKEY_CURRENT_USER\Printers\DevModePerUser (of the Wine prefix). `corvhost
// prefs` opens the sheet on them and keeps what OK returns; `corvhost` prints with them unless
// --no-prefs; `corvhost prefs --reset` forgets them.
#pragma once

#include "host/kit/devmodes.h"

#include <string>

namespace corv::host {

// The stored preferences as a DEVMODE whose plug-in part has privateSize bytes; false when there
// are none or they are of another shape (another plug-in version wrote them).
bool ReadUserPreferences(const std::wstring& printer, DWORD privateSize, DevModeBuffer* dm);
bool WriteUserPreferences(const std::wstring& printer, const DevModeBuffer& dm, std::string* error);
// True when there were preferences to forget.
bool ForgetUserPreferences(const std::wstring& printer);

}  // namespace corv::host
