// What the UI plug-in does when the spooler initialises a printer or a driver: the printer gets
// the print processor named after the driver's data file, and the driver's model key gets the
// default watermarks.
#pragma once

#include <windows.h>

#include <cstddef>

namespace corv::ui {

// Capacity of the print processor name, terminator included; the data file path is read up to
// one character less.
inline constexpr size_t kProcessorNameCapacity = 128;

// The print processor name for a driver data file path: the file name's part before its first
// dot with its last character turned into 'C' ("ABCD12P.PPD" gives "ABCD12C"). The dot must
// follow at least one character and start an extension of at least three more characters;
// otherwise the name is empty and the result false.
bool DerivePrintProcessorName(const WCHAR* dataFile, WCHAR (&name)[kProcessorNameCapacity]);

// PRINTER_EVENT_INITIALIZE: gives the printer the derived print processor. S_OK when the
// printer's data could be read, E_FAIL otherwise.
HRESULT InitializePrinterProcessor(const WCHAR* printerName);

// The driver name of a DRIVER_INFO of level 1, 2 or 3; null for other levels or no data.
const WCHAR* DriverNameOf(DWORD level, const BYTE* driverInfo);

}  // namespace corv::ui
