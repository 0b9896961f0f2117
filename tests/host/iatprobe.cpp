// Calls imported functions through its own import table, as the plug-ins do.
#include <windows.h>
#include <winspool.h>

extern "C" __declspec(dllexport) BOOL ProbeWritePrinter(HANDLE printer, void* data, DWORD size, DWORD* written) {
    return WritePrinter(printer, data, size, written);
}

extern "C" __declspec(dllexport) int ProbeGetDeviceCaps(HDC dc, int index) { return GetDeviceCaps(dc, index); }

extern "C" __declspec(dllexport) int ProbeExtEscape(HDC dc, int code, int inSize, LPCSTR in, int outSize, LPSTR out) {
    return ExtEscape(dc, code, inSize, in, outSize, out);
}
