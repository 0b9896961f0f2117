#include "plug-in/inboxui/core/uiplugin.h"

#include "common/record.h"
#include "plug-in/inboxui/core/docevents.h"
#include "plug-in/inboxui/core/optionitems.h"
#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/printerevents.h"
#include "plug-in/inboxui/core/sheets.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <cstring>

namespace corv::ui {
namespace {

HRESULT Fail(DWORD error) {
    SetLastError(error);
    return E_FAIL;
}

const JobSettings* DriverRecord(const void* oemDM) { return static_cast<const JobSettings*>(oemDM); }

DWORD NoPermission(DWORD driverFlags) { return (driverFlags & DM_NOPERMISSION) ? 1 : 0; }

}  // namespace

UiPlugin::UiPlugin() { ObjectCreated(); }

UiPlugin::~UiPlugin() {
    // A driver that releases the object without ending its document sheet would leave the
    // context in its heap for as long as the heap lives.
    FreeSheetContext(documentContext_, documentHeap_);
    if (core_) core_->Release();
    ObjectDestroyed();
}

void UiPlugin::forgetDocumentContext() {
    documentContext_ = nullptr;
    documentHeap_ = nullptr;
    // The remembered items are the driver's and end with its sheet.
    pageOrderItem_ = nullptr;
    nupItem_ = nullptr;
}

HRESULT UiPlugin::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI2)) {
        *out = static_cast<IPrintOemUI2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG UiPlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG UiPlugin::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT UiPlugin::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (!needed || (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO))
        return Fail(ERROR_INVALID_PARAMETER);
    *needed = sizeof(DWORD);
    if (!buffer || size < sizeof(DWORD)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (mode == OEMGI_GETPUBLISHERINFO) {
        *needed = 0;
        return Fail(ERROR_NOT_SUPPORTED);
    }
    DWORD value = mode == OEMGI_GETSIGNATURE ? kRecordSignature : kRecordVersion;
    std::memcpy(buffer, &value, sizeof value);
    return S_OK;
}

HRESULT UiPlugin::DevMode(DWORD mode, POEMDMPARAM param) {
    if (param && param->hPrinter) CopyDefaultUserSettings(param->hPrinter);
    return RecordDevMode(mode, param);
}

HRESULT UiPlugin::PublishDriverInterface(IUnknown* driverInterface) {
    if (core_) return S_OK;
    if (!driverInterface) return E_FAIL;
    void* core = nullptr;
    if (FAILED(driverInterface->QueryInterface(IID_IPrintCoreUI2, &core)) || !core) return E_FAIL;
    core_ = static_cast<IPrintCoreUI2*>(core);
    return S_OK;
}

HRESULT UiPlugin::CommonUIProp(DWORD mode, POEMCUIPPARAM param) {
    if (mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP) return Fail(ERROR_INVALID_PARAMETER);
    if (!param) return Fail(ERROR_INVALID_PARAMETER);
    if (mode == OEMCUIP_DOCPROP) {
        // Only this call's items count, even for a call that only asks our item count: the item
        // list of an earlier call may be gone.
        pageOrderItem_ = nullptr;
        nupItem_ = nullptr;
    }
    if (!param->pOEMOptItems) {
        param->cOEMOptItems = 0;  // no option items of our own
        return S_OK;
    }
    if (mode == OEMCUIP_PRNPROP) {
        HideInstallableOptions(param->pDrvOptItems, param->cDrvOptItems);
        return S_OK;
    }
    if (!documentContext_) {
        if (SheetContext* context = NewSheetContext(param->hOEMHeap)) {
            context->owner = this;
            context->core = core_;
            context->noPermission = NoPermission(param->dwFlags);
            if (const JobSettings* record = DriverRecord(param->pOEMDM))
                context->shownOrder = record->dwWatermarkOrder;
            documentContext_ = context;
            documentHeap_ = param->hOEMHeap;
        }
    }
    param->pOEMUserData = documentContext_;
    param->OEMCUIPCallback = &OptionItemCallback;
    RememberedItems items = FindRememberedItems(param->pDrvOptItems, param->cDrvOptItems);
    pageOrderItem_ = items.pageOrder;
    nupItem_ = items.nup;
    return S_OK;
}

HRESULT UiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return Fail(ERROR_INVALID_PARAMETER);
    if (AnswerCommonReason(info, lParam)) return S_OK;
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            auto* pageParams = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
            if (!pageParams) {
                info->Result = 1;
                return S_OK;
            }
            if (!documentContext_) {
                documentContext_ = NewSheetContext(pageParams->hOEMHeap);
                documentHeap_ = pageParams->hOEMHeap;
            }
            if (SheetContext* context = documentContext_) {
                FillSheetContext(context, *info, pageParams, core_, this);
                context->noPermission = NoPermission(pageParams->dwFlags);
                if (const JobSettings* record = DriverRecord(pageParams->pOEMDM)) {
                    context->shownOrder = record->dwWatermarkOrder;
                    CopyProfileFieldSet(&context->working, record);
                } else {
                    DefaultRecord(&context->working);
                }
            }
            info->UserData = reinterpret_cast<ULONG_PTR>(documentContext_);
            PageList pages = DocumentPages(AskPrinterFeatures(core_, pageParams->poemuiobj));
            info->Result = static_cast<ULONG_PTR>(AddPages(*info, pages, documentContext_));
            return S_OK;
        }
        case PROPSHEETUI_REASON_DESTROY: {
            auto* context = reinterpret_cast<SheetContext*>(info->UserData);
            bool applied = context && context->applied;
            if (context && context == documentContext_) {
                FreeSheetContext(context, documentHeap_);
                forgetDocumentContext();
            } else {
                FreeSheetContext(context, SheetContextHeap(context));
            }
            info->UserData = 0;
            if (applied && info->pfnComPropSheet)
                info->Result = static_cast<ULONG_PTR>(
                    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_SET_RESULT,
                                          reinterpret_cast<LPARAM>(info->hComPropSheet), CPSUI_OK));
            else
                info->Result = 1;
            return S_OK;
        }
        default:
            info->Result = 0;
            return S_OK;
    }
}

