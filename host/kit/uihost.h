// The UI plug-in as a process of the core driver holds it, for the preferences sheet and for the
// application that prints: the DLL with its spooler calls redirected to corvhost's printer, its
// object, and the core driver's UI helper published to it.
#pragma once

#include "host/kit/comref.h"
#include "host/prefs/coreui.h"
#include "host/kit/plugin.h"
#include "host/standins/uispooler.h"

#include <functional>
#include <string>
#include <vector>

namespace corv::host {

class UiPluginHost {
public:
    using TraceFn = std::function<void(const std::string&)>;

    UiPluginHost(const Ppd& ppd, PrinterFacts facts, TraceFn trace);
    UiPluginHost(const UiPluginHost&) = delete;
    UiPluginHost& operator=(const UiPluginHost&) = delete;

    // Loads the DLL, creates the object, asks GetInfo and publishes the helper; false with the
    // reason when a step fails.
    bool Open(const std::wstring& path, std::string* error);
    // Releases the object and unloads the DLL; the interface rules the plug-in broke on the way
    // are added to `violations`.
    void Close(std::vector<std::string>* violations);

    // What the spooler does once, when it installs the printer's driver: the core driver passes
    // DRIVER_EVENT_INITIALIZE with the driver's DRIVER_INFO_3 on to its plug-in, which sets up
    // what the driver's users start with (the UI plug-in's default watermarks). The spooler's
    // record of installed drivers tells that first installation from every later run, so what
    // the plug-in set up is not set up again over the user's own changes. True when this call
    // installed the driver; `*result` is then the plug-in's answer.
    bool InstallDriverOnce(HRESULT* result);

    IPrintOemUI2* plugin() const { return plugin_.get(); }
    HMODULE module() const { return module_.handle(); }
    HostCoreUi& core() { return core_; }
    UiSpooler& spooler() { return spooler_; }
    DWORD signature() const { return signature_; }
    DWORD version() const { return version_; }

private:
    HostCoreUi core_;
    UiSpooler spooler_;
    TraceFn trace_;
    PluginModule module_;
    ComRef<IPrintOemUI2> plugin_;
    bool published_ = false;
    DWORD signature_ = 0, version_ = 0;
};

}  // namespace corv::host
