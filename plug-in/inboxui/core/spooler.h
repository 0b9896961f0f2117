// The spooler's "ask for the size, then read into a block of that size", written once. Each
// reader returns the block it owns: zero-filled, from the process heap, and empty when the
// spooler refused either call or answered a size too small for the structure. The spooler packs
// the structure's strings after it, inside the same block.
//
//     SpoolerBlock<PRINTER_INFO_2W> info = ReadPrinterInfo2(printer);
//     if (info && info->pDriverName) CopyText(name, info->pDriverName);
#pragma once

#include "common/handles.h"

#include <windows.h>
#include <winspool.h>

namespace corv::ui {

template <typename Info>
class SpoolerBlock {
public:
    SpoolerBlock() = default;
    SpoolerBlock(HeapArray<BYTE> block, DWORD size) : block_(std::move(block)), size_(size) {}

    Info* get() const { return reinterpret_cast<Info*>(block_.get()); }
    Info* operator->() const { return get(); }
    explicit operator bool() const { return static_cast<bool>(block_); }
    DWORD size() const { return size_; }

    // Characters from text to the block's end: how far a string the spooler packed may be read.
    // 0 for a null pointer or one outside the block.
    size_t CharactersWithin(const WCHAR* text) const {
        const BYTE* begin = block_.get();
        const auto* at = reinterpret_cast<const BYTE*>(text);
        if (!begin || !at || at < begin || at >= begin + size_) return 0;
        return static_cast<size_t>(begin + size_ - at) / sizeof(WCHAR);
    }

private:
    HeapArray<BYTE> block_{0};
    DWORD size_ = 0;
};

SpoolerBlock<PRINTER_INFO_2W> ReadPrinterInfo2(HANDLE printer);
SpoolerBlock<DRIVER_INFO_2W> ReadDriverInfo2(HANDLE printer);
SpoolerBlock<DRIVER_INFO_3W> ReadDriverInfo3(HANDLE printer);
SpoolerBlock<DRIVER_INFO_6W> ReadDriverInfo6(HANDLE printer);
SpoolerBlock<JOB_INFO_1W> ReadJobInfo1(HANDLE printer, DWORD job);

}  // namespace corv::ui
