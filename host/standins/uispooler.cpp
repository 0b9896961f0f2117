#include "host/standins/uispooler.h"

#include "host/kit/driverpackage.h"
#include "host/kit/hostio.h"
#include "host/kit/ppd.h"

#include <cstring>
#include <utility>

namespace corv::host {
namespace {

// Lays a record out as the spooler does: the structure, then its strings one after another.
// The first pass only counts; the second writes when the buffer holds everything.
class Packer {
public:
    Packer(BYTE* buffer, DWORD size, DWORD fixed) : buffer_(buffer), size_(size), used_(fixed) {}

    LPWSTR Text(const std::wstring& text) { return Place(text.c_str(), text.size() + 1); }
    // A list of strings, each ended by a NUL, the list by an empty string.
    LPWSTR List(const std::vector<std::wstring>& items) {
        std::wstring joined;
        for (const auto& item : items) {
            joined += item;
            joined.push_back(L'\0');
        }
        return Place(joined.c_str(), joined.size() + 1);
    }

    bool Fits() const { return buffer_ && used_ <= size_; }
    DWORD used() const { return used_; }

private:
    LPWSTR Place(const wchar_t* text, size_t count) {
        DWORD at = used_;
        used_ += static_cast<DWORD>(count * sizeof(wchar_t));
        if (!buffer_ || used_ > size_) return nullptr;
        std::memcpy(buffer_ + at, text, count * sizeof(wchar_t));
        return reinterpret_cast<LPWSTR>(buffer_ + at);
    }

