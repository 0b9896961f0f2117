#include "plug-in/inboxui/core/uiplugin.h"

#include "common/comserver.h"

namespace corv::ui {
namespace {

ServerLocks g_locks;
LONG g_liveObjects = 0;

}  // namespace

void ObjectCreated() { InterlockedIncrement(&g_liveObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_liveObjects); }
LONG LiveObjectCount() { return InterlockedCompareExchange(&g_liveObjects, 0, 0); }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return GetClassFactory<UiPlugin>(clsid, CLSID_OEMUI, iid, out, &g_locks);
}

HRESULT CanUnloadNow() { return LiveObjectCount() > 0 || g_locks.count() > 0 ? S_FALSE : S_OK; }

}  // namespace corv::ui
