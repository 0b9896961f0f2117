#include "plug-in/render/object.h"

#include "common/comserver.h"

namespace corv::render {
namespace {

ServerLocks g_locks;

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return GetClassFactory<RenderPlugin>(clsid, CLSID_OEMRENDER, iid, out, &g_locks);
}

HRESULT CanUnloadNow() { return g_locks.count() > 0 ? S_FALSE : S_OK; }

}  // namespace corv::render
