// The spooler's part on the UI side, played by corvhost: one printer that only this process
// knows, described by a few facts, and the UI plug-in's spooler imports (OpenPrinterW,
// ClosePrinter, GetPrinterW, SetPrinterW, GetPrinterDriverW, GetJobW) redirected to it. Calls
// with any other handle go on to the real spooler.
#pragma once

#include "host/kit/iatpatch.h"

#include <winspool.h>

#include <memory>
#include <string>
#include <vector>

namespace corv::host {

struct PrinterFacts {
    std::wstring printerName = L"Corvane CP 4500 PS";
    std::wstring driverName = L"Corvane CP 4500 PS";
    std::wstring printProcessor = L"WinPrint";
    std::wstring configFile;  // the core driver's UI module
    std::wstring driverPath;  // the core driver's rendering module
    std::wstring dataFile;    // the printer description
    std::wstring helpFile;    // the core driver's help
    std::vector<std::wstring> dependentFiles;  // the plug-ins, their configuration, the plug-ins' help
    std::wstring userName = L"corvuser";  // the owner of every job
    std::wstring document = L"Corvane sample job";
};

struct Ppd;
struct InstalledDriver;

// The printer as corvhost installs it: named by the description's NickName, with the driver's
// files as installed from the package; its jobs belong to the user who runs corvhost.
PrinterFacts DescribePrinter(const Ppd& ppd, const InstalledDriver& driver);

// The spooler's records, packed as the spooler packs them: the structure first, its strings
// after it in the same buffer. Without a buffer that holds it all: FALSE, the needed size and
// ERROR_INSUFFICIENT_BUFFER. Levels other than those named: FALSE and ERROR_INVALID_LEVEL.
BOOL PackPrinterInfo(const PrinterFacts& facts, DWORD level, BYTE* buffer, DWORD size, DWORD* needed);  // 2
BOOL PackDriverInfo(const PrinterFacts& facts, DWORD level, BYTE* buffer, DWORD size, DWORD* needed);   // 2, 3, 6
BOOL PackJobInfo(const PrinterFacts& facts, DWORD jobId, DWORD level, BYTE* buffer, DWORD size, DWORD* needed);  // 1

class UiSpooler {
public:
    explicit UiSpooler(PrinterFacts facts);
    UiSpooler(const UiSpooler&) = delete;
    UiSpooler& operator=(const UiSpooler&) = delete;
    ~UiSpooler();

    // The handle the driver itself holds for the printer (the one it puts into its parameters).
    HANDLE printer() const { return reinterpret_cast<HANDLE>(const_cast<char*>(&token_)); }
    const PrinterFacts& facts() const { return facts_; }

    // Patches `module`'s spooler imports; the number of functions it imports of the six.
    int Attach(HMODULE module);
    void Detach();

    // What the plug-in did with the printer.
    int opens() const { return opens_; }
    int closes() const { return closes_; }
    const std::vector<std::wstring>& printProcessorsSet() const { return processorsSet_; }
    // Handles the plug-in opened and did not close.
    int openHandles() const { return static_cast<int>(handles_.size()); }

    // The spooler calls, as the plug-in makes them.
    BOOL Open(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults);
    BOOL Close(HANDLE handle);
    BOOL GetPrinter(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL SetPrinter(HANDLE handle, DWORD level, LPBYTE info, DWORD command);
    BOOL GetPrinterDriver(HANDLE handle, LPWSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL GetJob(HANDLE handle, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed);

private:
    bool Ours(HANDLE handle) const;
    template <typename F>
    F* Real(size_t which) const {
        return patches_[which].original_as<F>();
    }

    static UiSpooler* current_;
    static BOOL WINAPI OpenPrinterStandIn(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
    static BOOL WINAPI ClosePrinterStandIn(HANDLE);
    static BOOL WINAPI GetPrinterStandIn(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD);
    static BOOL WINAPI SetPrinterStandIn(HANDLE, DWORD, LPBYTE, DWORD);
    static BOOL WINAPI GetPrinterDriverStandIn(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD);
    static BOOL WINAPI GetJobStandIn(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD);

    PrinterFacts facts_;
    char token_ = 0;
    std::vector<std::unique_ptr<char>> handles_;  // one cell per handle the plug-in opened
    ImportPatch patches_[6];
    int opens_ = 0;
    int closes_ = 0;
    std::vector<std::wstring> processorsSet_;
};

}  // namespace corv::host
