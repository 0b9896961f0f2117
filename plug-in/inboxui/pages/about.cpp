#include "plug-in/inboxui/pages/about.h"

#include "common/handles.h"
#include "common/text.h"

#include <cwchar>

namespace corv::ui {

bool ReadFileVersionText(const WCHAR* path, const WCHAR* naText, WCHAR* out, size_t capacity) {
    if (!path || !out || capacity == 0) return false;
    out[0] = 0;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        CopyText(out, capacity, naText ? naText : L"");
        return true;
    }
    HeapArray<BYTE> data(size);
    if (!data || !GetFileVersionInfoW(path, 0, size, data.get())) return false;

    void* found = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(data.get(), L"\\VarFileInfo\\Translation", &found, &translationBytes) || !found ||
        translationBytes < 2 * sizeof(WORD))
        return false;
    const WORD* translation = static_cast<const WORD*>(found);

    WCHAR query[64];
    FormatText(query, 64, L"\\StringFileInfo\\%08lx\\FileVersion",
               static_cast<unsigned long>(translation[0]) * 65536ul + translation[1]);
    found = nullptr;
    UINT textLength = 0;  // in characters
    if (!VerQueryValueW(data.get(), query, &found, &textLength) || !found || textLength == 0) return false;
    const WCHAR* text = static_cast<const WCHAR*>(found);
    if (text[0] == 0) return false;
    CopyText(out, capacity, text, textLength);
    return true;
}

const WCHAR* FileNameOfPath(const WCHAR* path) {
    if (!path) return nullptr;
    const WCHAR* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

int BuildFileList(const DRIVER_INFO_3W* driver, const WCHAR* naText, AddFileRow add, void* context) {
    if (!driver || !add) return 0;
    int rows = 0;
    auto row = [&](const WCHAR* path) {
        WCHAR version[kVersionTextCapacity];
        if (!path || !ReadFileVersionText(path, naText, version, kVersionTextCapacity)) return;
        add(context, FileNameOfPath(path), version);
        ++rows;
    };
    row(driver->pConfigFile);
    row(driver->pDriverPath);
    if (driver->pDependentFiles)
        for (const WCHAR* entry = driver->pDependentFiles; *entry; entry += wcslen(entry) + 1) row(entry);
    return rows;
}

}  // namespace corv::ui
