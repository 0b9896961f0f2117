#include "host/kit/uihost.h"

#include "common/handles.h"
#include "host/kit/hostio.h"

#include <utility>
#include <vector>

namespace corv::host {

UiPluginHost::UiPluginHost(const Ppd& ppd, PrinterFacts facts, TraceFn trace)
    : core_(ppd), spooler_(std::move(facts)), trace_(std::move(trace)) {}

bool UiPluginHost::Open(const std::wstring& path, std::string* error) {
    if (!module_.Load(path, error)) return false;
    const int patched = spooler_.Attach(module_.handle());
    trace_("loaded " + Narrow(path) + ", " + std::to_string(patched) + " spooler imports redirected");
    if (FAILED(module_.Create(CLSID_OEMUI, IID_IPrintOemUI2, plugin_.put(), error))) return false;
    if (!ReadPluginInfo(plugin_.get(), &signature_, &version_, error)) return false;
    trace_("GetInfo: signature " + Hex(signature_) + ", version " + std::to_string(version_));
    const HRESULT hr = plugin_->PublishDriverInterface(static_cast<IUnknown*>(static_cast<IPrintCoreUI2*>(&core_)));
    trace_("PublishDriverInterface(IPrintCoreUI2) -> " + Hex(hr));
    if (hr != S_OK) {
        *error = "the UI plug-in refused the IPrintCoreUI2 helper: " + Hex(hr);
        return false;
    }
    published_ = true;
    return true;
}

namespace {

// Where Windows' spooler records the x64 drivers it has installed, one key a driver name.
constexpr wchar_t kInstalledDriversKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\";

}  // namespace

bool UiPluginHost::InstallDriverOnce(HRESULT* result) {
    const PrinterFacts& facts = spooler_.facts();
    const std::wstring path = kInstalledDriversKey + facts.driverName;
    HKEY created = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &created,
                        &disposition) != ERROR_SUCCESS)
        return false;
    UniqueKey key(created);
    if (disposition != REG_CREATED_NEW_KEY) return false;
    DWORD needed = 0;
    PackDriverInfo(facts, 3, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (!needed || !PackDriverInfo(facts, 3, info.data(), needed, &needed)) {
        // Without its event the driver is not installed: the next run tries again.
        key.reset();
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
        return false;
    }
    const std::wstring file = facts.dataFile;
    RegSetValueExW(key.get(), L"Data File", 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                   static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
    *result = plugin_->DriverEvent(DRIVER_EVENT_INITIALIZE, 3, info.data(), 0);
    trace_("DriverEvent(DRIVER_EVENT_INITIALIZE, 3) -> " + Hex(*result));
    return true;
}

void UiPluginHost::Close(std::vector<std::string>* violations) {
    if (!plugin_.get()) {
        spooler_.Detach();
        module_.Unload();
        return;
    }
    const ULONG left = plugin_.reset();
    trace_("Release -> " + std::to_string(left));
    if (left != 0)
        violations->push_back("the UI plug-in object still counts " + std::to_string(left) +
                              " references after the driver's last Release");
    if (published_ && core_.references() != 1)
        violations->push_back("the UI plug-in still holds " + std::to_string(core_.references() - 1) +
                              " references on the core driver's UI helper");
    const HRESULT hr = module_.CanUnloadNow();
    if (hr != S_OK)
        violations->push_back("the UI plug-in's DllCanUnloadNow answers " + Hex(hr) + " with every object released");
    if (spooler_.openHandles())
        violations->push_back("the UI plug-in left " + std::to_string(spooler_.openHandles()) + " printer handles open");
    spooler_.Detach();
    module_.Unload();
}

}  // namespace corv::host
