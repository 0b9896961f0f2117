// A plug-in DLL as the core driver holds it: loaded by path, reached only through its two
// exports, its object created the way the driver creates it (the class object, an instance
// asked for IUnknown, then the interface the driver speaks).
#pragma once

#include "common/handles.h"
#include "common/platform/oemintf.h"

#include <string>

namespace corv::host {

class PluginModule {
public:
    PluginModule() = default;
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // False with the reason when the file cannot be loaded or lacks an export.
    bool Load(const std::wstring& path, std::string* error);
    bool loaded() const { return static_cast<bool>(module_); }
    HMODULE handle() const { return module_.get(); }
    const std::wstring& path() const { return path_; }

    // The object of `clsid` with the interface `iid`; the reason in `error` when there is none.
    HRESULT Create(REFCLSID clsid, REFIID iid, void** object, std::string* error) const;
    HRESULT CanUnloadNow() const { return canUnloadNow_ ? canUnloadNow_() : E_FAIL; }
    void Unload();

private:
    using GetClassObjectFn = HRESULT WINAPI(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT WINAPI();

    UniqueLibrary module_;
    std::wstring path_;
    GetClassObjectFn* getClassObject_ = nullptr;
    CanUnloadNowFn* canUnloadNow_ = nullptr;
};

// The plug-in's signature and version (GetInfo), as the driver asks before anything else.
bool ReadPluginInfo(IPrintOemCommon* plugin, DWORD* signature, DWORD* version, std::string* error);

}  // namespace corv::host
