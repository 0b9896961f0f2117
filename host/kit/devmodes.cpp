#include "host/kit/devmodes.h"

#include "host/kit/hostio.h"

#include <cstring>
#include <cwchar>

namespace corv::host {
namespace {

constexpr DWORD kLargestPrivatePart = 0x10000;

OEMDMPARAM Param(const DevModeCaller& caller) {
    OEMDMPARAM p{};
    p.cbSize = sizeof p;
    p.pdriverobj = caller.devobj;
    p.hPrinter = caller.printer;
    p.hModule = caller.module;
    return p;
}

bool Call(const DevModeCaller& caller, DWORD mode, const char* name, OEMDMPARAM* p, std::string* error) {
    const HRESULT hr = caller.plugin->DevMode(mode, p);
    if (hr == S_OK) return true;
    *error = std::string("DevMode(") + name + ") failed: " + Hex(hr);
    return false;
}

// The device object of the rendering side points at the DEVMODE the call works on.
void PointAt(const DevModeCaller& caller, DevModeBuffer* dm) {
    if (!caller.devobj) return;
    caller.devobj->pPublicDM = dm->Public();
    caller.devobj->pOEMDM = dm->Private();
}

}  // namespace

DEVMODEW DriverPublicDevMode(const std::wstring& deviceName) {
    DEVMODEW dm{};
    std::wcsncpy(dm.dmDeviceName, deviceName.c_str(), CCHDEVICENAME - 1);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = 0x0600;
    return dm;
}

DevModeBuffer::DevModeBuffer(const DEVMODEW& base, DWORD privateSize)
    : bytes_(kPrivateAt + privateSize, 0), privateSize_(privateSize) {
    std::memcpy(bytes_.data(), &base, sizeof base);
    PDEVMODEW dm = Public();
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = static_cast<WORD>(kCorePrivateSize + privateSize);
    reinterpret_cast<PSCRIPT5_PRIVATE_DEVMODE*>(bytes_.data() + sizeof(DEVMODEW))->wSize = kCorePrivateSize;
}

bool DevModeBuffer::FromBytes(std::vector<BYTE> bytes, DWORD privateSize, DevModeBuffer* out) {
    if (bytes.size() != kPrivateAt + privateSize) return false;
    DEVMODEW dm;
    std::memcpy(&dm, bytes.data(), sizeof dm);
    if (dm.dmSize != sizeof(DEVMODEW) || dm.dmDriverExtra != kCorePrivateSize + privateSize) return false;
    out->bytes_ = std::move(bytes);
    out->privateSize_ = privateSize;
    return true;
}

long DevModeBuffer::FirstDifference(const DevModeBuffer& a, const DevModeBuffer& b) {
    const DWORD n = a.privateSize_ < b.privateSize_ ? a.privateSize_ : b.privateSize_;
    for (DWORD i = 0; i < n; ++i)
        if (a.Private()[i] != b.Private()[i]) return static_cast<long>(i);
    return a.privateSize_ == b.privateSize_ ? -1 : static_cast<long>(n);
}

bool AskPrivateSize(const DevModeCaller& caller, DWORD* size, std::string* error) {
    OEMDMPARAM p = Param(caller);
    if (!Call(caller, OEMDM_SIZE, "OEMDM_SIZE", &p, error)) return false;
    *size = p.cbBufSize;
    if (p.cbBufSize < sizeof(OEM_DMEXTRAHEADER) || p.cbBufSize > kLargestPrivatePart) {
        *error = "the plug-in asks for a private DEVMODE of " + std::to_string(p.cbBufSize) + " bytes";
        return false;
    }
    return true;
}

bool DefaultDevMode(const DevModeCaller& caller, DevModeBuffer* dm, std::string* error) {
    PointAt(caller, dm);
    OEMDMPARAM p = Param(caller);
    p.pPublicDMIn = dm->Public();
    p.pOEMDMOut = dm->Private();
    p.cbBufSize = dm->privateSize();
    return Call(caller, OEMDM_DEFAULT, "OEMDM_DEFAULT", &p, error);
}

bool MergeDevMode(const DevModeCaller& caller, const DevModeBuffer& in, DevModeBuffer* dm, std::string* error) {
    if (in.privateSize() != dm->privateSize()) {
        *error = "DevMode(OEMDM_MERGE) was not called: the DEVMODE to merge has a private part of " +
                 std::to_string(in.privateSize()) + " bytes, the driver's " + std::to_string(dm->privateSize());
        return false;
    }
    PointAt(caller, dm);
    OEMDMPARAM p = Param(caller);
    p.pPublicDMIn = const_cast<PDEVMODEW>(in.Public());
    p.pPublicDMOut = dm->Public();
    p.pOEMDMIn = const_cast<BYTE*>(in.Private());
    p.pOEMDMOut = dm->Private();
    p.cbBufSize = dm->privateSize();
    return Call(caller, OEMDM_MERGE, "OEMDM_MERGE", &p, error);
}

}  // namespace corv::host
