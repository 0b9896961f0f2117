// corvui.dll's entry points; the plug-in itself lives in corv_ui.
#include "plug-in/inboxui/core/uiplugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) { return corv::ui::GetClassObject(clsid, iid, out); }

STDAPI DllCanUnloadNow() { return corv::ui::CanUnloadNow(); }
