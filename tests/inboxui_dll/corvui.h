// corvui.dll as the core driver sees it, by export and raw vtable slot. The spooler is stood in
// for by patching the DLL's own imports.
#pragma once

#include "common/platform/oemintf.h"
#include "tests/support/iatpatch_ui.h"
#include "tests/support/rawcom.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace corvtest {

inline HMODULE UiModule() {
    static HMODULE module = LoadBesideTests(L"corvui.dll");
    return module;
}

template <typename F>
F Export(const char* name) {
    return ExportOf<F>(UiModule(), name);
}

inline HRESULT GetUiClassObject(const CLSID& clsid, const IID& iid, void** out) {
    return Export<GetClassObjectFn>("DllGetClassObject")(&clsid, &iid, out);
}
inline HRESULT UiCanUnloadNow() { return Export<CanUnloadNowFn>("DllCanUnloadNow")(); }

// IPrintOemUI2, by slot, in the interface chain's order.
struct RawUiPlugin : RawUnknown {
    HRESULT GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) const {
        return Slot<HRESULT, DWORD, PVOID, DWORD, PDWORD>(p, 3, mode, buffer, size, needed);
    }
    HRESULT DevMode(DWORD mode, POEMDMPARAM param) const { return Slot<HRESULT, DWORD, POEMDMPARAM>(p, 4, mode, param); }
    HRESULT PublishDriverInterface(IUnknown* core) const { return Slot<HRESULT, IUnknown*>(p, 5, core); }
    HRESULT CommonUIProp(DWORD mode, POEMCUIPPARAM param) const {
        return Slot<HRESULT, DWORD, POEMCUIPPARAM>(p, 6, mode, param);
    }
    HRESULT DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) const {
        return Slot<HRESULT, PPROPSHEETUI_INFO, LPARAM>(p, 7, info, lParam);
    }
    HRESULT DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) const {
        return Slot<HRESULT, PPROPSHEETUI_INFO, LPARAM>(p, 8, info, lParam);
    }
    HRESULT DevQueryPrintEx() const {
        return Slot<HRESULT, POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID>(p, 9, nullptr, nullptr, nullptr, nullptr);
    }
    HRESULT DeviceCapabilities() const {
        DWORD result = 0;
        return Slot<HRESULT, POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*>(
            p, 10, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, &result);
    }
    HRESULT UpgradePrinter() const { return Slot<HRESULT, DWORD, PBYTE>(p, 11, 1, nullptr); }
    HRESULT PrinterEvent(const WCHAR* name, INT event) const {
        return Slot<HRESULT, PWSTR, INT, DWORD, LPARAM>(p, 12, const_cast<PWSTR>(name), event, 0, 0);
    }
    HRESULT DriverEvent(DWORD event, DWORD level, void* info) const {
        return Slot<HRESULT, DWORD, DWORD, LPBYTE, LPARAM>(p, 13, event, level, static_cast<LPBYTE>(info), 0);
    }
    HRESULT QueryColorProfile() const {
        ULONG size = 0;
        FLONG flags = 0;
        return Slot<HRESULT, HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*, ULONG*, FLONG*>(
            p, 14, nullptr, nullptr, nullptr, nullptr, 0, nullptr, &size, &flags);
    }
    HRESULT FontInstallerDlgProc() const { return Slot<HRESULT, HWND, UINT, WPARAM, LPARAM>(p, 15, nullptr, 0, 0, 0); }
    HRESULT UpdateExternalFonts() const { return Slot<HRESULT, HANDLE, HANDLE, PWSTR>(p, 16, nullptr, nullptr, nullptr); }
    HRESULT QueryJobAttributes() const {
        return Slot<HRESULT, HANDLE, PDEVMODEW, DWORD, LPBYTE>(p, 17, nullptr, nullptr, 1, nullptr);
    }
    HRESULT HideStandardUI(DWORD mode) const { return Slot<HRESULT, DWORD>(p, 18, mode); }
    HRESULT DocumentEvent(INT event, ULONG cbOut, PVOID pvOut, PINT result) const {
        return Slot<HRESULT, HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT>(p, 19, nullptr, nullptr, event, 0,
                                                                                 nullptr, cbOut, pvOut, result);
    }
};

// A new plug-in object through the exports, or null.
inline RawUiPlugin CreateUiPlugin() {
    RawFactory factory;
    RawUiPlugin plugin;
    if (FAILED(GetUiClassObject(CLSID_OEMUI, IID_IClassFactory, &factory.p)) || !factory.p) return plugin;
    factory.CreateInstance(nullptr, IID_IPrintOemUI2, &plugin.p);
    factory.Release();
    return plugin;
}

// The spooler as corvui.dll reaches it. Printers are known by name; a handle is the printer's
// index plus a base.
class DllSpooler {
public:
    struct Printer {
        std::wstring name;
        std::wstring driver;
        std::wstring dataFile;
        std::wstring configFile;
        std::vector<std::wstring> dependentFiles;
        std::wstring printProcessor = L"WinPrint";
    };
    struct SetCall {
        HANDLE handle;
        DWORD level;
        DWORD command;
        std::wstring printProcessor;
        std::wstring printerName;
    };

