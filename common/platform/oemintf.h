// Declarations of the PostScript driver's plug-in interfaces that mingw-w64 does not ship:
// the rendering and UI plug-in interfaces, the core driver's helper interfaces, their GUIDs and
// the structures they exchange. Layouts are the x64 layouts the core driver is built with; every
// size and offset is pinned with a static_assert so a slip cannot compile.
//
// Vtable order is the order of the interface chain (IUnknown, IPrintOemCommon, IPrintOemEngine,
// IPrintOemPS, IPrintOemPS2 on the rendering side), not the alphabetical order of the reference
// pages. None of these classes may get a virtual destructor: it would add vtable slots.
#pragma once

#ifndef UNICODE
#error "the driver works in Unicode: build with -DUNICODE -D_UNICODE"
#endif

#include <windows.h>
#include <winspool.h>
#include <winddi.h>
#include <prsht.h>
#include <compstui.h>
#include <winddiui.h>

#include <cstddef>

// ---------------------------------------------------------------------------------------------
// GUIDs

inline constexpr GUID CLSID_OEMRENDER = {0x6d6abf26, 0x9f38, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr GUID CLSID_OEMUI = {0xabce80d7, 0x9f46, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr GUID IID_IPrintOemCommon = {0x7f42285e, 0x91d5, 0x11d1, {0x88, 0x20, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr GUID IID_IPrintOemEngine = {0x63d17590, 0x91d8, 0x11d1, {0x88, 0x20, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr GUID IID_IPrintOemUI = {0xc6a7a9d0, 0x774c, 0x11d1, {0x94, 0x7f, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
inline constexpr GUID IID_IPrintOemUI2 = {0x292515f9, 0xb54b, 0x489b, {0x92, 0x75, 0xba, 0xb5, 0x68, 0x21, 0x39, 0x5e}};
inline constexpr GUID IID_IPrintOemDriverUI = {0x92b05d50, 0x78bc, 0x11d1, {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
inline constexpr GUID IID_IPrintCoreUI2 = {0x085ccfca, 0x3adf, 0x4c9e, {0xb4, 0x91, 0xd8, 0x51, 0xa6, 0xed, 0xc9, 0x97}};
inline constexpr GUID IID_IPrintOemPS = {0x688342b5, 0x8e1a, 0x11d1, {0x88, 0x1f, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr GUID IID_IPrintOemPS2 = {0xbecf7f34, 0x51b3, 0x46c9, {0x8a, 0x1c, 0x18, 0x67, 0x9b, 0xd2, 0x1f, 0x36}};
inline constexpr GUID IID_IPrintOemDriverPS = {0xd90060c7, 0x8e1a, 0x11d1, {0x88, 0x1f, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr GUID IID_IPrintCorePS2 = {0xcdbb0b0b, 0xa917, 0x40d7, {0x9f, 0xbf, 0x48, 0x3b, 0x3b, 0xe7, 0xef, 0x22}};

// ---------------------------------------------------------------------------------------------
// Constants

inline constexpr DWORD PRINTER_OEMINTF_VERSION = 0x00010000;
inline constexpr DWORD OEM_MODE_PUBLISHER = 0x00000001;

inline constexpr DWORD OEMGI_GETSIGNATURE = 1;
inline constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
inline constexpr DWORD OEMGI_GETVERSION = 3;
inline constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;
inline constexpr DWORD OEMGI_GETREQUESTEDHELPERINTERFACES = 5;

inline constexpr DWORD OEMPUBLISH_DEFAULT = 0;
inline constexpr DWORD OEMPUBLISH_IPRINTCOREHELPER = 1;

inline constexpr DWORD OEMDM_SIZE = 1;
inline constexpr DWORD OEMDM_DEFAULT = 2;
inline constexpr DWORD OEMDM_CONVERT = 3;
inline constexpr DWORD OEMDM_MERGE = 4;

inline constexpr DWORD OEMCUIP_DOCPROP = 1;
inline constexpr DWORD OEMCUIP_PRNPROP = 2;

// Attribute data types delivered through pdwDataType.
enum EATTRIBUTE_DATATYPE {
    kADT_UNKNOWN,
    kADT_BOOL,
    kADT_INT,
    kADT_LONG,
    kADT_DWORD,
    kADT_ASCII,
    kADT_UNICODE,
    kADT_BINARY,
    kADT_SIZE,
    kADT_RECT,
    kADT_CUSTOMSIZEPARAMS,
};

// DEVMODE and property sheet flags that mingw's winddiui.h lacks.
#ifndef DM_ADVANCED
#define DM_ADVANCED 0x10
#endif
#ifndef DM_NOPERMISSION
#define DM_NOPERMISSION 0x20
#endif
#ifndef DM_USER_DEFAULT
#define DM_USER_DEFAULT 0x40
#endif
#ifndef DPS_NOPERMISSION
#define DPS_NOPERMISSION 0x0001
#endif

// ---------------------------------------------------------------------------------------------
// Structures of the rendering side

struct _DRVPROCS;
typedef struct _DEVOBJ* PDEVOBJ;
typedef PVOID PDEVOEM;

typedef DWORD(APIENTRY* PFN_DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);
typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                PDWORD pcbNeeded, PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem, DWORD dwPreviousSelection,
                                               DWORD dwMode);
typedef BOOL(APIENTRY* PFN_DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption);

typedef struct _DRVPROCS {
    PFN_DrvWriteSpoolBuf DrvWriteSpoolBuf;
    PVOID DrvXMoveTo;
    PVOID DrvYMoveTo;
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PVOID BGetStandardVariable;
    PVOID DrvUnidriverTextOut;
    PVOID DrvWriteAbortBuf;
} DRVPROCS, *PDRVPROCS;

typedef struct _DEVOBJ {
    DWORD dwSize;
    PDEVOEM pdevOEM;
    HANDLE hEngine;
    HANDLE hPrinter;
    HANDLE hOEM;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PDRVPROCS pDrvProcs;
} DEVOBJ;

typedef struct _OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODEW pPublicDMIn;
    PDEVMODEW pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
} OEMDMPARAM, *POEMDMPARAM;

typedef struct _OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

typedef struct _PUBLISHERINFO {
    DWORD dwMode;
    WORD wMinoutlinePPEM;
    WORD wMaxbitmapPPEM;
} PUBLISHERINFO, *PPUBLISHERINFO;

// ---------------------------------------------------------------------------------------------
// Structures of the UI side

typedef struct _OEMUIPROCS {
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PFN_DrvUpdateUISetting DrvUpdateUISetting;
} OEMUIPROCS, *POEMUIPROCS;

typedef struct _OEMUIOBJ {
    DWORD cbSize;
    POEMUIPROCS pOemUIProcs;
} OEMUIOBJ, *POEMUIOBJ;

typedef struct _OEMUIPSPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
} OEMUIPSPARAM, *POEMUIPSPARAM;

typedef struct _OEMCUIPPARAM* POEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, POEMCUIPPARAM);

typedef struct _OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
} OEMCUIPPARAM;

typedef struct _USERDATA {
    DWORD dwSize;
    ULONG_PTR dwItemID;
    PSTR pKeyWordName;
    DWORD dwReserved[8];
} USERDATA, *PUSERDATA;

typedef struct _DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

typedef struct _DEVICEPROPERTYHEADER {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

typedef struct _DEVQUERYPRINT_INFO {
    WORD cbSize;
    WORD Level;
    HANDLE hPrinter;
    DEVMODEW* pDevMode;
    LPWSTR pszErrorStr;
    DWORD cchErrorStr;
    DWORD cchNeeded;
} DEVQUERYPRINT_INFO, *PDEVQUERYPRINT_INFO;

// The PostScript driver's own private DEVMODE part ends with its size; plug-in sections follow it.
typedef struct _PSCRIPT5_PRIVATE_DEVMODE {
    WORD wReserved[57];
    WORD wSize;
} PSCRIPT5_PRIVATE_DEVMODE;

// ---------------------------------------------------------------------------------------------
// Rendering side interfaces

struct IPrintOemCommon : public IUnknown {
    STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
};

struct IPrintOemEngine : public IPrintOemCommon {
    STDMETHOD(EnableDriver)(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) = 0;
    STDMETHOD(DisableDriver)() = 0;
    STDMETHOD(EnablePDEV)(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns, HSURF* phsurfPatterns, ULONG cjGdiInfo,
                          GDIINFO* pGdiInfo, ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                          PDEVOEM* pDevOem) = 0;
    STDMETHOD(DisablePDEV)(PDEVOBJ pdevobj) = 0;
    STDMETHOD(ResetPDEV)(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) = 0;
};

struct IPrintOemPS : public IPrintOemEngine {
    STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) = 0;
    STDMETHOD(Command)(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData, DWORD cbSize, DWORD* pdwResult) = 0;
};

struct IPrintOemPS2 : public IPrintOemPS {
    STDMETHOD(WritePrinter)(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten) = 0;
    STDMETHOD(GetPDEVAdjustment)(PDEVOBJ pdevobj, DWORD dwAdjustType, PVOID pBuf, DWORD cbBuffer,
                                 BOOL* pbAdjustmentDone) = 0;
};

// The core driver's helper on the rendering side derives from IUnknown directly.
struct IPrintCorePS2 : public IUnknown {
    STDMETHOD(DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) = 0;
    STDMETHOD(GetOptions)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pmszFeaturesRequested, DWORD cbIn,
                          PSTR pmszFeatureOptionBuf, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(GetGlobalAttribute)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszAttribute, PDWORD pdwDataType,
                                  PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(GetFeatureAttribute)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszAttribute,
                                   PDWORD pdwDataType, PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(GetOptionAttribute)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszOptionKeyword,
                                  PCSTR pszAttribute, PDWORD pdwDataType, PBYTE pbData, DWORD cbSize,
                                  PDWORD pcbNeeded) = 0;
    STDMETHOD(EnumFeatures)(PDEVOBJ pdevobj, DWORD dwFlags, PSTR pmszFeatureList, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(EnumOptions)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PSTR pmszOptionList, DWORD cbSize,
                           PDWORD pcbNeeded) = 0;
};

// ---------------------------------------------------------------------------------------------
// UI side interfaces

struct IPrintOemUI : public IPrintOemCommon {
    STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) = 0;
    STDMETHOD(CommonUIProp)(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) = 0;
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) = 0;
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) = 0;
    STDMETHOD(DevQueryPrintEx)(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM,
                               PVOID pOEMDM) = 0;
    STDMETHOD(DeviceCapabilities)(POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName, WORD wCapability,
                                  PVOID pOutput, PDEVMODEW pPublicDM, PVOID pOEMDM, DWORD dwOld,
                                  DWORD* dwResult) = 0;
    STDMETHOD(UpgradePrinter)(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
    STDMETHOD(PrinterEvent)(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) = 0;
    STDMETHOD(DriverEvent)(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) = 0;
    STDMETHOD(QueryColorProfile)(HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM, PVOID pOEMDM,
                                 ULONG ulQueryMode, VOID* pvProfileData, ULONG* pcbProfileData,
                                 FLONG* pflProfileData) = 0;
    STDMETHOD(FontInstallerDlgProc)(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) = 0;
    STDMETHOD(UpdateExternalFonts)(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) = 0;
};

struct IPrintOemUI2 : public IPrintOemUI {
    STDMETHOD(QueryJobAttributes)(HANDLE hPrinter, PDEVMODEW pDevmode, DWORD dwLevel, LPBYTE lpAttributeInfo) = 0;
    STDMETHOD(HideStandardUI)(DWORD dwMode) = 0;
    STDMETHOD(DocumentEvent)(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                             PINT piResult) = 0;
};

struct IPrintOemDriverUI : public IUnknown {
    STDMETHOD(DrvGetDriverSetting)(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
                                   PDWORD pdwOptionsReturned) = 0;
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) = 0;
    STDMETHOD(DrvUpdateUISetting)(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) = 0;
};

struct IPrintCoreUI2 : public IPrintOemDriverUI {
    STDMETHOD(GetOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pmszFeaturesRequested, DWORD cbIn,
                          PSTR pmszFeatureOptionBuf, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(SetOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pmszFeatureOptionBuf, DWORD cbIn,
                          PDWORD pdwResult) = 0;
    STDMETHOD(EnumConstrainedOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword,
                                      PSTR pmszConstrainedOptionList, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(WhyConstrained)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszOptionKeyword,
                              PSTR pmszReasonList, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(GetGlobalAttribute)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszAttribute, PDWORD pdwDataType,
                                  PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(GetFeatureAttribute)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszAttribute,
                                   PDWORD pdwDataType, PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(GetOptionAttribute)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword,
                                  PCSTR pszOptionKeyword, PCSTR pszAttribute, PDWORD pdwDataType, PBYTE pbData,
                                  DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(EnumFeatures)(POEMUIOBJ poemuiobj, DWORD dwFlags, PSTR pmszFeatureList, DWORD cbSize,
                            PDWORD pcbNeeded) = 0;
    STDMETHOD(EnumOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PSTR pmszOptionList,
                           DWORD cbSize, PDWORD pcbNeeded) = 0;
    STDMETHOD(QuerySimulationSupport)(HANDLE hPrinter, DWORD dwLevel, PBYTE pCaps, DWORD cbSize,
                                      PDWORD pcbNeeded) = 0;
};

// ---------------------------------------------------------------------------------------------
// Layout checks (x64)

static_assert(sizeof(void*) == 8, "the plug-ins are built for x64 only");

static_assert(sizeof(DEVOBJ) == 64);
static_assert(offsetof(DEVOBJ, pdevOEM) == 8);
static_assert(offsetof(DEVOBJ, hEngine) == 16);
static_assert(offsetof(DEVOBJ, hPrinter) == 24);
static_assert(offsetof(DEVOBJ, hOEM) == 32);
static_assert(offsetof(DEVOBJ, pPublicDM) == 40);
static_assert(offsetof(DEVOBJ, pOEMDM) == 48);
static_assert(offsetof(DEVOBJ, pDrvProcs) == 56);
static_assert(sizeof(DRVPROCS) == 56);

static_assert(sizeof(OEMDMPARAM) == 72);
static_assert(offsetof(OEMDMPARAM, pdriverobj) == 8);
static_assert(offsetof(OEMDMPARAM, hPrinter) == 16);
static_assert(offsetof(OEMDMPARAM, hModule) == 24);
static_assert(offsetof(OEMDMPARAM, pPublicDMIn) == 32);
static_assert(offsetof(OEMDMPARAM, pPublicDMOut) == 40);
static_assert(offsetof(OEMDMPARAM, pOEMDMIn) == 48);
static_assert(offsetof(OEMDMPARAM, pOEMDMOut) == 56);
static_assert(offsetof(OEMDMPARAM, cbBufSize) == 64);

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12);
static_assert(sizeof(PUBLISHERINFO) == 8);
static_assert(offsetof(PUBLISHERINFO, wMaxbitmapPPEM) == 6);

static_assert(sizeof(OEMUIPROCS) == 16);
static_assert(sizeof(OEMUIOBJ) == 16);
static_assert(offsetof(OEMUIOBJ, pOemUIProcs) == 8);

static_assert(sizeof(OEMUIPSPARAM) == 88);
static_assert(offsetof(OEMUIPSPARAM, poemuiobj) == 8);
static_assert(offsetof(OEMUIPSPARAM, hPrinter) == 16);
static_assert(offsetof(OEMUIPSPARAM, pPrinterName) == 24);
static_assert(offsetof(OEMUIPSPARAM, hModule) == 32);
static_assert(offsetof(OEMUIPSPARAM, hOEMHeap) == 40);
static_assert(offsetof(OEMUIPSPARAM, pPublicDM) == 48);
static_assert(offsetof(OEMUIPSPARAM, pOEMDM) == 56);
static_assert(offsetof(OEMUIPSPARAM, pOEMUserData) == 64);
static_assert(offsetof(OEMUIPSPARAM, dwFlags) == 72);
static_assert(offsetof(OEMUIPSPARAM, pOemEntry) == 80);

static_assert(sizeof(OEMCUIPPARAM) == 120);
static_assert(offsetof(OEMCUIPPARAM, poemuiobj) == 8);
static_assert(offsetof(OEMCUIPPARAM, hPrinter) == 16);
static_assert(offsetof(OEMCUIPPARAM, pPrinterName) == 24);
static_assert(offsetof(OEMCUIPPARAM, hModule) == 32);
static_assert(offsetof(OEMCUIPPARAM, hOEMHeap) == 40);
static_assert(offsetof(OEMCUIPPARAM, pPublicDM) == 48);
static_assert(offsetof(OEMCUIPPARAM, pOEMDM) == 56);
static_assert(offsetof(OEMCUIPPARAM, dwFlags) == 64);
static_assert(offsetof(OEMCUIPPARAM, pDrvOptItems) == 72);
static_assert(offsetof(OEMCUIPPARAM, cDrvOptItems) == 80);
static_assert(offsetof(OEMCUIPPARAM, pOEMOptItems) == 88);
static_assert(offsetof(OEMCUIPPARAM, cOEMOptItems) == 96);
static_assert(offsetof(OEMCUIPPARAM, pOEMUserData) == 104);
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == 112);

static_assert(sizeof(USERDATA) == 56);
static_assert(offsetof(USERDATA, dwItemID) == 8);
static_assert(offsetof(USERDATA, pKeyWordName) == 16);
static_assert(offsetof(USERDATA, dwReserved) == 24);

static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 48);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, hPrinter) == 8);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, pszPrinterName) == 16);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, pdmIn) == 24);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, pdmOut) == 32);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, cbOut) == 40);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, fMode) == 44);
static_assert(sizeof(DEVICEPROPERTYHEADER) == 24);
static_assert(offsetof(DEVICEPROPERTYHEADER, hPrinter) == 8);
static_assert(sizeof(DEVQUERYPRINT_INFO) == 40);
static_assert(offsetof(DEVQUERYPRINT_INFO, cchNeeded) == 36);
static_assert(sizeof(PSCRIPT5_PRIVATE_DEVMODE) == 116);
static_assert(offsetof(PSCRIPT5_PRIVATE_DEVMODE, wSize) == 114);

// Platform structures the record and escape layouts depend on.
static_assert(sizeof(DRVENABLEDATA) == 16);
static_assert(sizeof(DRVFN) == 16);
static_assert(offsetof(DRVFN, pfn) == 8);
static_assert(sizeof(DEVMODEW) == 220);
static_assert(sizeof(SYSTEMTIME) == 16);
static_assert(sizeof(OPTITEM) == 88);
static_assert(sizeof(PROPSHEETUI_INFO) == 48);
static_assert(offsetof(PROPSHEETUI_INFO, lParamInit) == 24);
static_assert(offsetof(PROPSHEETUI_INFO, UserData) == 32);
static_assert(offsetof(PROPSHEETUI_INFO, Result) == 40);
static_assert(sizeof(DOCEVENT_FILTER) == 20);
static_assert(sizeof(DOCEVENT_ESCAPE) == 16);
