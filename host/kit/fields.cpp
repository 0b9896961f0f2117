#include "host/kit/fields.h"

#include <cstring>
#include <cwchar>
#include <iterator>

namespace corv::host {
namespace {

using T = FieldType;

constexpr FieldInfo kWatermark[] = {
    {"szName", 0, T::Text, 256},
    {"szText", 256, T::Text, 256},
    {"dblAngle", 512, T::F64, 8},
    {"rgbColor", 520, T::Bytes, 4},
    {"szFontName", 524, T::Text, 128},
    {"lPointSize", 652, T::I32, 4},
    {"dwStyle", 656, T::U32, 4},
    {"dwEffects", 660, T::U32, 4},
    {"wIntensity", 664, T::U16, 2},
    {"dwPosition", 668, T::U32, 4},
    {"bInches", 672, T::U8, 1},
    {"dblOffsetY", 680, T::F64, 8},
    {"dblOffsetX", 688, T::F64, 8},
    {"dwCharSet", 696, T::U32, 4},
    {"bDynamic", 700, T::U32, 4},
};
constexpr FieldTable kWatermarkTable{kWatermark, std::size(kWatermark), 704};

constexpr FieldInfo kFax[] = {
    {"szFaxNumber", 0, T::Text, 256},
    {"szFaxStation", 256, T::Text, 256},
    {"wFaxResolution", 512, T::U16, 2},
    {"bFaxCoverPage", 516, T::I32, 4},
    {"szRecipientName", 520, T::Text, 256},
    {"szSenderName", 776, T::Text, 256},
    {"szSenderCompany", 1032, T::Text, 256},
    {"szSenderAddress", 1288, T::Text, 512},
    {"szReserved", 1800, T::Text, 512},
    {"szSenderFax", 2312, T::Text, 128},
    {"szSenderVoice", 2440, T::Text, 128},
    {"szSenderEmail", 2568, T::Text, 128},
    {"szComments", 2696, T::Text, 2048},
    {"dwCoverParts", 4744, T::U32, 4},
};
constexpr FieldTable kFaxTable{kFax, std::size(kFax), 4748};

constexpr FieldInfo kJobSettings[] = {
    {"dwSize", 0, T::U32, 4},
    {"dwSignature", 4, T::U32, 4},
    {"dwVersion", 8, T::U32, 4},
    {"bWatermarks", 12, T::I32, 4},
    {"dwWatermarkOrder", 16, T::U32, 4},
    {"bWatermarkOverPage", 20, T::I32, 4},
    {"wmFirst", 24, T::Record, 704, &kWatermarkTable},
    {"wmOther", 728, T::Record, 704, &kWatermarkTable},
    {"bRotate180", 1432, T::I32, 4},
    {"dwOutputTo", 1436, T::U32, 4},
    {"wPageSizePolicy", 1440, T::U16, 2},
    {"szOutputFile", 1442, T::Text, 1024},
    {"szHoldUserName", 2466, T::Text, 50},
    {"szHoldPin", 2516, T::Text, 10},
    {"bBlockAppPostScript", 2528, T::I32, 4},
    {"bWatermarkPhysicalPage", 2532, T::I32, 4},
    {"bAccountNumber", 2536, T::I32, 4},
    {"szAccountNumber", 2540, T::Text, 34},
    {"bDiscardOutput", 2576, T::I32, 4},
    {"fax", 2580, T::Record, 4748, &kFaxTable},
    {"dwColorCorrection", 7328, T::U32, 4},
    {"dwRgbImage", 7332, T::U32, 4},
    {"dwRgbText", 7336, T::U32, 4},
    {"dwRgbGraphics", 7340, T::U32, 4},
    {"dwCmykImage", 7344, T::U32, 4},
    {"dwCmykText", 7348, T::U32, 4},
    {"dwCmykGraphics", 7352, T::U32, 4},
    {"bColorBalance", 7356, T::U32, 4},
    {"lBalanceCyan", 7360, T::I32, 4},
    {"lBalanceMagenta", 7364, T::I32, 4},
    {"lBalanceYellow", 7368, T::I32, 4},
    {"lBalanceBlack", 7372, T::I32, 4},
    {"dwPallidor", 7376, T::U32, 4},
    {"bKeepDuplicateJobs", 7380, T::I32, 4},
    {"bWatermarkOnEscape", 7384, T::I32, 4},
    {"szProfileName", 7388, T::Text, 256},
    {"bProfileLoaded", 7644, T::I32, 4},
    {"lBrightness", 7648, T::I32, 4},
    {"lContrast", 7652, T::I32, 4},
    {"lSaturation", 7656, T::I32, 4},
    {"bGrayCorrection", 7660, T::I32, 4},
    {"bFineLines", 7664, T::I32, 4},
};
constexpr FieldTable kJobSettingsTable{kJobSettings, std::size(kJobSettings), kRecordSize};

const FieldInfo* FindIn(const FieldTable& table, std::string_view name) {
    for (const FieldInfo& f : table)
        if (name == f.name) return &f;
    return nullptr;
}

std::string Narrow(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// Integers of any width: decimal or 0x hex, with an optional sign.
bool ParseInteger(std::wstring_view text, long long* value) {
    if (text.empty()) return false;
    size_t i = 0;
    bool negative = false;
    if (text[0] == L'-' || text[0] == L'+') negative = text[i++] == L'-';
    int base = 10;
    if (text.size() > i + 2 && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    unsigned long long v = 0;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        int digit = (c >= L'0' && c <= L'9')   ? c - L'0'
                    : (c >= L'a' && c <= L'f') ? c - L'a' + 10
                    : (c >= L'A' && c <= L'F') ? c - L'A' + 10
                                               : 99;
        if (digit >= base) return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFFFull) return false;  // far beyond every field
    }
    *value = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    return true;
}

bool FitsWidth(long long value, size_t bytes) {
    long long unsignedMax = (1ll << (8 * bytes)) - 1;
    long long signedMin = -(1ll << (8 * bytes - 1));
    return value >= signedMin && value <= unsignedMax;
}

bool ParseColour(std::wstring_view text, BYTE out[4]) {
    long long v = 0;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        if (!ParseInteger(text, &v) || v < 0 || v > 0xFFFFFF) return false;
        out[0] = static_cast<BYTE>(v >> 16);
        out[1] = static_cast<BYTE>(v >> 8);
        out[2] = static_cast<BYTE>(v);
        out[3] = 0;
        return true;
    }
    BYTE parts[4] = {0, 0, 0, 0};
    size_t count = 0;
    while (count < 4) {
        size_t comma = text.find(L',');
        if (!ParseInteger(text.substr(0, comma), &v) || v < 0 || v > 255) return false;
        parts[count++] = static_cast<BYTE>(v);
        if (comma == std::wstring_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (count < 3 || (count == 4 && text.find(L',') != std::wstring_view::npos)) return false;
    std::memcpy(out, parts, 4);
    return true;
}

}  // namespace

const FieldTable& JobSettingsFields() { return kJobSettingsTable; }
const FieldTable& WatermarkFields() { return kWatermarkTable; }
const FieldTable& FaxFields() { return kFaxTable; }

bool FindField(std::string_view name, FieldRef* ref) {
    const FieldTable* table = &kJobSettingsTable;
    size_t offset = 0;
    for (;;) {
        size_t dot = name.find('.');
        const FieldInfo* f = FindIn(*table, name.substr(0, dot));
        if (!f) return false;
        offset += f->offset;
        if (dot == std::string_view::npos) {
            if (f->type == FieldType::Record) return false;  // a whole record is not a value
            if (ref) *ref = {f, offset};
            return true;
        }
        if (f->type != FieldType::Record) return false;
        table = f->record;
        name.remove_prefix(dot + 1);
    }
}

bool SetField(JobSettings* record, std::string_view name, std::wstring_view value, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = std::string(name) + ": " + why;
        return false;
    };
    FieldRef ref;
    if (!record) return fail("no record");
    if (!FindField(name, &ref)) return fail("no such field of the job settings record");
    BYTE* at = reinterpret_cast<BYTE*>(record) + ref.offset;
    const FieldInfo& f = *ref.info;
    switch (f.type) {
        case FieldType::U8:
        case FieldType::U16:
        case FieldType::U32:
        case FieldType::I32: {
            long long v = 0;
            if (!ParseInteger(value, &v)) return fail("'" + Narrow(value) + "' is not an integer");
            if (!FitsWidth(v, f.size)) return fail(Narrow(value) + " does not fit " + std::to_string(f.size) + " bytes");
            unsigned long long bits = static_cast<unsigned long long>(v);
            std::memcpy(at, &bits, f.size);  // little-endian, as the record is stored
            return true;
        }
        case FieldType::F64: {
            std::wstring text(value);
            wchar_t* end = nullptr;
            double d = std::wcstod(text.c_str(), &end);
            if (text.empty() || *end) return fail("'" + Narrow(value) + "' is not a number");
            std::memcpy(at, &d, sizeof d);
            return true;
        }
        case FieldType::Text: {
            size_t capacity = f.size / sizeof(WCHAR);
            if (value.size() >= capacity)
                return fail("longer than " + std::to_string(capacity - 1) + " characters");
            auto text = reinterpret_cast<WCHAR*>(at);
            for (size_t i = 0; i < value.size(); ++i) text[i] = static_cast<WCHAR>(value[i]);
            text[value.size()] = 0;
            return true;
        }
        case FieldType::Bytes: {
            BYTE colour[4];
            if (f.size != 4 || !ParseColour(value, colour)) return fail("a colour is r,g,b or 0xRRGGBB");
            std::memcpy(at, colour, 4);
            return true;
        }
        case FieldType::Record:
            break;
    }
    return fail("cannot be set");
}

std::wstring FormatField(const JobSettings& record, const FieldRef& ref) {
    if (!ref.info) return {};
    const BYTE* at = reinterpret_cast<const BYTE*>(&record) + ref.offset;
    wchar_t buffer[64] = {};
    switch (ref.info->type) {
        case FieldType::U8:
        case FieldType::U16:
        case FieldType::U32: {
            unsigned long long v = 0;
            std::memcpy(&v, at, ref.info->size);
            std::swprintf(buffer, 64, L"%llu", v);
            return buffer;
        }
        case FieldType::I32: {
            INT32 v = 0;
            std::memcpy(&v, at, 4);
            std::swprintf(buffer, 64, L"%d", static_cast<int>(v));
            return buffer;
        }
        case FieldType::F64: {
            double d = 0;
            std::memcpy(&d, at, 8);
            std::swprintf(buffer, 64, L"%g", d);
            return buffer;
        }
        case FieldType::Text: {
            auto text = reinterpret_cast<const WCHAR*>(at);
            size_t capacity = ref.info->size / sizeof(WCHAR), n = 0;
            while (n < capacity && text[n]) ++n;
            return std::wstring(text, text + n);
        }
        case FieldType::Bytes:
            std::swprintf(buffer, 64, L"%u,%u,%u", at[0], at[1], at[2]);
            return buffer;
        case FieldType::Record:
            break;
    }
    return {};
}

bool ApplySetting(JobSettings* record, std::wstring_view assignment, std::string* error) {
    size_t eq = assignment.find(L'=');
    if (eq == std::wstring_view::npos || eq == 0) {
        if (error) *error = "'" + Narrow(assignment) + "' is not field=value";
        return false;
    }
    std::wstring_view name = assignment.substr(0, eq);
    for (wchar_t c : name)
        if (c >= 128) {
            if (error) *error = "field names are ASCII";
            return false;
        }
    return SetField(record, Narrow(name), assignment.substr(eq + 1), error);
}

}  // namespace corv::host
