#include "plug-in/inboxui/store/modelkey.h"

#include "common/text.h"
#include "plug-in/inboxui/core/spooler.h"

#include <cwchar>

namespace corv::ui {

HeapArray<WCHAR> ModelKeyPathForDriver(const WCHAR* driverName) {
    if (!driverName || !driverName[0]) return HeapArray<WCHAR>(0);
    size_t chars = std::wcslen(kStoreRootPath) + 1 + std::wcslen(driverName) + 1;
    HeapArray<WCHAR> path(chars);
    if (path) FormatText(path.get(), chars, L"%ls\\%ls", kStoreRootPath, driverName);
    return path;
}

HeapArray<WCHAR> GetModelKeyPath(HANDLE printer) {
    SpoolerBlock<PRINTER_INFO_2W> info = ReadPrinterInfo2(printer);
    if (!info) return HeapArray<WCHAR>(0);
    return ModelKeyPathForDriver(info->pDriverName);
}

UniqueKey OpenKey(HKEY root, const WCHAR* path, REGSAM access) {
    UniqueKey key;
    // A failed call may leave anything in the handle: it is dropped, never closed.
    if (!path || RegOpenKeyExW(root, path, 0, access, key.put()) != ERROR_SUCCESS) key.release();
    return key;
}

UniqueKey CreateKey(HKEY root, const WCHAR* path, REGSAM access) {
    UniqueKey key;
    if (!path ||
        RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key.put(), nullptr) !=
            ERROR_SUCCESS)
        key.release();
    return key;
}

UniqueKey OpenModelKey(HANDLE printer, REGSAM access) {
    HeapArray<WCHAR> path = GetModelKeyPath(printer);
    return OpenKey(HKEY_CURRENT_USER, path.get(), access);
}

UniqueKey CreateModelKey(HANDLE printer, REGSAM access) {
    HeapArray<WCHAR> path = GetModelKeyPath(printer);
    return CreateKey(HKEY_CURRENT_USER, path.get(), access);
}

UniqueKey CreateModelKeyForDriver(const WCHAR* driverName, REGSAM access) {
    HeapArray<WCHAR> path = ModelKeyPathForDriver(driverName);
    return CreateKey(HKEY_CURRENT_USER, path.get(), access);
}

}  // namespace corv::ui
