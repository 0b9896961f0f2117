#include "plug-in/inboxui/core/spooler.h"

namespace corv::ui {
namespace {

// read(buffer, size, &needed) is one spooler call; it is made once with no buffer for the size
// and once more into a block of that size.
template <typename Info, typename Read>
SpoolerBlock<Info> AskThenRead(Read read) {
    DWORD needed = 0;
    read(nullptr, 0, &needed);
    if (needed < sizeof(Info)) return {};
    HeapArray<BYTE> block(needed);
    DWORD size = needed;
    if (!block || !read(block.get(), size, &needed)) return {};
    return SpoolerBlock<Info>(std::move(block), size);
}

template <typename Info>
SpoolerBlock<Info> ReadDriverInfo(HANDLE printer, DWORD level) {
    if (!printer) return {};
    return AskThenRead<Info>([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return GetPrinterDriverW(printer, nullptr, level, buffer, size, needed);
    });
}

}  // namespace

SpoolerBlock<PRINTER_INFO_2W> ReadPrinterInfo2(HANDLE printer) {
    if (!printer) return {};
    return AskThenRead<PRINTER_INFO_2W>(
        [&](BYTE* buffer, DWORD size, DWORD* needed) { return GetPrinterW(printer, 2, buffer, size, needed); });
}

SpoolerBlock<DRIVER_INFO_2W> ReadDriverInfo2(HANDLE printer) { return ReadDriverInfo<DRIVER_INFO_2W>(printer, 2); }
SpoolerBlock<DRIVER_INFO_3W> ReadDriverInfo3(HANDLE printer) { return ReadDriverInfo<DRIVER_INFO_3W>(printer, 3); }
SpoolerBlock<DRIVER_INFO_6W> ReadDriverInfo6(HANDLE printer) { return ReadDriverInfo<DRIVER_INFO_6W>(printer, 6); }

SpoolerBlock<JOB_INFO_1W> ReadJobInfo1(HANDLE printer, DWORD job) {
    if (!printer) return {};
    return AskThenRead<JOB_INFO_1W>(
        [&](BYTE* buffer, DWORD size, DWORD* needed) { return GetJobW(printer, job, 1, buffer, size, needed); });
}

}  // namespace corv::ui
