// The core driver's DEVMODE buffer and its DevMode calls into a plug-in. The buffer holds the
// public DEVMODE, the core driver's own private part, then the plug-in's part; the plug-in
// only ever sees its part and the public one.
#pragma once

#include "common/platform/oemintf.h"

#include <string>
#include <vector>

namespace corv::host {

constexpr WORD kCorePrivateSize = sizeof(PSCRIPT5_PRIVATE_DEVMODE);

// The public fields every DEVMODE of this driver starts from: the device name and the versions.
DEVMODEW DriverPublicDevMode(const std::wstring& deviceName);

class DevModeBuffer {
public:
    DevModeBuffer() = default;
    // `base` gives the public fields; sizes and the core's part are set here.
    DevModeBuffer(const DEVMODEW& base, DWORD privateSize);

    PDEVMODEW Public() { return reinterpret_cast<PDEVMODEW>(bytes_.data()); }
    const DEVMODEW* Public() const { return reinterpret_cast<const DEVMODEW*>(bytes_.data()); }
    BYTE* Private() { return bytes_.data() + kPrivateAt; }
    const BYTE* Private() const { return bytes_.data() + kPrivateAt; }
    DWORD privateSize() const { return privateSize_; }
    bool empty() const { return bytes_.empty(); }

    // The whole buffer, as the spooler keeps a user's DEVMODE; and back from such bytes, false
    // when they are not a DEVMODE of this driver whose plug-in part has privateSize bytes.
    const std::vector<BYTE>& bytes() const { return bytes_; }
    static bool FromBytes(std::vector<BYTE> bytes, DWORD privateSize, DevModeBuffer* out);

    // The first byte at which the two plug-in parts differ; -1 when they are the same.
    static long FirstDifference(const DevModeBuffer& a, const DevModeBuffer& b);

private:
    static constexpr size_t kPrivateAt = sizeof(DEVMODEW) + kCorePrivateSize;
    std::vector<BYTE> bytes_;
    DWORD privateSize_ = 0;
};

// Who is asked: the plug-in, with the printer handle and module the driver gives it, and on the
// rendering side the device object the driver points at the DEVMODE being worked on.
struct DevModeCaller {
    IPrintOemCommon* plugin = nullptr;
    HANDLE printer = nullptr;
    HMODULE module = nullptr;
    DEVOBJ* devobj = nullptr;  // null on the UI side
};

// OEMDM_SIZE: false with the reason when the call fails or asks for a size no record can have.
bool AskPrivateSize(const DevModeCaller& caller, DWORD* size, std::string* error);
// OEMDM_DEFAULT into `dm`'s part.
bool DefaultDevMode(const DevModeCaller& caller, DevModeBuffer* dm, std::string* error);
// OEMDM_MERGE of `in` (an application's DEVMODE) into `dm` (the driver's).
bool MergeDevMode(const DevModeCaller& caller, const DevModeBuffer& in, DevModeBuffer* dm, std::string* error);

}  // namespace corv::host
