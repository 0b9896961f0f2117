// What the profile store tests stand on: HKEY_CURRENT_USER pointed at a scratch key of its own
// for each test, the spooler's GetPrinterW answered from the test (Wine has no printers), and a
// driver UI object whose DrvUpdateUISetting records its calls.
#pragma once

#include "plug-in/inboxui/profiles/store.h"
#include "tests/inboxui/watermarks/store_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvtest {

struct UpdateCall {
    void* uiObject;
    void* option;
    DWORD previous;
    DWORD mode;
};
inline std::vector<UpdateCall> g_updates;

inline BOOL APIENTRY RecordUpdate(PVOID uiObject, PVOID option, DWORD previous, DWORD mode) {
    g_updates.push_back({uiObject, option, previous, mode});
    return TRUE;
}

// Wine picks its display driver from the user's own keys when the process makes its first
// window: that has to happen before the user's keys are swapped for the scratch key.
struct DisplayDriverLoaded {
    DisplayDriverLoaded() {
        DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    }
};

class ProfileStoreTest : public ::testing::Test {
protected:
    DisplayDriverLoaded display;
    ScratchRegistry registry;
    FakeSpooler spooler;
    const HANDLE printer = spooler.Add(L"Office", L"Corvane Model A");
    const HANDLE otherModel = spooler.Add(L"Hall", L"Corvane Model B");
    const HANDLE unknownPrinter = reinterpret_cast<HANDLE>(0x4711);  // the spooler cannot name its driver
    OEMUIPROCS procs{nullptr, &RecordUpdate};
    OEMUIOBJ uiObject{sizeof(OEMUIOBJ), &procs};

    void SetUp() override {
        ASSERT_TRUE(registry.ok());
        ASSERT_TRUE(spooler.active());
        g_updates.clear();
    }
    static std::wstring ProfilePath(const std::wstring& profile, const std::wstring& driver = L"Corvane Model A") {
        return L"Software\\Corvane\\RIViroRo\\" + driver + L"\\Profiles" + (profile.empty() ? L"" : L"\\" + profile);
    }
    static bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    static bool ReadValue(const std::wstring& profile, const wchar_t* value, DWORD* type, std::vector<BYTE>* data) {
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, ProfilePath(profile).c_str(), value, RRF_RT_ANY | RRF_NOEXPAND, type,
                         nullptr, &bytes) != ERROR_SUCCESS)
            return false;
        data->resize(bytes);
        return RegGetValueW(HKEY_CURRENT_USER, ProfilePath(profile).c_str(), value, RRF_RT_ANY | RRF_NOEXPAND, type,
                            data->data(), &bytes) == ERROR_SUCCESS;
    }
    static bool ReadNumber(const std::wstring& profile, const wchar_t* value, DWORD* number) {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!ReadValue(profile, value, &type, &data) || type != REG_DWORD || data.size() != 4) return false;
        memcpy(number, data.data(), 4);
        return true;
    }
    static void WriteValue(const std::wstring& profile, const wchar_t* value, DWORD type, const void* data,
                           DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ProfilePath(profile).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, value, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    }
    static std::vector<std::wstring> ValueNames(const std::wstring& profile) {
        std::vector<std::wstring> names;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, ProfilePath(profile).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[256];
            DWORD length = 256;
            if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name);
        }
        RegCloseKey(key);
        return names;
    }
};

}  // namespace corvtest