    DllSpooler()
        : open_(UiModule(), "winspool.drv", "OpenPrinterW", reinterpret_cast<void*>(&Open)),
          close_(UiModule(), "winspool.drv", "ClosePrinter", reinterpret_cast<void*>(&Close)),
          get_(UiModule(), "winspool.drv", "GetPrinterW", reinterpret_cast<void*>(&Get)),
          driver_(UiModule(), "winspool.drv", "GetPrinterDriverW", reinterpret_cast<void*>(&GetDriver)),
          set_(UiModule(), "winspool.drv", "SetPrinterW", reinterpret_cast<void*>(&Set)) {
        State() = {};
    }
    ~DllSpooler() { State() = {}; }
    bool active() const {
        return open_.active() && close_.active() && get_.active() && driver_.active() && set_.active();
    }

    HANDLE Add(Printer printer) {
        State().printers.push_back(std::move(printer));
        return Handle(State().printers.size() - 1);
    }
    static Printer& At(HANDLE handle) { return State().printers[Index(handle)]; }

    static const std::vector<SetCall>& Sets() { return State().sets; }
    static DWORD LastAccess() { return State().lastAccess; }
    static int OpenCount() { return State().opens; }
    static int CloseCount() { return State().closes; }

private:
    struct Data {
        std::vector<Printer> printers;
        std::vector<SetCall> sets;
        DWORD lastAccess = 0;
        int opens = 0;
        int closes = 0;
    };
    static Data& State() {
        static Data data;
        return data;
    }
    static HANDLE Handle(size_t index) { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x6001 + index)); }
    static size_t Index(HANDLE handle) { return reinterpret_cast<ULONG_PTR>(handle) - 0x6001; }
    static bool Known(HANDLE handle) { return Index(handle) < State().printers.size(); }

    // Strings are packed after the structure, as the spooler does.
    class Packer {
    public:
        Packer(size_t fixed) : size_(fixed) {}
        size_t Reserve(const std::wstring& s) {
            size_t at = size_;
            size_ += (s.size() + 1) * sizeof(WCHAR);
            return at;
        }
        size_t Reserve(const std::vector<std::wstring>& list) {
            size_t at = size_;
            for (const auto& s : list) size_ += (s.size() + 1) * sizeof(WCHAR);
            size_ += sizeof(WCHAR);
            return at;
        }
        size_t size() const { return size_; }

    private:
        size_t size_;
    };
    static LPWSTR Put(BYTE* base, size_t at, const std::wstring& s) {
        std::memcpy(base + at, s.c_str(), (s.size() + 1) * sizeof(WCHAR));
        return reinterpret_cast<LPWSTR>(base + at);
    }

    static BOOL WINAPI Open(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults) {
        ++State().opens;
        State().lastAccess = defaults ? defaults->DesiredAccess : 0;
        for (size_t i = 0; name && handle && i < State().printers.size(); ++i) {
            if (State().printers[i].name == name) {
                *handle = Handle(i);
                return TRUE;
            }
        }
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    static BOOL WINAPI Close(HANDLE) {
        ++State().closes;
        return TRUE;
    }
    static BOOL WINAPI Get(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
        if (!Known(handle) || level != 2 || !needed) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        const Printer& p = At(handle);
        Packer pack(sizeof(PRINTER_INFO_2W));
        size_t name = pack.Reserve(p.name), driver = pack.Reserve(p.driver), processor = pack.Reserve(p.printProcessor);
        *needed = static_cast<DWORD>(pack.size());
        if (!buffer || size < *needed) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memset(buffer, 0, *needed);
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
        info->pPrinterName = Put(buffer, name, p.name);
        info->pDriverName = Put(buffer, driver, p.driver);
        info->pPrintProcessor = Put(buffer, processor, p.printProcessor);
        return TRUE;
    }
    static BOOL WINAPI GetDriver(HANDLE handle, LPWSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
        if (!Known(handle) || (level != 2 && level != 6) || !needed) {
            SetLastError(ERROR_INVALID_LEVEL);
            return FALSE;
        }
        const Printer& p = At(handle);
        Packer pack(level == 2 ? sizeof(DRIVER_INFO_2W) : sizeof(DRIVER_INFO_6W));
        size_t name = pack.Reserve(p.driver), data = pack.Reserve(p.dataFile), config = pack.Reserve(p.configFile);
        size_t dependent = level == 6 ? pack.Reserve(p.dependentFiles) : 0;
        *needed = static_cast<DWORD>(pack.size());
        if (!buffer || size < *needed) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memset(buffer, 0, *needed);
        auto* info = reinterpret_cast<DRIVER_INFO_2W*>(buffer);  // level 6 begins the same way
        info->cVersion = 3;
        info->pName = Put(buffer, name, p.driver);
        info->pDataFile = Put(buffer, data, p.dataFile);
        info->pConfigFile = Put(buffer, config, p.configFile);
        if (level == 6) {
            auto* six = reinterpret_cast<DRIVER_INFO_6W*>(buffer);
            six->pDependentFiles = reinterpret_cast<LPWSTR>(buffer + dependent);
            size_t at = dependent;
            for (const auto& s : p.dependentFiles) {
                Put(buffer, at, s);
                at += (s.size() + 1) * sizeof(WCHAR);
            }
        }
        return TRUE;
    }
    static BOOL WINAPI Set(HANDLE handle, DWORD level, LPBYTE buffer, DWORD command) {
        SetCall call{handle, level, command, L"", L""};
        if (level == 2 && buffer) {
            const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer);
            if (info->pPrintProcessor) call.printProcessor = info->pPrintProcessor;
            if (info->pPrinterName) call.printerName = info->pPrinterName;
        }
        State().sets.push_back(call);
        if (Known(handle) && level == 2) At(handle).printProcessor = call.printProcessor;
        return TRUE;
    }

    ImportPatch open_, close_, get_, driver_, set_;
};

}  // namespace corvtest
