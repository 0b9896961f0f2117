#include "plug-in/inboxui/core/dyntext.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/spooler.h"
#include "plug-in/inboxui/resources/ids.h"

#include <winspool.h>

#include <cwchar>

namespace corv::ui {

const DynamicRow kDynamicRows[kDynamicRowCount] = {
    {IDS_DYN_TOKEN_USERNAME, IDS_DYN_DESC_USERNAME},
    {IDS_DYN_TOKEN_DATESHORT, IDS_DYN_DESC_DATESHORT},
    {IDS_DYN_TOKEN_DATELONG, IDS_DYN_DESC_DATELONG},
    {IDS_DYN_TOKEN_DATEDDMMYYYY, IDS_DYN_DESC_DATEDDMMYYYY},
    {IDS_DYN_TOKEN_TIME, IDS_DYN_DESC_TIME},
    {IDS_DYN_TOKEN_TIMEMIL, IDS_DYN_DESC_TIMEMIL},
    {IDS_DYN_TOKEN_TIMEHRMN, IDS_DYN_DESC_TIMEHRMN},
    {IDS_DYN_TOKEN_PAGENUMBER, IDS_DYN_DESC_PAGENUMBER},
    {IDS_DYN_TOKEN_HOSTNAME, IDS_DYN_DESC_HOSTNAME},
    {IDS_DYN_TOKEN_PRINTER, IDS_DYN_DESC_PRINTER},
    {IDS_DYN_TOKEN_MODELNAME, IDS_DYN_DESC_MODELNAME},
    {IDS_DYN_TOKEN_PERCENT, IDS_DYN_DESC_PERCENT},
};

namespace {

// Asks the rendering plug-in for the spooler's identifier of the job being printed.
constexpr int kEscapeJobIdentifier = 0x1000D;
constexpr LCID kUserLocale = 0x0400;

// The string table and the system, as the scanner sees them while a watermark is drawn,
// previewed or checked.
class SystemSource final : public DynamicSource {
public:
    SystemSource(HANDLE printer, HDC dc, DWORD pageNumber, const SYSTEMTIME& time, ExpandMode mode)
        : printer_(printer), dc_(dc), pageNumber_(pageNumber), time_(time), mode_(mode) {}

    void delimiter(WCHAR* buffer, size_t capacity) override { Load(IDS_DYN_DELIMITER, buffer, capacity); }
    void token(DynamicVariable variable, WCHAR* buffer, size_t capacity) override {
        Load(kDynamicRows[static_cast<int>(variable)].token, buffer, capacity);
    }

    bool value(DynamicVariable variable, WCHAR* buffer, size_t capacity) override {
        const int size = static_cast<int>(capacity);
        switch (variable) {
            case DynamicVariable::UserName:
                return mode_ == ExpandMode::Print ? JobUserName(buffer, capacity) : LoggedOnUser(buffer, capacity);
            case DynamicVariable::DateShort:
                return GetDateFormatW(kUserLocale, DATE_SHORTDATE, &time_, nullptr, buffer, size) > 0;
            case DynamicVariable::DateLong:
                return GetDateFormatW(kUserLocale, DATE_LONGDATE, &time_, nullptr, buffer, size) > 0;
            case DynamicVariable::DateDdMmYyyy:
                return GetDateFormatW(kUserLocale, 0, &time_, L"dd/MM/yyyy", buffer, size) > 0;
            case DynamicVariable::Time:
                return GetTimeFormatW(kUserLocale, 0, &time_, nullptr, buffer, size) > 0;
            case DynamicVariable::TimeMilitary:
                return GetTimeFormatW(kUserLocale, 0, &time_, L"HH':'mm':'ss", buffer, size) > 0;
            case DynamicVariable::TimeHourMinute:
                return GetTimeFormatW(kUserLocale, 0, &time_, L"h':'mm tt", buffer, size) > 0;
            case DynamicVariable::PageNumber:
                FormatText(buffer, capacity, L"%d", static_cast<int>(pageNumber_));
                return true;
            case DynamicVariable::HostName: {
                WCHAR name[16];
                DWORD length = 16;
                if (!GetComputerNameW(name, &length)) return false;
                CopyText(buffer, capacity, name, 16);
                return true;
            }
            case DynamicVariable::Printer:
            case DynamicVariable::ModelName:
                return PrinterText(variable == DynamicVariable::Printer, buffer, capacity);
        }
        return false;
    }

private:
    static void Load(UINT id, WCHAR* buffer, size_t capacity) { LoadText(id, buffer, static_cast<int>(capacity)); }

    bool LoggedOnUser(WCHAR* buffer, size_t capacity) const {
        DWORD length = static_cast<DWORD>(capacity);
        return GetUserNameW(buffer, &length) != FALSE;
    }

    // The user who owns the job: the rendering plug-in knows the job, the spooler its owner.
    bool JobUserName(WCHAR* buffer, size_t capacity) const {
        const int job = ExtEscape(dc_, kEscapeJobIdentifier, 0, nullptr, 0, nullptr);
        if (job <= 0) return false;
        SpoolerBlock<JOB_INFO_1W> info = ReadJobInfo1(printer_, static_cast<DWORD>(job));
        if (!info || !info->pUserName) return false;
        CopyText(buffer, capacity, info->pUserName);
        return true;
    }

    bool PrinterText(bool printerName, WCHAR* buffer, size_t capacity) const {
        SpoolerBlock<PRINTER_INFO_2W> info = ReadPrinterInfo2(printer_);
        if (!info) return false;
        const WCHAR* text = printerName ? info->pPrinterName : info->pDriverName;
        if (!text) return false;
        CopyText(buffer, capacity, text);
        return true;
    }

    HANDLE printer_;
    HDC dc_;
    DWORD pageNumber_;
    SYSTEMTIME time_;
    ExpandMode mode_;
};

}  // namespace

BOOL ExpandDynamicText(HANDLE printer, HDC dc, const WCHAR* text, DWORD pageNumber, const SYSTEMTIME* time,
                       ExpandMode mode, WCHAR* out, DWORD* size) {
    if (!text || !printer || !size) return FALSE;
    const DWORD capacity = *size;
    *size = 0;
    if (mode != ExpandMode::Print && mode != ExpandMode::Preview && mode != ExpandMode::Validate) return FALSE;
    if (BoundedLength(text, kExpandCapacity) >= kExpandCapacity) return FALSE;
    HeapArray<WCHAR> buffer(kExpandCapacity);
    if (!buffer) return FALSE;

    // All variables of one text show the same instant.
    SYSTEMTIME now;
    if (!time) {
        GetLocalTime(&now);
        time = &now;
    }
    SystemSource source(printer, dc, pageNumber, *time, mode);
    size_t length = 0;
    if (!ScanDynamicText(text, mode, source, buffer.get(), &length)) return FALSE;

    const DWORD needed = static_cast<DWORD>(length) + 1;
    if (out && capacity >= needed)
        for (DWORD i = 0; i < needed; ++i) out[i] = buffer.get()[i];
    *size = needed;
    return TRUE;
}

BOOL ValidateDynamicText(HANDLE printer, HDC dc, const WCHAR* text) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    HeapArray<WCHAR> scratch(kExpandCapacity);
    if (!scratch) return FALSE;
    DWORD size = kExpandCapacity;
    return ExpandDynamicText(printer, dc, text, 1, &now, ExpandMode::Validate, scratch.get(), &size);
}

}  // namespace corv::ui
