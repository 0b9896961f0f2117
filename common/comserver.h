// The COM server side both plug-in DLLs share: a class factory that makes one kind of object,
// and the module's server lock count.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <new>

namespace corv {

// IClassFactory::LockServer's count for a module.
class ServerLocks {
public:
    void Lock() { InterlockedIncrement(&count_); }
    // An unbalanced unlock must not leave the count below 0, or the next lock would read as none.
    void Unlock() {
        LONG count = count_;
        while (count > 0) {
            LONG seen = InterlockedCompareExchange(&count_, count - 1, count);
            if (seen == count) return;
            count = seen;
        }
    }
    LONG count() { return InterlockedCompareExchange(&count_, 0, 0); }

private:
    LONG count_ = 0;
};

// Makes `Object`s: each is created with one reference, which the factory hands on through
// QueryInterface and then drops, so a refused interface destroys the object again.
template <typename Object>
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(ServerLocks* locks) : locks_(locks) {}

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
        auto object = new (std::nothrow) Object;
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL lock) override {
        if (lock)
            locks_->Lock();
        else
            locks_->Unlock();
        return S_OK;
    }

private:
    LONG refs_ = 1;
    ServerLocks* locks_;
};

// DllGetClassObject for a module whose one class is `served`.
template <typename Object>
HRESULT GetClassFactory(REFCLSID clsid, REFCLSID served, REFIID iid, void** out, ServerLocks* locks) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, served)) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = new (std::nothrow) ClassFactory<Object>(locks);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

}  // namespace corv