    BYTE* buffer_;
    DWORD size_;
    DWORD used_;
};

// Runs `fill` once to count, then again into the caller's buffer when it is big enough.
template <typename Info, typename Fill>
BOOL Pack(BYTE* buffer, DWORD size, DWORD* needed, Fill fill) {
    if (!needed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Info scratch{};
    Packer count(nullptr, 0, sizeof(Info));
    fill(&scratch, &count);
    *needed = count.used();
    if (!buffer || size < count.used()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto info = reinterpret_cast<Info*>(buffer);
    *info = Info{};
    Packer write(buffer, size, sizeof(Info));
    fill(info, &write);
    return TRUE;
}

BOOL BadLevel() {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
}

}  // namespace

PrinterFacts DescribePrinter(const Ppd& ppd, const InstalledDriver& driver) {
    PrinterFacts facts;
    if (const std::string* name = ppd.Global("NickName")) facts.printerName = facts.driverName = Widen(*name);
    facts.configFile = driver.configFile;
    facts.driverPath = driver.driverPath;
    facts.dataFile = driver.dataFile;
    facts.helpFile = driver.helpFile;
    facts.dependentFiles = driver.dependentFiles;
    // The spooler makes the user who prints the owner of the job.
    wchar_t user[257];
    DWORD size = 257;
    if (GetUserNameW(user, &size) && size > 1) facts.userName.assign(user, size - 1);
    return facts;
}

BOOL PackPrinterInfo(const PrinterFacts& f, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
    if (level != 2) return BadLevel();
    return Pack<PRINTER_INFO_2W>(buffer, size, needed, [&](PRINTER_INFO_2W* i, Packer* p) {
        i->pPrinterName = p->Text(f.printerName);
        i->pShareName = p->Text(L"");
        i->pPortName = p->Text(L"FILE:");
        i->pDriverName = p->Text(f.driverName);
        i->pComment = p->Text(L"");
        i->pLocation = p->Text(L"");
        i->pSepFile = p->Text(L"");
        i->pPrintProcessor = p->Text(f.printProcessor);
        i->pDatatype = p->Text(L"RAW");
        i->pParameters = p->Text(L"");
        i->Attributes = PRINTER_ATTRIBUTE_LOCAL;
        i->Priority = 1;
        i->Status = 0;
    });
}

BOOL PackDriverInfo(const PrinterFacts& f, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
    auto common = [&](auto* i, Packer* p) {
        i->cVersion = 3;
        i->pName = p->Text(f.driverName);
        i->pEnvironment = p->Text(L"Windows x64");
        i->pDriverPath = p->Text(f.driverPath);
        i->pDataFile = p->Text(f.dataFile);
        i->pConfigFile = p->Text(f.configFile);
    };
    switch (level) {
        case 2:
            return Pack<DRIVER_INFO_2W>(buffer, size, needed, [&](DRIVER_INFO_2W* i, Packer* p) { common(i, p); });
        case 3:
            return Pack<DRIVER_INFO_3W>(buffer, size, needed, [&](DRIVER_INFO_3W* i, Packer* p) {
                common(i, p);
                i->pHelpFile = p->Text(f.helpFile);
                i->pDependentFiles = p->List(f.dependentFiles);
                i->pMonitorName = p->Text(L"");
                i->pDefaultDataType = p->Text(L"RAW");
            });
        case 6:
            return Pack<DRIVER_INFO_6W>(buffer, size, needed, [&](DRIVER_INFO_6W* i, Packer* p) {
                common(i, p);
                i->pHelpFile = p->Text(f.helpFile);
                i->pDependentFiles = p->List(f.dependentFiles);
                i->pMonitorName = p->Text(L"");
                i->pDefaultDataType = p->Text(L"RAW");
                i->pszzPreviousNames = p->List({});
                i->pszMfgName = p->Text(L"Corvane");
                i->pszOEMUrl = p->Text(L"");
                i->pszHardwareID = p->Text(L"");
                i->pszProvider = p->Text(L"Corvane");
                i->dwlDriverVersion = 0x0003000000000000ull;
            });
        default:
            return BadLevel();
    }
}

BOOL PackJobInfo(const PrinterFacts& f, DWORD jobId, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
    if (level != 1) return BadLevel();
    return Pack<JOB_INFO_1W>(buffer, size, needed, [&](JOB_INFO_1W* i, Packer* p) {
        i->JobId = jobId;
        i->pPrinterName = p->Text(f.printerName);
        i->pMachineName = p->Text(L"\\\\corvhost");
        i->pUserName = p->Text(f.userName);
        i->pDocument = p->Text(f.document);
        i->pDatatype = p->Text(L"RAW");
        i->pStatus = p->Text(L"");
        i->Status = JOB_STATUS_PRINTING;
        i->Priority = 1;
        i->TotalPages = 0;
    });
}

UiSpooler* UiSpooler::current_ = nullptr;

UiSpooler::UiSpooler(PrinterFacts facts) : facts_(std::move(facts)) { current_ = this; }

UiSpooler::~UiSpooler() {
    Detach();
    if (current_ == this) current_ = nullptr;
}

namespace {
enum Slot : size_t { kOpen, kClose, kGet, kSet, kDriver, kJob };
}

int UiSpooler::Attach(HMODULE module) {
    struct Entry {
        const char* name;
        const void* standIn;
    };
    const Entry entries[] = {
        {"OpenPrinterW", reinterpret_cast<const void*>(&OpenPrinterStandIn)},
        {"ClosePrinter", reinterpret_cast<const void*>(&ClosePrinterStandIn)},
        {"GetPrinterW", reinterpret_cast<const void*>(&GetPrinterStandIn)},
        {"SetPrinterW", reinterpret_cast<const void*>(&SetPrinterStandIn)},
        {"GetPrinterDriverW", reinterpret_cast<const void*>(&GetPrinterDriverStandIn)},
        {"GetJobW", reinterpret_cast<const void*>(&GetJobStandIn)},
    };
    int found = 0;
    for (size_t i = 0; i < std::size(entries); ++i) {
        patches_[i] = ImportPatch(module, "winspool.drv", entries[i].name, entries[i].standIn);
        if (patches_[i].active()) ++found;
    }
    return found;
}

void UiSpooler::Detach() {
    for (ImportPatch& p : patches_) p.Restore();
}

bool UiSpooler::Ours(HANDLE handle) const {
    if (handle == printer()) return true;
    for (const auto& h : handles_)
        if (handle == h.get()) return true;
    return false;
}

BOOL UiSpooler::Open(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults) {
    if (!name || facts_.printerName != name) {
        auto real = Real<BOOL WINAPI(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW)>(kOpen);
        return real ? real(name, handle, defaults) : FALSE;
    }
    if (!handle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    handles_.push_back(std::make_unique<char>(0));
    *handle = reinterpret_cast<HANDLE>(handles_.back().get());
    ++opens_;
    return TRUE;
}

BOOL UiSpooler::Close(HANDLE handle) {
    for (size_t i = 0; i < handles_.size(); ++i) {
        if (handle != handles_[i].get()) continue;
        handles_.erase(handles_.begin() + static_cast<std::ptrdiff_t>(i));
        ++closes_;
        return TRUE;
    }
    if (handle == printer()) {
        // The driver's own handle is not the plug-in's to close.
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    auto real = Real<BOOL WINAPI(HANDLE)>(kClose);
    return real ? real(handle) : FALSE;
}

BOOL UiSpooler::GetPrinter(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (!Ours(handle)) {
        auto real = Real<BOOL WINAPI(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD)>(kGet);
        return real ? real(handle, level, buffer, size, needed) : FALSE;
    }
    return PackPrinterInfo(facts_, level, buffer, size, needed);
}

BOOL UiSpooler::SetPrinter(HANDLE handle, DWORD level, LPBYTE info, DWORD command) {
    if (!Ours(handle)) {
        auto real = Real<BOOL WINAPI(HANDLE, DWORD, LPBYTE, DWORD)>(kSet);
        return real ? real(handle, level, info, command) : FALSE;
    }
    if (level != 2 || !info || command != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto printerInfo = reinterpret_cast<const PRINTER_INFO_2W*>(info);
    std::wstring processor = printerInfo->pPrintProcessor ? printerInfo->pPrintProcessor : L"";
    processorsSet_.push_back(processor);
    facts_.printProcessor = processor;
    return TRUE;
}

BOOL UiSpooler::GetPrinterDriver(HANDLE handle, LPWSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                                 LPDWORD needed) {
    if (!Ours(handle)) {
        auto real = Real<BOOL WINAPI(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD)>(kDriver);
        return real ? real(handle, environment, level, buffer, size, needed) : FALSE;
    }
    return PackDriverInfo(facts_, level, buffer, size, needed);
}

BOOL UiSpooler::GetJob(HANDLE handle, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (!Ours(handle)) {
        auto real = Real<BOOL WINAPI(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD)>(kJob);
        return real ? real(handle, jobId, level, buffer, size, needed) : FALSE;
    }
    return PackJobInfo(facts_, jobId, level, buffer, size, needed);
}

BOOL WINAPI UiSpooler::OpenPrinterStandIn(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults) {
    return current_ ? current_->Open(name, handle, defaults) : FALSE;
}
BOOL WINAPI UiSpooler::ClosePrinterStandIn(HANDLE handle) { return current_ ? current_->Close(handle) : FALSE; }
BOOL WINAPI UiSpooler::GetPrinterStandIn(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    return current_ ? current_->GetPrinter(handle, level, buffer, size, needed) : FALSE;
}
BOOL WINAPI UiSpooler::SetPrinterStandIn(HANDLE handle, DWORD level, LPBYTE info, DWORD command) {
    return current_ ? current_->SetPrinter(handle, level, info, command) : FALSE;
}
BOOL WINAPI UiSpooler::GetPrinterDriverStandIn(HANDLE handle, LPWSTR environment, DWORD level, LPBYTE buffer,
                                               DWORD size, LPDWORD needed) {
    return current_ ? current_->GetPrinterDriver(handle, environment, level, buffer, size, needed) : FALSE;
}
BOOL WINAPI UiSpooler::GetJobStandIn(HANDLE handle, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                                     LPDWORD needed) {
    return current_ ? current_->GetJob(handle, jobId, level, buffer, size, needed) : FALSE;
}

}  // namespace corv::host
