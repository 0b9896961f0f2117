#include "plug-in/inboxui/core/module.h"

namespace corv::ui {

HINSTANCE ResourceModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ResourceModule), &module);
    return module;
}

int LoadText(UINT id, WCHAR* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = 0;
    int n = LoadStringW(ResourceModule(), id, buffer, capacity);
    if (n <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return n;
}

}  // namespace corv::ui
