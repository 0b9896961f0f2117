#include "plug-in/inboxui/watermarks/store.h"

#include "common/text.h"

#include <cstring>

namespace corv::ui {

bool WatermarkFromValue(const void* data, DWORD size, WatermarkRecord* record) {
    if (!data || !record || size == 0 || size > sizeof(WatermarkRecord)) return false;
    // A shorter value leaves the fields it does not reach at their defaults.
    InitWatermarkRecord(record);
    std::memcpy(record, data, size);
    TerminateStrings(*record);  // registry data is outside input: it may lack terminators
    return true;
}

bool FaxInfoFromValue(const void* data, DWORD size, FaxRecord* fax) {
    if (!data || !fax || size == 0 || size > sizeof(FaxRecord)) return false;
    std::memcpy(fax, data, size);
    TerminateStrings(*fax);
    return true;
}

bool LastUserNameFromValue(const WCHAR* data, DWORD size, WCHAR* buffer, DWORD capacity) {
    if (!data || !buffer || size == 0 || capacity == 0) return false;
    // A text stored without its terminator is taken as long as the buffer has room for one.
    size_t length = BoundedLength(data, size / sizeof(WCHAR));
    if (length >= capacity) return false;
    CopyText(buffer, capacity, data, length);
    return true;
}

}  // namespace corv::ui
