// The job settings record by field name, for the command line: `--set wmFirst.szText=Draft`.
// The table is data (name, offset, type, size) written from the record's documented layout; the
// tests hold it against the compiler's offsetof, so a slip in either shows.
#pragma once

#include "common/record.h"

#include <string>
#include <string_view>

namespace corv::host {

enum class FieldType {
    U8,
    U16,
    U32,
    I32,
    F64,
    Text,    // a NUL-terminated UTF-16 string; size is in bytes
    Bytes,   // raw bytes (the colour of a watermark: red, green, blue, 0)
    Record,  // a nested record with its own table
};

struct FieldTable;

struct FieldInfo {
    const char* name;
    size_t offset;  // from the start of the enclosing record
    FieldType type;
    size_t size;    // bytes
    const FieldTable* record = nullptr;  // for FieldType::Record
};

struct FieldTable {
    const FieldInfo* fields;
    size_t count;
    size_t size;  // of the whole record

    const FieldInfo* begin() const { return fields; }
    const FieldInfo* end() const { return fields + count; }
};

const FieldTable& JobSettingsFields();
const FieldTable& WatermarkFields();
const FieldTable& FaxFields();

// A field found by its dotted name: where it sits in the job settings record.
struct FieldRef {
    const FieldInfo* info = nullptr;
    size_t offset = 0;  // from the start of the job settings record
};

bool FindField(std::string_view name, FieldRef* ref);

// Parses `value` for the field's type and stores it. Integers may be decimal or 0x hex and take
// any value the field's width holds, signed or unsigned (so -1 in a u32 field is 0xFFFFFFFF:
// the plug-in's validation must cope with what a foreign record can hold). Texts must fit with
// their terminator. Colours are "r,g,b" or 0xRRGGBB. On failure nothing is changed.
bool SetField(JobSettings* record, std::string_view name, std::wstring_view value, std::string* error);

// The field's current value in the form SetField reads.
std::wstring FormatField(const JobSettings& record, const FieldRef& ref);

// "name=value" as given on the command line.
bool ApplySetting(JobSettings* record, std::wstring_view assignment, std::string* error);

}  // namespace corv::host
