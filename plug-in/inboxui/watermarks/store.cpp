#include "plug-in/inboxui/watermarks/store.h"

#include "common/text.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/store/modelkey.h"

#include <winspool.h>

#include <cstring>
#include <cwchar>
#include <iterator>

namespace corv::ui {
namespace {

// RegEnumValueW's name buffer for watermark names; longer names are counted, never listed.
constexpr DWORD kEnumNameChars = 128;
constexpr DWORD kMaxStringUnits = 32768;


// One read with the buffer's full size: a value that does not fit answers ERROR_MORE_DATA and
// counts as absent, so a value that grows between two calls can never overrun the buffer.
// Returns the bytes read, or 0 when the value is missing, of another type, empty or too long.
DWORD ReadValue(HKEY key, const WCHAR* name, DWORD wantedType, void* buffer, DWORD capacity) {
    DWORD type = 0;
    DWORD size = capacity;
    if (RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) return 0;
    if (type != wantedType || size > capacity) return 0;
    return size;
}

// A watermark value as stored: REG_BINARY of 1 to 704 bytes.
DWORD ReadWatermarkValue(HKEY watermarks, const WCHAR* name, WatermarkRecord* scratch) {
    std::memset(scratch, 0, sizeof *scratch);
    return ReadValue(watermarks, name, REG_BINARY, scratch, sizeof *scratch);
}

bool WriteBinary(HKEY key, const WCHAR* name, const void* data, DWORD size) {
    return RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool UsableName(const WCHAR* name) { return name && name[0]; }

// The record as it goes into the registry: its name ends within the array, so the value name
// and szName are the same text, and no stale padding leaves the process.
void StoredForm(const WatermarkRecord& record, WatermarkRecord* stored) {
    std::memset(stored, 0, sizeof *stored);
    CopyWatermarkRecord(stored, &record);
}

bool WriteWatermarkValue(HKEY watermarks, const WatermarkRecord& record) {
    WatermarkRecord stored;
    StoredForm(record, &stored);
    return WriteBinary(watermarks, stored.szName, &stored, sizeof stored);
}

// Value names of a key in index order; the callback gets the name, or null for a name that did
// not fit the buffer (ERROR_MORE_DATA: it still counts). The walk succeeds only when it ends
// with ERROR_NO_MORE_ITEMS; *firstCallFailed tells an empty key's odd answers apart.
template <typename OnName>
bool WalkValueNames(HKEY key, OnName onName, bool* firstCallFailed = nullptr) {
    WCHAR name[kEnumNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD chars = kEnumNameChars;
        LSTATUS rc = RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_SUCCESS) {
            name[kEnumNameChars - 1] = 0;
            onName(name);
        } else if (rc == ERROR_MORE_DATA) {
            onName(static_cast<const WCHAR*>(nullptr));
        } else {
            if (firstCallFailed) *firstCallFailed = index == 0;
            return rc == ERROR_NO_MORE_ITEMS;
        }
    }
}

// Copies every value of one key into another, from the last index down to 0, as the values are
// (name, type, data). Stops at the first failing read or write. Returns the number copied and
// reports the source's value count and whether it had named values at all.
struct CopyResult {
    DWORD copied = 0;
    DWORD reported = 0;
    bool hadNames = false;
};

CopyResult CopyValues(HKEY from, HKEY to) {
    CopyResult result;
    DWORD values = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(from, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return result;
    result.reported = values;
    result.hadNames = values > 0 && longestName > 0;
    if (!result.hadNames) return result;

    HeapArray<WCHAR> name(longestName + 1);
    HeapArray<BYTE> data(longestData ? longestData : 1);  // values may all be empty
    if (!name || !data) return result;

    for (DWORD index = values; index-- > 0;) {
        DWORD nameChars = longestName + 1;
        DWORD dataSize = longestData;
        DWORD type = 0;
        if (RegEnumValueW(from, index, name.get(), &nameChars, nullptr, &type, data.get(), &dataSize) !=
            ERROR_SUCCESS)
            break;
        if (RegSetValueExW(to, name.get(), 0, type, data.get(), dataSize) != ERROR_SUCCESS) break;
        ++result.copied;
    }
    return result;
}

struct DefaultWatermark {
    UINT name;
    UINT text;
    double angle;
    BYTE gray;  // the same value in red, green and blue
    LONG pointSize;
    DWORD position;
    DWORD dynamic;
};

constexpr DefaultWatermark kDefaultWatermarks[] = {
    {IDS_DEFWM_DRAFT_NAME, IDS_DEFWM_DRAFT_TEXT, 45.0, 205, 72, 0, 0},
    {IDS_DEFWM_CONFIDENTIAL_NAME, IDS_DEFWM_CONFIDENTIAL_TEXT, 45.0, 205, 72, 0, 0},
    {IDS_DEFWM_USERNAME_NAME, IDS_DEFWM_USERNAME_TEXT, 0.0, 0, 8, 2, 1},
    {IDS_DEFWM_DATETIME_NAME, IDS_DEFWM_DATETIME_TEXT, 0.0, 0, 8, 7, 1},
};

void BuildDefaultWatermark(const DefaultWatermark& d, WatermarkRecord* wm) {
    std::memset(wm, 0, sizeof *wm);
    InitWatermarkRecord(wm);
    LoadText(d.name, wm->szName);
    LoadText(d.text, wm->szText);
    LoadText(IDS_DEFWM_FONT, wm->szFontName);
    wm->dblAngle = d.angle;
    wm->rgbColor[0] = wm->rgbColor[1] = wm->rgbColor[2] = d.gray;
    wm->rgbColor[3] = 0;
    wm->lPointSize = d.pointSize;
    wm->dwPosition = d.position;
    wm->bDynamic = d.dynamic;
}

}  // namespace

UniqueKey OpenWatermarksKey(HANDLE printer) {
    UniqueKey model = OpenModelKey(printer, KEY_READ);
    if (!model) return UniqueKey();
    return OpenKey(model.get(), kWatermarksKeyName, KEY_READ);
}

UniqueKey CreateWatermarksKey(HANDLE printer) {
    UniqueKey model = CreateModelKey(printer, KEY_WRITE);
    if (!model) return UniqueKey();
    return CreateKey(model.get(), kWatermarksKeyName, KEY_WRITE);
}

bool ReadWatermark(HANDLE printer, const WCHAR* name, WatermarkRecord* record) {
    if (!printer || !UsableName(name) || !record) return false;
    UniqueKey key = OpenWatermarksKey(printer);
    if (!key) return false;
    WatermarkRecord scratch;
    DWORD size = ReadWatermarkValue(key.get(), name, &scratch);
    return WatermarkFromValue(&scratch, size, record);
}

bool WatermarkExists(HANDLE printer, const WCHAR* name) {
    WatermarkRecord scratch;
    return ReadWatermark(printer, name, &scratch);
}

bool SaveWatermark(HANDLE printer, const WatermarkRecord* record) {
    if (!printer || !record) return false;
    WatermarkRecord stored;
    StoredForm(*record, &stored);
    if (!UsableName(stored.szName)) return false;

    int counter = ReadWatermarkCounter(printer);
    bool existed = WatermarkExists(printer, stored.szName);
    UniqueKey key = CreateWatermarksKey(printer);
    if (!key || !WriteBinary(key.get(), stored.szName, &stored, sizeof stored)) return false;
    if (!existed) WriteWatermarkCounter(printer, counter + 1);
    return true;
}

bool SaveModelWatermark(const WCHAR* driverName, const WatermarkRecord* record) {
    if (!record || !UsableName(record->szName)) return false;
    UniqueKey model = CreateModelKeyForDriver(driverName, KEY_WRITE);
    if (!model) return false;
    UniqueKey key = CreateKey(model.get(), kWatermarksKeyName, KEY_WRITE);
    return key && WriteWatermarkValue(key.get(), *record);
}

bool DeleteWatermark(HANDLE printer, const WCHAR* name) {
    if (!printer || !UsableName(name)) return false;
    int counter = ReadWatermarkCounter(printer);
    UniqueKey model = OpenModelKey(printer, KEY_WRITE);
    if (!model) return false;
    UniqueKey key = OpenKey(model.get(), kWatermarksKeyName, KEY_WRITE);
    if (!key || RegDeleteValueW(key.get(), name) != ERROR_SUCCESS) return false;
    WriteWatermarkCounter(printer, counter - 1);
    return true;
}

int CountWatermarks(HANDLE printer) {
    UniqueKey key = OpenWatermarksKey(printer);
    if (!key) return 0;
    int count = 0;
    bool complete = WalkValueNames(key.get(), [&](const WCHAR*) { ++count; });
    return complete ? count : 0;
}

bool ListWatermarks(HANDLE printer, HWND listBox) {
    if (!printer || !listBox) return false;
    UniqueKey key = OpenWatermarksKey(printer);
    if (!key) return false;
    size_t longest = 0;
    int added = 0;
    bool firstCallFailed = false;
    bool complete = WalkValueNames(
        key.get(),
        [&](const WCHAR* name) {
            // A name too long for the buffer came back cut or unterminated: it names no watermark
            // that the pages could read, so it is not shown.
            if (!name) return;
            SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            size_t length = std::wcslen(name);
            if (length > longest) longest = length;
            ++added;
        },
        &firstCallFailed);
    if (added > 0) SetListExtent(listBox, longest, nullptr);
    return complete || firstCallFailed;
}

int ReadWatermarkCounter(HANDLE printer) {
    UniqueKey model = OpenModelKey(printer, KEY_READ);
    if (!model) return 0;
    DWORD value = 0;
    if (ReadValue(model.get(), kWatermarkCounterValue, REG_DWORD, &value, sizeof value) != sizeof value) return 0;
    return static_cast<int>(value);
}

bool WriteWatermarkCounter(HANDLE printer, int count) {
    if (!printer) return false;
    UniqueKey model = CreateModelKey(printer, KEY_WRITE);
    if (!model) return false;
    DWORD value = static_cast<DWORD>(count);
    return RegSetValueExW(model.get(), kWatermarkCounterValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool InstallDefaultWatermarks(const WCHAR* driverName) {
    if (!UsableName(driverName)) return false;
    bool all = true;
    for (const DefaultWatermark& d : kDefaultWatermarks) {
        WatermarkRecord wm;
        BuildDefaultWatermark(d, &wm);
        if (!SaveModelWatermark(driverName, &wm)) all = false;
    }
    return all;
}

bool CopyDefaultUserSettings(HANDLE printer) {
    if (!printer) return false;
    HeapArray<WCHAR> path = GetModelKeyPath(printer);
    if (!path) return false;
    if (UniqueKey existing = OpenKey(HKEY_CURRENT_USER, path.get(), KEY_READ)) return false;

    UniqueKey defaultUser = OpenKey(HKEY_USERS, kDefaultUserKeyName, KEY_READ);
    if (!defaultUser) return false;
    UniqueKey defaultModel = OpenKey(defaultUser.get(), path.get(), KEY_READ);
    if (!defaultModel) return false;

    UniqueKey userModel = CreateKey(HKEY_CURRENT_USER, path.get(), KEY_WRITE);
    if (!userModel) return false;
    DWORD copied = CopyValues(defaultModel.get(), userModel.get()).copied;

    CopyResult watermarks;
    if (UniqueKey defaultWatermarks = OpenKey(defaultModel.get(), kWatermarksKeyName, KEY_READ)) {
        if (UniqueKey userWatermarks = CreateWatermarksKey(printer)) {
            watermarks = CopyValues(defaultWatermarks.get(), userWatermarks.get());
            copied += watermarks.copied;
        }
    }
    if (watermarks.hadNames && copied > 0) WriteWatermarkCounter(printer, static_cast<int>(watermarks.reported));
    return copied > 0;
}

bool ReadLastUserName(HANDLE printer, WCHAR* buffer, DWORD capacity) {
    if (!printer || !buffer || capacity < kLastUserNameMax + 1) return false;
    UniqueKey model = OpenModelKey(printer, KEY_READ);
    if (!model) return false;
    // No registry string is longer than this; the bound keeps the byte count from overflowing.
    DWORD units = capacity < kMaxStringUnits ? capacity : kMaxStringUnits;
    HeapArray<WCHAR> scratch(units);
    if (!scratch) return false;
    DWORD size = ReadValue(model.get(), kLastUserNameValue, REG_SZ, scratch.get(), units * sizeof(WCHAR));
    return LastUserNameFromValue(scratch.get(), size, buffer, units);
}

bool WriteLastUserName(HANDLE printer, const WCHAR* name) {
    if (!printer || !name) return false;
    size_t length = BoundedLength(name, kLastUserNameMax + 1);
    if (length > kLastUserNameMax) return false;
    UniqueKey model = CreateModelKey(printer, KEY_WRITE);
    if (!model) return false;
    return RegSetValueExW(model.get(), kLastUserNameValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                          static_cast<DWORD>((length + 1) * sizeof(WCHAR))) == ERROR_SUCCESS;
}

bool ReadFaxInfo(HANDLE printer, FaxRecord* fax) {
    if (!printer || !fax) return false;
    UniqueKey model = OpenModelKey(printer, KEY_READ);
    if (!model) return false;
    HeapArray<FaxRecord> scratch(1);
    if (!scratch) return false;
    DWORD size = ReadValue(model.get(), kFaxInfoValue, REG_BINARY, scratch.get(), sizeof(FaxRecord));
    return FaxInfoFromValue(scratch.get(), size, fax);
}

bool WriteFaxInfo(HANDLE printer, const FaxRecord* fax) {
    if (!printer || !fax) return false;
    UniqueKey model = CreateModelKey(printer, KEY_WRITE);
    if (!model) return false;
    return WriteBinary(model.get(), kFaxInfoValue, fax, sizeof *fax);
}

}  // namespace corv::ui
