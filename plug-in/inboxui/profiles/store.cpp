#include "plug-in/inboxui/profiles/store.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/store/modelkey.h"

#include <iterator>

namespace corv::ui {

// ---- Registry --------------------------------------------------------------------------------

namespace {

constexpr WCHAR kProfilesKey[] = L"Profiles";
// Where a changed profile is written before it replaces the old one; no profile can have this
// name, since names hold no period.
constexpr WCHAR kChangingName[] = L"..changing";

// A profile name is 1 to 127 characters; a longer one would be cut to the name of another key.
bool HasName(const WCHAR* name) {
    return name && name[0] && BoundedLength(name, kProfileNameCapacity) < kProfileNameCapacity;
}

// The model key for writing (created when missing), then "Profiles\<name>" for reading, setting
// values and creating subkeys (created when missing); an empty name gives the Profiles key.
UniqueKey OpenProfileKey(HANDLE printer, const WCHAR* name) {
    UniqueKey model = CreateModelKey(printer, KEY_WRITE);
    if (!model) return {};
    WCHAR path[kProfileNameCapacity + 16];
    if (HasName(name))
        FormatText(path, std::size(path), L"Profiles\\%ls", name);
    else
        CopyText(path, kProfilesKey);
    UniqueKey key;
    if (RegCreateKeyExW(model.get(), path, 0, nullptr, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return {};
    return key;
}

enum class Next { Value, Skip, End };

Next ReadValue(HKEY key, DWORD index, StoredValue* value) {
    DWORD nameLength = kProfileNameCapacity;
    value->bytes = sizeof(value->data);
    value->type = REG_NONE;
    LSTATUS status =
        RegEnumValueW(key, index, value->name, &nameLength, nullptr, &value->type, value->data, &value->bytes);
    if (status == ERROR_SUCCESS) return Next::Value;
    if (status == ERROR_MORE_DATA) return Next::Skip;
    return Next::End;
}

// A profile saved before the driver's page gave its option list holds no driver option, only the
// "7" that every save writes first as 0; that 0 is no selection and must not reach the driver's
// option 7.
bool HoldsDriverOptions(HKEY key) {
    for (DWORD index = 0;; ++index) {
        WCHAR name[kProfileNameCapacity];
        DWORD length = kProfileNameCapacity;
        LSTATUS status = RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) return true;  // a text option's long name
        if (status != ERROR_SUCCESS) return false;
        if (wcscmp(name, kDuplexValue) != 0 && CompareStringOrdinal(name, -1, kProfileRecordValue, -1, TRUE) != CSTR_EQUAL)
            return true;
    }
}

// Whether a stored value is to be taken as a driver option's.
bool CountsAsOption(const StoredValue& value, bool holdsOptions) {
    return holdsOptions || wcscmp(value.name, kDuplexValue) != 0;
}

BOOL WriteValue(HKEY key, const WCHAR* name, DWORD type, const void* data, DWORD bytes) {
    return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
}

}  // namespace

bool IsReservedName(const WCHAR* name) {
    if (!name) return false;
    for (UINT reserved : {IDS_PROFILE_FACTORY_DEFAULTS, IDS_PROFILE_UNKNOWN}) {
        WCHAR text[kProfileNameCapacity];
        if (LoadText(reserved, text) && CompareStringOrdinal(name, -1, text, -1, TRUE) == CSTR_EQUAL) return true;
    }
    return false;
}

int ListProfiles(HANDLE printer, HWND listBox) {
    UniqueKey profiles = OpenProfileKey(printer, L"");
    if (!profiles) return 0;
    WCHAR factory[kProfileNameCapacity];
    LoadText(IDS_PROFILE_FACTORY_DEFAULTS, factory);
    int count = 0;
    DWORD longest = 0;
    for (;; ++count) {
        WCHAR name[kProfileNameCapacity];
        DWORD length = kProfileNameCapacity;
        LSTATUS status = RegEnumKeyExW(profiles.get(), count, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // longer than any profile name: counted, not listed
        if (status != ERROR_SUCCESS) break;
        if (length > longest) longest = length;
        if (wcscmp(name, factory) != 0) SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    if (listBox) SetListExtent(listBox, longest, reinterpret_cast<HFONT>(SendMessageW(listBox, WM_GETFONT, 0, 0)));
    return count;
}

bool ProfileExists(HANDLE printer, const WCHAR* name) {
    // Key names ignore case as profile names do: opening the key asks the registry directly,
    // without walking every profile. No key name holds a backslash; such a name would open a path.
    if (!HasName(name) || wcschr(name, L'\\')) return false;
    UniqueKey profiles = OpenProfileKey(printer, L"");
    if (!profiles) return false;
    UniqueKey key;
    return RegOpenKeyExW(profiles.get(), name, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

BOOL SaveProfile(HANDLE printer, const WCHAR* name, const ProfileSettings& current) {
    if (!HasName(name) || !current.workingCopy) return FALSE;
    UniqueKey key = OpenProfileKey(printer, name);
    if (!key) return FALSE;
    DWORD zero = 0;
    BOOL ok = WriteValue(key.get(), kDuplexValue, REG_DWORD, &zero, sizeof(zero));
    for (DWORD i = 0; current.options && i < current.optionCount; ++i) {
        const OPTITEM& option = current.options[i];
        BYTE type = 0;
        if (!StoredOptionType(option, &type)) continue;
        WCHAR valueName[kProfileNameCapacity];
        ProfileValueName(option, valueName);
        if (type == TVOT_EDITBOX) {
            const WCHAR* text = OptionText(option);
            if (!text) continue;
            DWORD capacity = EditTextCapacity(option);
            WCHAR stored[kProfileNameCapacity];
            CopyText(stored, text, capacity && capacity < kProfileNameCapacity ? capacity : kProfileNameCapacity - 1);
            DWORD bytes = static_cast<DWORD>((wcslen(stored) + 1) * sizeof(WCHAR));
            ok = WriteValue(key.get(), valueName, REG_SZ, stored, bytes) && ok;
        } else {
            DWORD selection = static_cast<DWORD>(option.Sel);
            ok = WriteValue(key.get(), valueName, REG_DWORD, &selection, sizeof(selection)) && ok;
        }
    }
    return WriteValue(key.get(), kProfileRecordValue, REG_BINARY, current.workingCopy, sizeof(JobSettings)) && ok;
}

BOOL LoadProfile(HANDLE printer, const WCHAR* name, const ProfileSettings& current) {
    if (!HasName(name)) return FALSE;
    UniqueKey key = OpenProfileKey(printer, name);
    if (!key) return FALSE;
    HeapArray<StoredValue> value(1);
    if (!value) return FALSE;
    const bool holdsOptions = HoldsDriverOptions(key.get());
    for (DWORD index = 0;; ++index) {
        Next next = ReadValue(key.get(), index, value.get());
        if (next == Next::End) break;
        if (next == Next::Skip) continue;
        const StoredValue& stored = *value.get();
        OPTITEM* option = CountsAsOption(stored, holdsOptions) ? ApplyStoredOption(current, stored) : nullptr;
        if (option) {
            POEMUIOBJ ui = current.uiObject;
            if (ui && ui->pOemUIProcs && ui->pOemUIProcs->DrvUpdateUISetting)
                ui->pOemUIProcs->DrvUpdateUISetting(ui, option, 0, OEMCUIP_DOCPROP);
        }
        JobSettings repaired;
        const JobSettings* record = StoredRecord(stored, &repaired);
        if (record && current.workingCopy) CopyProfileFieldSet(current.workingCopy, record);
    }
    return TRUE;
}

bool ProfileMatchesCurrentSettings(HANDLE printer, const WCHAR* name, const ProfileSettings& current) {
    if (!HasName(name)) return true;
    UniqueKey key = OpenProfileKey(printer, name);
    if (!key) return true;
    HeapArray<StoredValue> value(1);
    if (!value) return true;
    const bool holdsOptions = HoldsDriverOptions(key.get());
    for (DWORD index = 0;; ++index) {
        Next next = ReadValue(key.get(), index, value.get());
        if (next == Next::End) return true;
        if (next == Next::Skip) continue;
        const StoredValue& stored = *value.get();
        if (CountsAsOption(stored, holdsOptions) && !StoredOptionMatches(current, stored)) return false;
        JobSettings repaired;
        const JobSettings* record = StoredRecord(stored, &repaired);
        if (record && current.workingCopy && !RecordsMatch(*record, *current.workingCopy)) return false;
    }
}

BOOL DeleteProfile(HANDLE printer, const WCHAR* name) {
    // An empty name would name the Profiles key itself, and with it every profile.
    if (!HasName(name)) return FALSE;
    UniqueKey profiles = OpenProfileKey(printer, L"");
    if (!profiles) return FALSE;
    return RegDeleteKeyW(profiles.get(), name) == ERROR_SUCCESS;
}

BOOL RenameProfile(HANDLE printer, const WCHAR* oldName, const WCHAR* newName) {
    if (!HasName(oldName) || !HasName(newName)) return FALSE;
    // Key names ignore case: "renaming" onto the same key and then deleting it would lose it.
    if (CompareStringOrdinal(oldName, -1, newName, -1, TRUE) == CSTR_EQUAL) return FALSE;
    UniqueKey from = OpenProfileKey(printer, oldName);
    UniqueKey to = OpenProfileKey(printer, newName);
    if (!from || !to) return FALSE;
    DWORD values = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(from.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return FALSE;
    HeapArray<WCHAR> name(longestName + 1);
    HeapArray<BYTE> data(longestData + 1);
    if (!name || !data) return FALSE;
    // Every value is copied whole, whatever its name, type or size; the old profile goes only
    // when all of it has arrived, so a failed copy loses nothing.
    for (DWORD index = 0; index < values; ++index) {
        DWORD nameLength = longestName + 1, type = 0, bytes = longestData + 1;
        if (RegEnumValueW(from.get(), index, name.get(), &nameLength, nullptr, &type, data.get(), &bytes) !=
                ERROR_SUCCESS ||
            !WriteValue(to.get(), name.get(), type, data.get(), bytes))
            return FALSE;
    }
    from.reset();
    return DeleteProfile(printer, oldName);
}

BOOL OverwriteProfile(HANDLE printer, const WCHAR* name, const ProfileSettings& current) {
    if (!HasName(name)) return FALSE;
    // Written aside first and moved over the old one only once whole: a save that fails leaves
    // the profile as it was.
    DeleteProfile(printer, kChangingName);
    if (!SaveProfile(printer, kChangingName, current)) {
        DeleteProfile(printer, kChangingName);
        return FALSE;
    }
    DeleteProfile(printer, name);
    return RenameProfile(printer, kChangingName, name);
}

}  // namespace corv::ui
