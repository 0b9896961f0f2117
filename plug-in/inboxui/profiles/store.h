// Personal profiles: named snapshots of the core driver's document options and of the job settings
// record, kept per user and printer model under "Profiles" of the model key. Nothing is cached:
// every operation opens, uses and closes its keys. No operation shows a message.
#pragma once

#include "common/record.h"
#include "plug-in/inboxui/core/module.h"

namespace corv::ui {

inline constexpr DWORD kProfileNameCapacity = kNameCapacity;  // names and texts: at most 127 characters
inline constexpr WCHAR kProfileRecordValue[] = L"CustomDevData";
inline constexpr WCHAR kDuplexValue[] = L"7";  // written first on every save

// What "the current settings" are: the core driver's own document options and the sheet's
// working copy of the job settings record. uiObject is the driver UI object whose
// DrvUpdateUISetting is told about every option a load changes.
struct ProfileSettings {
    OPTITEM* options = nullptr;
    DWORD optionCount = 0;
    POEMUIOBJ uiObject = nullptr;
    JobSettings* workingCopy = nullptr;
};

// ---- The pure half ------------------------------------------------------------------------

// A name below 0x10000 is a string resource identifier, not a text.
inline bool IsResourceName(const WCHAR* name) { return reinterpret_cast<ULONG_PTR>(name) < 0x10000; }

// The option's type when it is one the store keeps (0 two states ... 7 edit box); false otherwise.
bool StoredOptionType(const OPTITEM& option, BYTE* type);

// The registry value name of a driver option: its DMPubID in decimal, else its resource id in
// decimal, else its name text cut to 127 characters.
void ProfileValueName(const OPTITEM& option, WCHAR (&name)[kProfileNameCapacity]);

// A value name read as a number: leading white space, a sign, decimal digits up to the first other
// character; 0 without digits. Out-of-range numbers stop at the LONG limits.
LONG ValueNameNumber(const WCHAR* name);

// The first option in array order that a stored value of this name belongs to; null for none.
OPTITEM* MatchOption(OPTITEM* options, DWORD count, const WCHAR* valueName);

// Whether the option offers this selection: an entry index below Count for two and three states,
// list and combo boxes; a value within the range of pOptParam[1] (IconID to lParam) for up-down
// arrows, track bars and scroll bars. False when the option's type does not say.
bool SelectionInRange(const OPTITEM& option, LONG selection);

// Capacity in characters of an edit-box option's text buffer (the core driver's, given in the
// second parameter of its option type); 0 when the driver does not say.
DWORD EditTextCapacity(const OPTITEM& option);

// Whether two job settings records agree in every field a profile is compared by.
bool RecordsMatch(const JobSettings& a, const JobSettings& b);

// The text buffer of an edit-box option, or null when it has none.
WCHAR* OptionText(const OPTITEM& option);

// One value of a profile key, as the registry enumerates it. The data buffer holds the largest value a profile
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
};


// What one stored value means for the current settings. Values of the wrong type or size are
// taken as absent, so a damaged profile cannot feed a selection or a record of the wrong shape
// into the driver's options or the working copy.
// Puts the value into the driver option it belongs to (a selection, or a text cut to the option's
// buffer) and returns that option, or null when it belongs to none.
OPTITEM* ApplyStoredOption(const ProfileSettings& current, const StoredValue& value);
// Whether the option the value belongs to holds it; true when it belongs to none.
bool StoredOptionMatches(const ProfileSettings& current, const StoredValue& value);
// The stored job settings record ("CustomDevData", REG_BINARY of the record's size) as the working
// copy may take it, or null. A profile is outside input (written by an older version, or by
// hand), so the record goes through its own merge into the defaults first.
const JobSettings* StoredRecord(const StoredValue& value, JobSettings* repaired);
// Whether a selection lies within what the option offers (its entries, or its range).
bool SelectionInRange(const OPTITEM& option, LONG selection);

// ---- The registry operations ---------------------------------------------------------------

// True for "Factory Defaults" and "<Unknown Profile>" in any case.
bool IsReservedName(const WCHAR* name);

// Lists every profile but "Factory Defaults" (exact case) in the list box and returns the number
// of profile keys enumerated, "Factory Defaults" included.
int ListProfiles(HANDLE printer, HWND listBox);

// True when a profile of this name exists, in any case.
bool ProfileExists(HANDLE printer, const WCHAR* name);

BOOL SaveProfile(HANDLE printer, const WCHAR* name, const ProfileSettings& current);
BOOL LoadProfile(HANDLE printer, const WCHAR* name, const ProfileSettings& current);
bool ProfileMatchesCurrentSettings(HANDLE printer, const WCHAR* name, const ProfileSettings& current);
BOOL RenameProfile(HANDLE printer, const WCHAR* oldName, const WCHAR* newName);
BOOL DeleteProfile(HANDLE printer, const WCHAR* name);
BOOL OverwriteProfile(HANDLE printer, const WCHAR* name, const ProfileSettings& current);

}  // namespace corv::ui
