// The registry store's tests run against the real registry, each in its own scratch tree, with
// the spooler's GetPrinterW answered for fake printer handles.
#pragma once

#include "tests/support/iatpatch_ui.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <string>
#include <vector>

namespace corvtest {

// HKEY_CURRENT_USER and HKEY_USERS point at two fresh keys under
// HKCU\Software\CorvaneTest\<unique> while the object lives; the tree is deleted afterwards.
class ScratchRegistry {
public:
    ScratchRegistry() {
        static LONG serial = 0;
        LARGE_INTEGER tick{};
        QueryPerformanceCounter(&tick);
        tree_ = L"Software\\CorvaneTest\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(tick.QuadPart) + L"-" + std::to_wstring(InterlockedIncrement(&serial));
        ok_ = Create((tree_ + L"\\user").c_str(), &user_) && Create((tree_ + L"\\users").c_str(), &users_) &&
              RegOverridePredefKey(HKEY_CURRENT_USER, user_) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_USERS, users_) == ERROR_SUCCESS;
    }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;
    ~ScratchRegistry() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_USERS, nullptr);
        if (user_) RegCloseKey(user_);
        if (users_) RegCloseKey(users_);
        // The shared parent stays: deleting it while empty raced with another test program
        // creating its own tree under it, whose set-up then failed.
        RegDeleteTreeW(HKEY_CURRENT_USER, tree_.c_str());
    }
    bool ok() const { return ok_; }

private:
    static bool Create(const wchar_t* path, HKEY* key) {
        return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key, nullptr) ==
               ERROR_SUCCESS;
    }
    std::wstring tree_;
    HKEY user_ = nullptr;
    HKEY users_ = nullptr;
    bool ok_ = false;
};

// GetPrinterW level 2 for fake printer handles: PRINTER_INFO_2W with a printer and driver name.
class FakeSpooler {
public:
    FakeSpooler() : patch_("winspool.drv", "GetPrinterW", reinterpret_cast<void*>(&GetPrinter)) {}
    ~FakeSpooler() { Printers().clear(); }
    bool active() const { return patch_.active(); }

    HANDLE Add(const wchar_t* printerName, const wchar_t* driverName) {
        Printers().push_back({printerName, driverName});
        return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5000 + Printers().size()));
    }

private:
    struct Printer {
        std::wstring name;
        std::wstring driver;
    };
    static std::vector<Printer>& Printers() {
        static std::vector<Printer> printers;
        return printers;
    }

    static BOOL WINAPI GetPrinter(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
        auto index = reinterpret_cast<ULONG_PTR>(handle) - 0x5001;
        if (index >= Printers().size() || level != 2 || !needed) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        const Printer& p = Printers()[index];
        DWORD nameBytes = static_cast<DWORD>((p.name.size() + 1) * sizeof(WCHAR));
        DWORD driverBytes = static_cast<DWORD>((p.driver.size() + 1) * sizeof(WCHAR));
        *needed = sizeof(PRINTER_INFO_2W) + nameBytes + driverBytes;
        if (!buffer || size < *needed) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memset(buffer, 0, *needed);
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
        info->pPrinterName = reinterpret_cast<LPWSTR>(buffer + sizeof(PRINTER_INFO_2W));
        info->pDriverName = reinterpret_cast<LPWSTR>(buffer + sizeof(PRINTER_INFO_2W) + nameBytes);
        std::memcpy(info->pPrinterName, p.name.c_str(), nameBytes);
        std::memcpy(info->pDriverName, p.driver.c_str(), driverBytes);
        return TRUE;
    }

    ExeImportPatch patch_;
};

struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

inline const wchar_t kDriver[] = L"Corvane Test PS";
inline const std::wstring kModelPath = L"Software\\Corvane\\RIViroRo\\Corvane Test PS";
inline const std::wstring kWatermarksPath = kModelPath + L"\\Watermarks";
inline const std::wstring kDefaultModelPath = L".DEFAULT\\" + kModelPath;
inline const std::wstring kDefaultWatermarksPath = kDefaultModelPath + L"\\Watermarks";

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.ok());
        ASSERT_TRUE(spooler_.active());
        printer_ = spooler_.Add(L"Office", kDriver);
    }

    static void Put(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                    DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void MakeKey(HKEY root, const std::wstring& path) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static bool KeyExists(HKEY root, const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    static RawValue Get(HKEY root, const std::wstring& path, const wchar_t* name) {
        RawValue v;
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
            v.data.resize(size);
            v.present = RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size) == ERROR_SUCCESS;
            v.data.resize(size);
        }
        RegCloseKey(key);
        return v;
    }
    // Value names of a key in the registry's own enumeration order.
    static std::vector<std::wstring> Names(HKEY root, const std::wstring& path) {
        std::vector<std::wstring> names;
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[512];
            DWORD chars = 512;
            if (RegEnumValueW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name);
        }
        RegCloseKey(key);
        return names;
    }

    ScratchRegistry registry_;
    FakeSpooler spooler_;
    HANDLE printer_ = nullptr;
};

}  // namespace corvtest
