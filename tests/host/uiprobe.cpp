// Calls the spooler functions of the UI plug-in through its own import table, as corvui.dll does.
#include <windows.h>
#include <winspool.h>

extern "C" __declspec(dllexport) BOOL ProbeOpenPrinter(LPWSTR name, HANDLE* printer) {
    return OpenPrinterW(name, printer, nullptr);
}
extern "C" __declspec(dllexport) BOOL ProbeClosePrinter(HANDLE printer) { return ClosePrinter(printer); }
extern "C" __declspec(dllexport) BOOL ProbeGetPrinter(HANDLE printer, DWORD level, BYTE* buffer, DWORD size,
                                                      DWORD* needed) {
    return GetPrinterW(printer, level, buffer, size, needed);
}
extern "C" __declspec(dllexport) BOOL ProbeSetPrinter(HANDLE printer, DWORD level, BYTE* info, DWORD command) {
    return SetPrinterW(printer, level, info, command);
}
extern "C" __declspec(dllexport) BOOL ProbeGetPrinterDriver(HANDLE printer, DWORD level, BYTE* buffer, DWORD size,
                                                            DWORD* needed) {
    return GetPrinterDriverW(printer, nullptr, level, buffer, size, needed);
}
extern "C" __declspec(dllexport) BOOL ProbeGetJob(HANDLE printer, DWORD job, DWORD level, BYTE* buffer, DWORD size,
                                                  DWORD* needed) {
    return GetJobW(printer, job, level, buffer, size, needed);
}
