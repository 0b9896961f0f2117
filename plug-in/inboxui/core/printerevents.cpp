#include "plug-in/inboxui/core/printerevents.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/spooler.h"

namespace corv::ui {

bool DerivePrintProcessorName(const WCHAR* dataFile, WCHAR (&name)[kProcessorNameCapacity]) {
    name[0] = 0;
    if (!dataFile) return false;
    size_t length = BoundedLength(dataFile, kProcessorNameCapacity - 1);
    size_t start = 0;
    for (size_t i = 0; i < length; ++i)
        if (dataFile[i] == L'\\') start = i + 1;
    const WCHAR* file = dataFile + start;
    size_t fileLength = length - start;
    size_t dot = 0;
    while (dot < fileLength && file[dot] != L'.') ++dot;
    if (dot == fileLength || dot == 0 || fileLength - dot < 4) return false;
    CopyText(name, file, dot);
    name[dot - 1] = L'C';
    return true;
}

HRESULT InitializePrinterProcessor(const WCHAR* printerName) {
    if (!printerName) return E_FAIL;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    UniquePrinter printer;
    if (!OpenPrinterW(const_cast<LPWSTR>(printerName), printer.put(), &access) || !printer) return E_FAIL;

    SpoolerBlock<DRIVER_INFO_2W> driver = ReadDriverInfo2(printer.get());
    if (!driver) return E_FAIL;
    // The data file's text is read only as far as the spooler's block reaches.
    WCHAR dataFile[kProcessorNameCapacity] = {};
    if (size_t reach = driver.CharactersWithin(driver->pDataFile)) CopyText(dataFile, driver->pDataFile, reach);
    WCHAR processor[kProcessorNameCapacity];
    DerivePrintProcessorName(dataFile, processor);

    SpoolerBlock<PRINTER_INFO_2W> info = ReadPrinterInfo2(printer.get());
    if (!info) return E_FAIL;
    // Where no name can be derived, the printer keeps the print processor it has rather than get
    // the empty name written: a printer without a print processor prints nothing at all.
    if (processor[0]) {
        info->pPrintProcessor = processor;
        SetPrinterW(printer.get(), 2, reinterpret_cast<BYTE*>(info.get()), 0);
    }
    return S_OK;
}

const WCHAR* DriverNameOf(DWORD level, const BYTE* driverInfo) {
    if (!driverInfo) return nullptr;
    if (level == 1) return reinterpret_cast<const DRIVER_INFO_1W*>(driverInfo)->pName;
    if (level == 2 || level == 3) return reinterpret_cast<const DRIVER_INFO_2W*>(driverInfo)->pName;
    return nullptr;
}

}  // namespace corv::ui
