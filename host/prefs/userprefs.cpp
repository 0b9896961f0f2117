#include "host/prefs/userprefs.h"

#include "common/handles.h"

namespace corv::host {
namespace {

constexpr wchar_t kPerUserKey[] = L"Printers\\DevModePerUser";

}  // namespace

bool ReadUserPreferences(const std::wstring& printer, DWORD privateSize, DevModeBuffer* dm) {
    DWORD type = 0, bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kPerUserKey, printer.c_str(), RRF_RT_REG_BINARY, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes == 0 || bytes > 0x20000)
        return false;
    std::vector<BYTE> data(bytes);
    if (RegGetValueW(HKEY_CURRENT_USER, kPerUserKey, printer.c_str(), RRF_RT_REG_BINARY, &type, data.data(), &bytes) !=
        ERROR_SUCCESS)
        return false;
    data.resize(bytes);
    return DevModeBuffer::FromBytes(std::move(data), privateSize, dm);
}

bool WriteUserPreferences(const std::wstring& printer, const DevModeBuffer& dm, std::string* error) {
    UniqueKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kPerUserKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExW(key.get(), printer.c_str(), 0, REG_BINARY, dm.bytes().data(),
                                static_cast<DWORD>(dm.bytes().size()));
    if (status != ERROR_SUCCESS) *error = "the preferences could not be kept (error " + std::to_string(status) + ")";
    return status == ERROR_SUCCESS;
}

bool ForgetUserPreferences(const std::wstring& printer) {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPerUserKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return false;
    return RegDeleteValueW(key.get(), printer.c_str()) == ERROR_SUCCESS;
}

}  // namespace corv::host
