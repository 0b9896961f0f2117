// The few platform types, constants and calls that the functional core names, for a native Linux
// build with clang and -fshort-wchar (wchar_t is then 16 bits, as on the platform). Only what the
// fuzzed sources use is here; layouts that the product headers pin with static_asserts are written
// out in full. Nothing of this reaches the plug-ins: they are built with mingw-w64's headers.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(sizeof(wchar_t) == 2, "the native core is built with -fshort-wchar");

#define WINAPI
#define APIENTRY
#define CALLBACK
#define STDMETHODCALLTYPE
#define STDMETHOD(method) virtual HRESULT method
#define STDMETHOD_(type, method) virtual type method
#define DECLSPEC_NOVTABLE

typedef uint8_t BYTE, UCHAR, *PBYTE, *LPBYTE;
typedef uint16_t WORD, USHORT, LANGID, *PWORD;
typedef int16_t SHORT;
typedef uint32_t DWORD, ULONG, UINT, FLONG, *PDWORD, *LPDWORD, *PULONG;
typedef int32_t LONG, INT, BOOL, HRESULT, LSTATUS, *PINT, *PLONG;
typedef int64_t LONGLONG, LONG_PTR, INT_PTR, LPARAM;
typedef uint64_t ULONGLONG, ULONG_PTR, UINT_PTR, WPARAM, SIZE_T, DWORD_PTR;
typedef wchar_t WCHAR, *PWSTR, *LPWSTR, *PWCHAR;
typedef const wchar_t *PCWSTR, *LPCWSTR;
typedef char CHAR, *PSTR, *LPSTR;
typedef const char *PCSTR, *LPCSTR;
typedef void VOID, *PVOID, *LPVOID, *HANDLE;
typedef const void* LPCVOID;
typedef LONG_PTR(APIENTRY* PFN)();

typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HWND__* HWND;
typedef struct HDC__* HDC;
typedef struct HKEY__* HKEY;
typedef DWORD REGSAM;
typedef struct HGDIOBJ__* HGDIOBJ;
typedef struct HSURF__* HSURF;
typedef struct DHPDEV__* DHPDEV;
typedef struct DHSURF__* DHSURF;
typedef struct HDEV__* HDEV;

#define TRUE 1
#define FALSE 0
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

#define S_OK ((HRESULT)0)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_FAIL ((HRESULT)0x80004005)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define ERROR_SUCCESS 0
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122

#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4

#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

#define HEAP_ZERO_MEMORY 0x00000008

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
typedef DWORD COLORREF;

// DEVMODE values the core reads.
#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
#define DMCOLOR_MONOCHROME 1
#define DMDUP_VERTICAL 2
#define DMDUP_HORIZONTAL 3

// Escapes.
#define QUERYESCSUPPORT 8
#define PASSTHROUGH 19
#define POSTSCRIPT_DATA 37
#define POSTSCRIPT_PASSTHROUGH 4115
#define POSTSCRIPT_IDENTIFY 4117
#define POSTSCRIPT_INJECTION 4118

// Injection points of the PostScript driver.
#define PSINJECT_BEGINSTREAM 1
#define PSINJECT_PSADOBE 2
#define PSINJECT_COMMENTS 11
#define PSINJECT_BEGINSETUP 16
#define PSINJECT_TRAILER 18
#define PSINJECT_EOF 19
#define PSINJECT_PAGENUMBER 100
#define PSINJECT_BEGINPAGESETUP 101
#define PSINJECT_ENDPAGESETUP 102
#define PSINJECT_PAGETRAILER 103
#define PSINJECT_SHOWPAGE 105

// Option items of the common property sheet.
#define TVOT_2STATES 0
#define TVOT_3STATES 1
#define TVOT_UDARROW 2
#define TVOT_TRACKBAR 3
#define TVOT_SCROLLBAR 4
#define TVOT_LISTBOX 5
#define TVOT_COMBOBOX 6
#define TVOT_EDITBOX 7
#define OPTIF_CHANGED 0x00000008

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID, CLSID;
typedef const GUID& REFIID;
typedef const GUID& REFCLSID;

struct IUnknown {
    STDMETHOD(QueryInterface)(REFIID riid, void** object) = 0;
    STDMETHOD_(ULONG, AddRef)() = 0;
    STDMETHOD_(ULONG, Release)() = 0;
};

struct POINT {
    LONG x;
    LONG y;
};
typedef POINT POINTL;
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE SIZEL;

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

