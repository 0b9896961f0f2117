#include "host/kit/plugin.h"

#include "host/kit/comref.h"
#include "host/kit/hostio.h"

namespace corv::host {
namespace {

template <typename F>
F* Export(HMODULE module, const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

bool PluginModule::Load(const std::wstring& path, std::string* error) {
    Unload();
    module_.reset(LoadLibraryW(path.c_str()));
    if (!module_) {
        *error = "cannot load the plug-in " + Narrow(path) + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    getClassObject_ = Export<GetClassObjectFn>(module_.get(), "DllGetClassObject");
    canUnloadNow_ = Export<CanUnloadNowFn>(module_.get(), "DllCanUnloadNow");
    if (!getClassObject_ || !canUnloadNow_) {
        *error = Narrow(path) + " does not export DllGetClassObject and DllCanUnloadNow";
        Unload();
        return false;
    }
    path_ = path;
    return true;
}

HRESULT PluginModule::Create(REFCLSID clsid, REFIID iid, void** object, std::string* error) const {
    *object = nullptr;
    if (!getClassObject_) {
        *error = "no plug-in is loaded";
        return E_UNEXPECTED;
    }
    ComRef<IClassFactory> factory;
    HRESULT hr = getClassObject_(clsid, IID_IClassFactory, factory.put());
    if (FAILED(hr) || !factory.get()) {
        *error = "DllGetClassObject failed: " + Hex(hr);
        return FAILED(hr) ? hr : E_POINTER;
    }
    ComRef<IUnknown> unknown;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, unknown.put());
    if (FAILED(hr) || !unknown.get()) {
        *error = "CreateInstance(IID_IUnknown) failed: " + Hex(hr);
        return FAILED(hr) ? hr : E_POINTER;
    }
    hr = unknown->QueryInterface(iid, object);
    if (FAILED(hr) || !*object) {
        *object = nullptr;
        *error = "the plug-in object lacks the driver's interface: " + Hex(hr);
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }
    return S_OK;
}

void PluginModule::Unload() {
    getClassObject_ = nullptr;
    canUnloadNow_ = nullptr;
    module_.reset();
    path_.clear();
}

bool ReadPluginInfo(IPrintOemCommon* plugin, DWORD* signature, DWORD* version, std::string* error) {
    DWORD needed = 0;
    HRESULT hr = plugin->GetInfo(OEMGI_GETSIGNATURE, signature, sizeof *signature, &needed);
    if (hr != S_OK) {
        *error = "GetInfo(OEMGI_GETSIGNATURE) failed: " + Hex(hr);
        return false;
    }
    hr = plugin->GetInfo(OEMGI_GETVERSION, version, sizeof *version, &needed);
    if (hr != S_OK) {
        *error = "GetInfo(OEMGI_GETVERSION) failed: " + Hex(hr);
        return false;
    }
    return true;
}

}  // namespace corv::host