HRESULT UiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return Fail(ERROR_INVALID_PARAMETER);
    if (AnswerCommonReason(info, lParam)) return S_OK;
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            auto* pageParams = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
            if (!pageParams) {
                info->Result = 1;
                return S_OK;
            }
            SheetContext* context = NewSheetContext(pageParams->hOEMHeap);
            if (context) FillSheetContext(context, *info, pageParams, core_, this);
            info->UserData = reinterpret_cast<ULONG_PTR>(context);
            PageList pages;
            pages.rows[pages.count++] = &PrinterPage();
            info->Result = static_cast<ULONG_PTR>(AddPages(*info, pages, context));
            return S_OK;
        }
        case PROPSHEETUI_REASON_DESTROY: {
            auto* context = reinterpret_cast<SheetContext*>(info->UserData);
            FreeSheetContext(context, SheetContextHeap(context));
            info->UserData = 0;
            info->Result = 0;
            return S_OK;
        }
        default:
            info->Result = 0;
            return S_OK;
    }
}

HRESULT UiPlugin::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) { return E_NOTIMPL; }

HRESULT UiPlugin::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*) {
    return E_NOTIMPL;
}

HRESULT UiPlugin::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }

HRESULT UiPlugin::PrinterEvent(PWSTR printerName, INT event, DWORD, LPARAM) {
    if (event != PRINTER_EVENT_INITIALIZE) return S_OK;
    return InitializePrinterProcessor(printerName);
}

HRESULT UiPlugin::DriverEvent(DWORD event, DWORD level, LPBYTE driverInfo, LPARAM) {
    if (event != DRIVER_EVENT_INITIALIZE) return S_OK;
    if (const WCHAR* name = DriverNameOf(level, driverInfo)) InstallDefaultWatermarks(name);
    return S_OK;
}

HRESULT UiPlugin::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*, ULONG*, FLONG*) {
    return E_NOTIMPL;
}

HRESULT UiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }

HRESULT UiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

HRESULT UiPlugin::QueryJobAttributes(HANDLE, PDEVMODEW, DWORD, LPBYTE) { return E_NOTIMPL; }

HRESULT UiPlugin::HideStandardUI(DWORD) { return E_NOTIMPL; }

HRESULT UiPlugin::DocumentEvent(HANDLE printer, HDC dc, INT event, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                                PINT result) {
    return HandleDocumentEvent(printer, dc, event, cbIn, pvIn, cbOut, pvOut, result);
}

}  // namespace corv::ui