// The printer fields of the public DEVMODE are laid out flat; the platform puts them in a union
// with the display fields, which the core never reads.
struct DEVMODEW {
    WCHAR dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    SHORT dmOrientation;
    SHORT dmPaperSize;
    SHORT dmPaperLength;
    SHORT dmPaperWidth;
    SHORT dmScale;
    SHORT dmCopies;
    SHORT dmDefaultSource;
    SHORT dmPrintQuality;
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    WCHAR dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmNup;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
typedef DEVMODEW *PDEVMODEW, *LPDEVMODEW;

// Graphics engine: the escape hook's surface and the driver function table.
struct SURFOBJ {
    DHSURF dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev;
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;
    PVOID pvBits;
    PVOID pvScan0;
    LONG lDelta;
    ULONG iUniq;
    ULONG iBitmapFormat;
    USHORT iType;
    USHORT fjBitmap;
};
struct DRVFN {
    ULONG iFunc;
    PFN pfn;
};
struct DRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;
    DRVFN* pdrvfn;
};
typedef DRVENABLEDATA* PDRVENABLEDATA;
struct GDIINFO;
struct DEVINFO;
#define INDEX_DrvStartDoc 34
#define INDEX_DrvEscape 24
typedef ULONG(APIENTRY* PFN_DrvEscape)(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID);

// Common property sheet.
struct OPTPARAM {
    WORD cbSize;
    BYTE Flags;
    BYTE Style;
    LPWSTR pData;
    ULONG_PTR IconID;
    LPARAM lParam;
    ULONG_PTR dwReserved[2];
};
typedef OPTPARAM* POPTPARAM;
struct OPTTYPE {
    WORD cbSize;
    BYTE Type;
    BYTE Flags;
    WORD Count;
    WORD BegCtrlID;
    POPTPARAM pOptParam;
    WORD Style;
    WORD wReserved[3];
    ULONG_PTR dwReserved[3];
};
typedef OPTTYPE* POPTTYPE;
struct OPTITEM {
    WORD cbSize;
    BYTE Level;
    BYTE DlgPageIdx;
    DWORD Flags;
    ULONG_PTR UserData;
    LPWSTR pName;
    union {
        LONG Sel;
        LPWSTR pSel;
    };
    PVOID pExtChkBox;
    POPTTYPE pOptType;
    DWORD HelpIndex;
    BYTE DMPubID;
    BYTE UserItemID;
    WORD wReserved;
    PVOID pOIExt;
    ULONG_PTR dwReserved[3];
};
typedef OPTITEM* POPTITEM;
struct PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reserved;
    HANDLE hComPropSheet;
    PVOID pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
};
typedef PROPSHEETUI_INFO* PPROPSHEETUI_INFO;
struct CPSUICBPARAM;
typedef CPSUICBPARAM* PCPSUICBPARAM;
struct DOCEVENT_FILTER {
    UINT cbSize;
    UINT cElementsAllocated;
    UINT cElementsNeeded;
    UINT cElementsReturned;
    DWORD aDocEventCall[1];
};
struct DOCEVENT_ESCAPE {
    int iEscape;
    int cjInput;
    PVOID pvInData;
};

// Calls. Those the pure code relies on behave as the platform documents (fuzz/shim/shim.cpp);
// the few that the shell halves of a fuzzed file make report failure.
extern "C" {
DWORD GetLastError();
void SetLastError(DWORD error);
HANDLE GetProcessHeap();
PVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, PVOID block);
INT MulDiv(INT number, INT numerator, INT denominator);
INT WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, INT units, LPSTR narrow, INT bytes,
                        LPCSTR defaultChar, BOOL* usedDefault);
INT CompareStringOrdinal(LPCWSTR a, INT aLength, LPCWSTR b, INT bLength, BOOL ignoreCase);
INT _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count);
INT _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, __builtin_va_list args);
LANGID GetSystemDefaultLangID();
BOOL GetUserNameA(LPSTR buffer, LPDWORD size);
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
}

// Named by the inline owners of common/handles.h; the fuzzed code never calls them.
BOOL CloseHandle(HANDLE);
LSTATUS RegCloseKey(HKEY);
BOOL ClosePrinter(HANDLE);
BOOL FreeLibrary(HMODULE);
BOOL DeleteObject(HGDIOBJ);
BOOL DeleteDC(HDC);
BOOL DestroyWindow(HWND);
HDC GetDC(HWND);
int ReleaseDC(HWND, HDC);
HGDIOBJ SelectObject(HDC, HGDIOBJ);
