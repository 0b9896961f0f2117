#include "plug-in/inboxui/core/uiplugin.h"

#include <new>

namespace corv::ui {
namespace {

LONG g_lockCount = 0;
LONG g_liveObjects = 0;

void Lock() { InterlockedIncrement(&g_lockCount); }

// An unbalanced unlock must not leave the count below 0, or the next lock would read as none.
void Unlock() {
    LONG count = g_lockCount;
    while (count > 0) {
        LONG seen = InterlockedCompareExchange(&g_lockCount, count - 1, count);
        if (seen == count) return;
        count = seen;
    }
}

class UiPluginFactory final : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHOD_(ULONG, Release)() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto plugin = new (std::nothrow) UiPlugin;
        if (!plugin) return E_OUTOFMEMORY;
        HRESULT hr = plugin->QueryInterface(riid, out);
        plugin->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL lock) override {
        if (lock)
            Lock();
        else
            Unlock();
        return S_OK;
    }

private:
    LONG refs_ = 1;
};

}  // namespace

void ObjectCreated() { InterlockedIncrement(&g_liveObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_liveObjects); }
LONG LiveObjectCount() { return InterlockedCompareExchange(&g_liveObjects, 0, 0); }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = new (std::nothrow) UiPluginFactory;
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

HRESULT CanUnloadNow() {
    return LiveObjectCount() > 0 || InterlockedCompareExchange(&g_lockCount, 0, 0) > 0 ? S_FALSE : S_OK;
}

}  // namespace corv::ui
