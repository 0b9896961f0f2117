// A rendering plug-in of the plainest kind, for testing corvhost without the real one: it injects
// nothing, hooks nothing and passes the driver's output to the spooler. CORV_STUB_FAULT makes it
// break one rule on purpose, so the tests can see the host notice:
//   zero-write  a DrvWriteSpoolBuf of length 0 at PSINJECT_COMMENTS
//   keep-helper one reference on the core helper too many, never released
//   refuse-write WritePrinter refuses every block
//   pagenumber  answers PSINJECT_PAGENUMBER with its own comment
#include "common/platform/oemintf.h"
#include "common/record.h"

#include <cstring>
#include <cwchar>

namespace {

LONG g_locks = 0;

bool Fault(const wchar_t* name) {
    wchar_t value[64] = {};
    GetEnvironmentVariableW(L"CORV_STUB_FAULT", value, 64);
    return std::wcscmp(value, name) == 0;
}

class StubPlugin final : public IPrintOemPS2 {
public:
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemPS2)) {
            *out = static_cast<IPrintOemPS2*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs_); }
    STDMETHOD_(ULONG, Release)() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            if (helper_) helper_->Release();
            delete this;
        }
        return left;
    }
    STDMETHOD(GetInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override {
        if (!needed || (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION)) return E_FAIL;
        *needed = 4;
        if (!buffer || size < 4) return E_FAIL;
        DWORD value = mode == OEMGI_GETSIGNATURE ? corv::kRecordSignature : corv::kRecordVersion;
        std::memcpy(buffer, &value, 4);
        return S_OK;
    }
    STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM param) override {
        const HRESULT hr = corv::RecordDevMode(mode, param);
        // A rendering side whose record code is not the UI side's: its defaults and merge differ.
        if (hr == S_OK && (mode == OEMDM_DEFAULT || mode == OEMDM_MERGE) && Fault(L"other-record"))
            static_cast<corv::JobSettings*>(param->pOEMDMOut)->dwPallidor += 1;
        return hr;
    }
    STDMETHOD(EnableDriver)(DWORD, DWORD, PDRVENABLEDATA data) override {
        if (data) data->c = 0;
        return S_OK;
    }
    STDMETHOD(DisableDriver)() override {
        if (helper_ && !Fault(L"keep-helper")) helper_->Release();
        helper_ = nullptr;
        return S_OK;
    }
    STDMETHOD(EnablePDEV)(PDEVOBJ, PWSTR, ULONG, HSURF*, ULONG, GDIINFO*, ULONG, DEVINFO*, DRVENABLEDATA*,
                          PDEVOEM* out) override {
        if (!out) return E_FAIL;
        *out = new int(0);
        return S_OK;
    }
    STDMETHOD(DisablePDEV)(PDEVOBJ device) override {
        if (device) delete static_cast<int*>(device->pdevOEM);
        return S_OK;
    }
    STDMETHOD(ResetPDEV)(PDEVOBJ, PDEVOBJ) override { return S_OK; }
    STDMETHOD(PublishDriverInterface)(IUnknown* unknown) override {
        if (helper_) return S_OK;
        if (!unknown || FAILED(unknown->QueryInterface(IID_IPrintCorePS2, reinterpret_cast<void**>(&helper_)))) {
            helper_ = nullptr;
            return E_FAIL;
        }
        if (Fault(L"keep-helper")) helper_->AddRef();
        return S_OK;
    }
    STDMETHOD(Command)(PDEVOBJ device, DWORD point, PVOID, DWORD, DWORD* result) override {
        if (!result) return E_FAIL;
        *result = ERROR_NOT_SUPPORTED;
        DWORD written = 0;
        if (point == PSINJECT_COMMENTS && Fault(L"zero-write")) helper_->DrvWriteSpoolBuf(device, (void*)"", 0, &written);
        if (point == PSINJECT_PAGENUMBER && Fault(L"pagenumber")) {
            char text[] = "%%Page: stub stub\n";
            helper_->DrvWriteSpoolBuf(device, text, sizeof text - 1, &written);
            *result = ERROR_SUCCESS;
        }
        return S_OK;
    }
    STDMETHOD(WritePrinter)(PDEVOBJ device, PVOID buffer, DWORD size, PDWORD written) override {
        if (!device && !buffer && size == 0) return S_OK;
        if (!device || !buffer || !written || Fault(L"refuse-write")) return S_FALSE;
        return ::WritePrinter(device->hPrinter, buffer, size, written) ? S_OK : S_FALSE;
    }
    STDMETHOD(GetPDEVAdjustment)(PDEVOBJ, DWORD, PVOID, DWORD, BOOL*) override { return E_NOTIMPL; }

private:
    LONG refs_ = 1;
    IPrintCorePS2* helper_ = nullptr;
};

class StubFactory final : public IClassFactory {
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
    STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs_); }
    STDMETHOD_(ULONG, Release)() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto object = new StubPlugin;
        HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL lock) override {
        lock ? InterlockedIncrement(&g_locks) : InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    LONG refs_ = 1;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!IsEqualCLSID(clsid, CLSID_OEMRENDER)) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = new StubFactory;
    HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return g_locks > 0 ? S_FALSE : S_OK; }
