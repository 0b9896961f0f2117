// Dynamic watermark variables ("%dateshort%", "%pagenumber%", ...) expanded each time a
// watermark is drawn, previewed or checked.
#pragma once

#include <windows.h>

#include <cstddef>

namespace corv::ui {

enum class ExpandMode : DWORD {
    Print = 0,     // drawing on the printer: anything unresolved fails the whole text
    Preview = 1,   // the on-screen preview: unresolved pieces are dropped
    Validate = 2,  // checking a text in the dialog: as Print, but "%Username%" needs no job
};

inline constexpr DWORD kExpandCapacity = 2048;

// size: on entry the capacity of out in characters; on return the characters the expansion
// needs including the terminator, or 0 on failure. out may be null to ask for the size.
BOOL ExpandDynamicText(HANDLE printer, HDC dc, const WCHAR* text, DWORD pageNumber, const SYSTEMTIME* time,
                       ExpandMode mode, WCHAR* out, DWORD* size);

BOOL ValidateDynamicText(HANDLE printer, HDC dc, const WCHAR* text);

// The variables, in the order in which a token is looked up. The doubled delimiter ("%%") is the
// scanner's own and is no variable.
enum class DynamicVariable : int {
    UserName,
    DateShort,
    DateLong,
    DateDdMmYyyy,
    Time,
    TimeMilitary,
    TimeHourMinute,
    PageNumber,
    HostName,
    Printer,
    ModelName,
};
inline constexpr int kDynamicVariableCount = 11;

// What the scanner needs from outside: the texts of the string table and the current value of
// each variable. Kept apart so that the scanning rules can be checked without the system.
class DynamicSource {
public:
    // The delimiter string as configured; left empty when it cannot be had.
    virtual void delimiter(WCHAR* buffer, size_t capacity) = 0;
    // The token of a variable as it stands in a text, both delimiters included; empty when the
    // token cannot be had (such a variable then matches nothing).
    virtual void token(DynamicVariable variable, WCHAR* buffer, size_t capacity) = 0;
    // The variable's value, terminated within capacity; false when it cannot be computed.
    virtual bool value(DynamicVariable variable, WCHAR* buffer, size_t capacity) = 0;

protected:
    ~DynamicSource() = default;
};

// The rows the variables dialog offers, as string ids: the variables in lookup order, then the
// doubled delimiter.
struct DynamicRow {
    UINT token;
    UINT description;
};
inline constexpr int kDynamicRowCount = 12;
extern const DynamicRow kDynamicRows[kDynamicRowCount];

// The expansion itself over a text. out holds kExpandCapacity characters; on success it holds the
// expanded text and *length its length without terminator. In Validate mode the user name is
// never asked for: it counts as valid and adds nothing.
bool ScanDynamicText(const WCHAR* text, ExpandMode mode, DynamicSource& source, WCHAR* out, size_t* length);

}  // namespace corv::ui
