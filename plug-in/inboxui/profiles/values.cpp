// The pure half of the profile store: option names, matching, comparison and what a stored value
// means, apart from the registry (store.cpp).
#include "plug-in/inboxui/profiles/store.h"

#include "common/text.h"

#include <climits>
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

bool IsRecordValue(const StoredValue& value) {
    return CompareStringOrdinal(value.name, -1, kProfileRecordValue, -1, TRUE) == CSTR_EQUAL;
}

bool IsRecord(const StoredValue& value) {
    return IsRecordValue(value) && value.type == REG_BINARY && value.bytes == sizeof(JobSettings);
}
bool IsNumber(const StoredValue& value) { return value.type == REG_DWORD && value.bytes == sizeof(DWORD); }
bool IsText(const StoredValue& value) { return value.type == REG_SZ && value.bytes % sizeof(WCHAR) == 0; }

// Characters of a stored text up to its terminator or its end.
size_t StoredTextLength(const StoredValue& value) {
    return BoundedLength(value.text, value.bytes / sizeof(WCHAR));
}

// The option a stored value belongs to and its type, when the value has the shape that type needs.
OPTITEM* OptionForValue(const ProfileSettings& current, const StoredValue& value, BYTE* type) {
    OPTITEM* option = MatchOption(current.options, current.optionCount, value.name);
    if (!option || !StoredOptionType(*option, type)) return nullptr;
    if (*type == TVOT_EDITBOX) return OptionText(*option) && IsText(value) ? option : nullptr;
    return IsNumber(value) ? option : nullptr;
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

WCHAR* OptionText(const OPTITEM& option) { return IsResourceName(option.pSel) ? nullptr : option.pSel; }

OPTITEM* ApplyStoredOption(const ProfileSettings& current, const StoredValue& value) {
    BYTE type = 0;
    OPTITEM* option = OptionForValue(current, value, &type);
    if (!option) return nullptr;
    if (type == TVOT_EDITBOX) {
        DWORD capacity = EditTextCapacity(*option);
        if (capacity == 0) return nullptr;  // the driver's buffer size is unknown: leave its text
        CopyText(OptionText(*option), capacity, value.text, StoredTextLength(value));
    } else {
        // A selection the option no longer offers (a driver update removed entries, or the
        // profile was edited) would make the driver index past its parameters.
        if (!SelectionInRange(*option, static_cast<LONG>(value.number))) return nullptr;
        option->Sel = static_cast<LONG>(value.number);
    }
    option->Flags |= OPTIF_CHANGED;
    return option;
}

bool StoredOptionMatches(const ProfileSettings& current, const StoredValue& value) {
    BYTE type = 0;
    const OPTITEM* option = OptionForValue(current, value, &type);
    if (!option) return true;
    if (type != TVOT_EDITBOX) return static_cast<LONG>(value.number) == option->Sel;
    DWORD capacity = EditTextCapacity(*option);
    return SameText(value.text, StoredTextLength(value), OptionText(*option), capacity ? capacity : size_t(-1));
}

const JobSettings* StoredRecord(const StoredValue& value, JobSettings* repaired) {
    if (!IsRecord(value)) return nullptr;
    DefaultRecord(repaired);
    MergeRecord(&value.record, repaired);
    return repaired;
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

}  // namespace corv::ui
