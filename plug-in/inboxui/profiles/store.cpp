#include "plug-in/inboxui/profiles/store.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/store/modelkey.h"

#include <climits>
#include <iterator>
#include <cwctype>

namespace corv::ui {

namespace {

// Profile names, like registry key names, are told apart without regard to case; the ordinal
// comparison is the one the registry itself uses, so a name found here is the key that opens.
bool SameTextIgnoreCase(const WCHAR* a, size_t aCapacity, const WCHAR* b, size_t bCapacity) {
    return CompareStringOrdinal(a, static_cast<int>(BoundedLength(a, aCapacity)), b,
                                static_cast<int>(BoundedLength(b, bCapacity)), TRUE) == CSTR_EQUAL;
}

bool SameText(const WCHAR* a, size_t aCapacity, const WCHAR* b, size_t bCapacity) {
    size_t n = BoundedLength(a, aCapacity);
    if (n != BoundedLength(b, bCapacity)) return false;
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

template <size_t N, size_t M>
bool SameText(const WCHAR (&a)[N], const WCHAR (&b)[M]) {
    return SameText(a, N, b, M);
}

}  // namespace

bool StoredOptionType(const OPTITEM& option, BYTE* type) {
    if (!option.pOptType || option.pOptType->Type > TVOT_EDITBOX) return false;
    *type = option.pOptType->Type;
    return true;
}

void ProfileValueName(const OPTITEM& option, WCHAR (&name)[kProfileNameCapacity]) {
    if (option.DMPubID != 0)
        FormatText(name, kProfileNameCapacity, L"%u", static_cast<unsigned>(option.DMPubID));
    else if (IsResourceName(option.pName))
        FormatText(name, kProfileNameCapacity, L"%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(option.pName)));
    else
        CopyText(name, option.pName);
}

LONG ValueNameNumber(const WCHAR* name) {
    if (!name) return 0;
    while (*name && std::iswspace(*name)) ++name;
    bool negative = false;
    if (*name == L'+' || *name == L'-') negative = *name++ == L'-';
    long long value = 0;
    for (; *name >= L'0' && *name <= L'9'; ++name) {
        value = value * 10 + (*name - L'0');
        if (value > static_cast<long long>(LONG_MAX) + 1) value = static_cast<long long>(LONG_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > LONG_MAX) value = LONG_MAX;
    return static_cast<LONG>(value);
}

OPTITEM* MatchOption(OPTITEM* options, DWORD count, const WCHAR* valueName) {
    if (!options || !valueName) return nullptr;
    LONG number = ValueNameNumber(valueName);
    for (DWORD i = 0; i < count; ++i) {
        OPTITEM& option = options[i];
        if (option.DMPubID != 0) {
            if (option.DMPubID == number) return &option;
        } else if (IsResourceName(option.pName)) {
            if (static_cast<LONG>(reinterpret_cast<ULONG_PTR>(option.pName)) == number) return &option;
        } else if (wcscmp(option.pName, valueName) == 0) {
            return &option;
        }
    }
    return nullptr;
}

bool SelectionInRange(const OPTITEM& option, LONG selection) {
    const OPTTYPE* type = option.pOptType;
    if (!type || !type->pOptParam) return false;
    switch (type->Type) {
        case TVOT_2STATES:
        case TVOT_3STATES:
        case TVOT_LISTBOX:
        case TVOT_COMBOBOX:
            return selection >= 0 && selection < static_cast<LONG>(type->Count);
        case TVOT_UDARROW:
        case TVOT_TRACKBAR:
        case TVOT_SCROLLBAR: {
            if (type->Count < 2) return false;
            const OPTPARAM& range = type->pOptParam[1];
            return selection >= static_cast<LONG>(range.IconID) && selection <= static_cast<LONG>(range.lParam);
        }
        default:
            return false;
    }
}

DWORD EditTextCapacity(const OPTITEM& option) {
    const OPTTYPE* type = option.pOptType;
    if (!type || type->Type != TVOT_EDITBOX || type->Count < 2 || !type->pOptParam) return 0;
    ULONG_PTR capacity = type->pOptParam[1].IconID;
    return capacity > 0xFFFF ? 0xFFFF : static_cast<DWORD>(capacity);
}

bool RecordsMatch(const JobSettings& a, const JobSettings& b) {
    const FaxRecord& fa = a.fax;
    const FaxRecord& fb = b.fax;
    bool numbers = a.bDiscardOutput == b.bDiscardOutput && a.bBlockAppPostScript == b.bBlockAppPostScript &&
                   a.bKeepDuplicateJobs == b.bKeepDuplicateJobs && a.bProfileLoaded == b.bProfileLoaded &&
                   a.bRotate180 == b.bRotate180 && a.bAccountNumber == b.bAccountNumber &&
                   a.bWatermarkPhysicalPage == b.bWatermarkPhysicalPage &&
                   a.bWatermarkOnEscape == b.bWatermarkOnEscape && a.bWatermarkOverPage == b.bWatermarkOverPage &&
                   a.bWatermarks == b.bWatermarks && a.dwOutputTo == b.dwOutputTo &&
                   a.dwWatermarkOrder == b.dwWatermarkOrder && a.wPageSizePolicy == b.wPageSizePolicy &&
                   fa.bFaxCoverPage == fb.bFaxCoverPage && fa.wFaxResolution == fb.wFaxResolution &&
                   a.dwColorCorrection == b.dwColorCorrection && a.dwRgbImage == b.dwRgbImage &&
                   a.dwRgbText == b.dwRgbText && a.dwRgbGraphics == b.dwRgbGraphics &&
                   a.dwCmykImage == b.dwCmykImage && a.dwCmykText == b.dwCmykText &&
                   a.dwCmykGraphics == b.dwCmykGraphics && a.bColorBalance == b.bColorBalance &&
                   a.lBalanceCyan == b.lBalanceCyan && a.lBalanceMagenta == b.lBalanceMagenta &&
                   a.lBalanceYellow == b.lBalanceYellow && a.lBalanceBlack == b.lBalanceBlack &&
                   a.dwPallidor == b.dwPallidor && a.lBrightness == b.lBrightness && a.lContrast == b.lContrast &&
                   a.lSaturation == b.lSaturation && a.bGrayCorrection == b.bGrayCorrection &&
                   a.bFineLines == b.bFineLines;
    if (!numbers) return false;
    if (!SameTextIgnoreCase(a.wmFirst.szName, 128, b.wmFirst.szName, 128) ||
        !SameTextIgnoreCase(a.wmOther.szName, 128, b.wmOther.szName, 128))
        return false;
    return SameText(a.szOutputFile, b.szOutputFile) && SameText(a.szHoldPin, b.szHoldPin) &&
           SameText(a.szHoldUserName, b.szHoldUserName) && SameText(fa.szFaxNumber, fb.szFaxNumber) &&
           SameText(fa.szFaxStation, fb.szFaxStation) && SameText(fa.szRecipientName, fb.szRecipientName) &&
           SameText(fa.szSenderName, fb.szSenderName) && SameText(fa.szSenderCompany, fb.szSenderCompany) &&
           SameText(fa.szSenderAddress, fb.szSenderAddress) && SameText(fa.szReserved, fb.szReserved) &&
           SameText(fa.szSenderFax, fb.szSenderFax) && SameText(fa.szSenderVoice, fb.szSenderVoice) &&
           SameText(fa.szSenderEmail, fb.szSenderEmail) && SameText(fa.szComments, fb.szComments);
}

// ---- Registry --------------------------------------------------------------------------------

namespace {

constexpr WCHAR kProfilesKey[] = L"Profiles";

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

// One value of a profile key, read by index. The data buffer holds the largest value a profile
// has, the stored record; anything larger cannot be a value of ours and is passed over.
struct StoredValue {
    WCHAR name[kProfileNameCapacity];
    DWORD type;
    DWORD bytes;
    union {
        BYTE data[sizeof(JobSettings)];
        DWORD number;
        WCHAR text[sizeof(JobSettings) / sizeof(WCHAR)];
        JobSettings record;
    };
    // The stored record as the working copy may take it: a profile is outside input (written by
    // an older version, or by hand), so it goes through the record's own merge first.
    JobSettings repaired;
};

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

bool IsRecordValue(const StoredValue& value) {
    return CompareStringOrdinal(value.name, -1, kProfileRecordValue, -1, TRUE) == CSTR_EQUAL;
}

// Values of the wrong type or size are taken as absent, so a damaged profile cannot feed a
// selection or a record of the wrong shape into the driver's options or the working copy.
bool IsRecord(const StoredValue& value) {
    return IsRecordValue(value) && value.type == REG_BINARY && value.bytes == sizeof(JobSettings);
}
const JobSettings* Repaired(StoredValue* value) {
    DefaultRecord(&value->repaired);
    MergeRecord(&value->record, &value->repaired);
    return &value->repaired;
}

bool IsNumber(const StoredValue& value) { return value.type == REG_DWORD && value.bytes == sizeof(DWORD); }
bool IsText(const StoredValue& value) { return value.type == REG_SZ && value.bytes % sizeof(WCHAR) == 0; }

// Characters of a stored text up to its terminator or its end.
size_t StoredTextLength(const StoredValue& value) {
    return BoundedLength(value.text, value.bytes / sizeof(WCHAR));
}

// The text of an edit-box option, or null when it has none.
WCHAR* OptionText(const OPTITEM& option) { return IsResourceName(option.pSel) ? nullptr : option.pSel; }

// The option a stored value belongs to and its type, when the value has the shape that type needs.
OPTITEM* OptionForValue(const ProfileSettings& current, const StoredValue& value, BYTE* type) {
    OPTITEM* option = MatchOption(current.options, current.optionCount, value.name);
    if (!option || !StoredOptionType(*option, type)) return nullptr;
    if (*type == TVOT_EDITBOX) return OptionText(*option) && IsText(value) ? option : nullptr;
    return IsNumber(value) ? option : nullptr;
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
    if (!name) return false;
    UniqueKey profiles = OpenProfileKey(printer, L"");
    if (!profiles) return false;
    for (DWORD index = 0;; ++index) {
        WCHAR subkey[kProfileNameCapacity];
        DWORD length = kProfileNameCapacity;
        LSTATUS status = RegEnumKeyExW(profiles.get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // longer than any name a profile can have
        if (status != ERROR_SUCCESS) return false;
        if (CompareStringOrdinal(subkey, static_cast<int>(length), name, -1, TRUE) == CSTR_EQUAL) return true;
    }
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
    for (DWORD index = 0;; ++index) {
        Next next = ReadValue(key.get(), index, value.get());
        if (next == Next::End) break;
        if (next == Next::Skip) continue;
        const StoredValue& stored = *value.get();
        BYTE type = 0;
        if (OPTITEM* option = OptionForValue(current, stored, &type)) {
            if (type == TVOT_EDITBOX) {
                DWORD capacity = EditTextCapacity(*option);
                if (capacity == 0) continue;  // the driver's buffer size is unknown: leave its text
                CopyText(OptionText(*option), capacity, stored.text, StoredTextLength(stored));
            } else {
                // A selection the option no longer offers (a driver update removed entries, or
                // the profile was edited) would make the driver index past its parameters.
                if (!SelectionInRange(*option, static_cast<LONG>(stored.number))) continue;
                option->Sel = static_cast<LONG>(stored.number);
            }
            option->Flags |= OPTIF_CHANGED;
            POEMUIOBJ ui = current.uiObject;
            if (ui && ui->pOemUIProcs && ui->pOemUIProcs->DrvUpdateUISetting)
                ui->pOemUIProcs->DrvUpdateUISetting(ui, option, 0, OEMCUIP_DOCPROP);
        }
        if (IsRecord(stored) && current.workingCopy) CopyProfileFieldSet(current.workingCopy, Repaired(value.get()));
    }
    return TRUE;
}

bool ProfileMatchesCurrentSettings(HANDLE printer, const WCHAR* name, const ProfileSettings& current) {
    if (!HasName(name)) return true;
    UniqueKey key = OpenProfileKey(printer, name);
    if (!key) return true;
    HeapArray<StoredValue> value(1);
    if (!value) return true;
    for (DWORD index = 0;; ++index) {
        Next next = ReadValue(key.get(), index, value.get());
        if (next == Next::End) return true;
        if (next == Next::Skip) continue;
        const StoredValue& stored = *value.get();
        BYTE type = 0;
        if (const OPTITEM* option = OptionForValue(current, stored, &type)) {
            if (type == TVOT_EDITBOX) {
                const WCHAR* text = OptionText(*option);
                DWORD capacity = EditTextCapacity(*option);
                if (!SameText(stored.text, StoredTextLength(stored), text, capacity ? capacity : size_t(-1)))
                    return false;
            } else if (static_cast<LONG>(stored.number) != option->Sel) {
                return false;
            }
        }
        if (IsRecord(stored) && current.workingCopy && !RecordsMatch(*Repaired(value.get()), *current.workingCopy))
            return false;
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
    DeleteProfile(printer, name);
    return SaveProfile(printer, name, current);
}

}  // namespace corv::ui
