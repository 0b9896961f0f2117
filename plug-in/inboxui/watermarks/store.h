// The per-user, per-model registry store: named watermarks, the watermark counter, the last
// print-and-hold user name and the last fax record, all under the model key (store/modelkey.h).
//
// Nothing here shows a message; callers decide what to tell the user. Every operation opens and
// closes its own keys, and every value read is checked for its type and size before it is used.
#pragma once

#include "common/handles.h"
#include "common/record.h"

#include <windows.h>

namespace corv::ui {

inline constexpr WCHAR kWatermarksKeyName[] = L"Watermarks";
inline constexpr WCHAR kLastUserNameValue[] = L"LastUserName";
inline constexpr WCHAR kFaxInfoValue[] = L"FaxInfo";
inline constexpr WCHAR kWatermarkCounterValue[] = L"NumberOfWaterMarks";
inline constexpr WCHAR kDefaultUserKeyName[] = L".DEFAULT";

// Characters a stored user name may have; the buffer for it needs one more for the terminator.
inline constexpr DWORD kLastUserNameMax = 24;

// The model key's "Watermarks" subkey: opened for reading, or created (with the model key) for
// writing. An empty key means failure.
UniqueKey OpenWatermarksKey(HANDLE printer);
UniqueKey CreateWatermarksKey(HANDLE printer);

// Reads the watermark of that name. Only a REG_BINARY value of 1 to 704 bytes counts; a shorter
// value leaves the fields it does not reach at their defaults. The record is untouched on failure.
bool ReadWatermark(HANDLE printer, const WCHAR* name, WatermarkRecord* record);
bool WatermarkExists(HANDLE printer, const WCHAR* name);

// Adds or replaces the watermark named by the record's szName and keeps the counter: one more
// for a name that was not stored before.
bool SaveWatermark(HANDLE printer, const WatermarkRecord* record);

// As SaveWatermark for a driver name, without touching the counter (the default install).
bool SaveModelWatermark(const WCHAR* driverName, const WatermarkRecord* record);

// Deletes the watermark of that name; on success the counter goes down by one, without bound.
bool DeleteWatermark(HANDLE printer, const WCHAR* name);

// The number of values of the Watermarks key by enumeration; 0 when the key is missing or the
// walk fails.
int CountWatermarks(HANDLE printer);

// Appends every value name of the Watermarks key to the list box and widens its horizontal
// extent to the longest name. True for a complete walk and for an empty key.
bool ListWatermarks(HANDLE printer, HWND listBox);

// NumberOfWaterMarks: 0 when missing or not a 4-byte REG_DWORD.
int ReadWatermarkCounter(HANDLE printer);
bool WriteWatermarkCounter(HANDLE printer, int count);

// The four default watermarks ("Draft", "Confidential", "Username", "Date and Time") under the
// driver's model key. True when all four were written.
bool InstallDefaultWatermarks(const WCHAR* driverName);

// The first-use copy from HKEY_USERS\.DEFAULT into the current user, done only while the user has
// no model key for the printer's driver. True when at least one value was copied.
bool CopyDefaultUserSettings(HANDLE printer);

// LastUserName into a buffer of at least 25 characters; only a REG_SZ value whose text fits with
// its terminator counts. The buffer is untouched on failure.
bool ReadLastUserName(HANDLE printer, WCHAR* buffer, DWORD capacity);
// Refuses names of 25 or more characters.
bool WriteLastUserName(HANDLE printer, const WCHAR* name);

// FaxInfo: a REG_BINARY value of 1 to 4748 bytes is read over the start of the record; the
// record is untouched on failure.
bool ReadFaxInfo(HANDLE printer, FaxRecord* fax);
bool WriteFaxInfo(HANDLE printer, const FaxRecord* fax);

// What the bytes of a stored value mean, apart from the registry call that read them (size: the
// bytes the registry answered, all readable at data). Each is false, and leaves its output
// untouched, for a value that counts as absent.
bool WatermarkFromValue(const void* data, DWORD size, WatermarkRecord* record);  // 1 to 704 bytes
bool FaxInfoFromValue(const void* data, DWORD size, FaxRecord* fax);             // 1 to 4748 bytes
// A text that ends within the buffer, with its terminator, or at the end of the value.
bool LastUserNameFromValue(const WCHAR* data, DWORD size, WCHAR* buffer, DWORD capacity);

}  // namespace corv::ui
