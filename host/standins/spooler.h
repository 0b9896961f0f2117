// The spooler's part, played by corvhost: a printer handle that only this process knows, the
// job's output file behind it, and the plug-in's WritePrinter import redirected to it. The
// plug-in calls the real API by name; only its import-table slot knows better.
#pragma once

#include "common/handles.h"
#include "host/print/corehelper.h"
#include "host/kit/iatpatch.h"

#include <memory>
#include <string>
#include <string_view>

namespace corv::host {

class Spooler {
public:
    Spooler();
    Spooler(const Spooler&) = delete;
    Spooler& operator=(const Spooler&) = delete;
    ~Spooler();

    // Creates the job's output file anew (and its folder if need be).
    bool Open(const std::wstring& path, std::string* error);
    void Close();

    HANDLE printer() const { return reinterpret_cast<HANDLE>(const_cast<char*>(&token_)); }

    // Sends `module`'s calls of winspool's WritePrinter here; false when it imports none.
    bool Redirect(HMODULE module);
    void EndRedirect() { patch_.Restore(); }

    // The spooler's WritePrinter: appends to the file for our handle, passes any other on.
    BOOL Write(HANDLE printer, const void* data, DWORD size, DWORD* written);

    unsigned long long bytes() const { return bytes_; }
    int calls() const { return calls_; }
    int foreignCalls() const { return foreignCalls_; }

private:
    static BOOL WINAPI WritePrinterStandIn(HANDLE printer, LPVOID data, DWORD size, LPDWORD written);
    static Spooler* current_;

    char token_ = 0;
    std::unique_ptr<UniqueFile> file_;
    ImportPatch patch_;
    unsigned long long bytes_ = 0;
    int calls_ = 0;
    int foreignCalls_ = 0;
};

// The core driver's output stage: it collects the job's bytes (its own and the plug-in's
// DrvWriteSpoolBuf pieces, in order) and hands them on block by block, to the plug-in's
// WritePrinter when the plug-in takes the output, else to the spooler itself.
class OutputStage final : public JobOutput {
public:
    explicit OutputStage(Spooler* spooler) : spooler_(spooler) {}

    void Put(const void* data, DWORD size) override;
    void Route(IPrintOemPS2* plugin, PDEVOBJ device) {
        plugin_ = plugin;
        device_ = device;
    }
    // False when a block was refused; the refused bytes are dropped, as a driver drops a job.
    bool Flush();
    bool FlushIfFull() { return pending_.size() < kBlock || Flush(); }

    unsigned long long total() const { return total_; }
    // The first bytes of the job, whether or not they have been handed on yet.
    bool StartsWith(std::string_view prefix) const { return head_.compare(0, prefix.size(), prefix) == 0; }
    unsigned long long pendingBytes() const { return pending_.size(); }
    int blocks() const { return blocks_; }
    const std::string& lastError() const { return lastError_; }

    static constexpr size_t kBlock = 16384;
    static constexpr size_t kHead = 64;

private:
    Spooler* spooler_;
    IPrintOemPS2* plugin_ = nullptr;
    PDEVOBJ device_ = nullptr;
    std::string pending_;
    std::string head_;
    unsigned long long total_ = 0;
    int blocks_ = 0;
    std::string lastError_;
};

}  // namespace corv::host
