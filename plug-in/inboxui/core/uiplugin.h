// The UI plug-in object: IPrintOemUI2 as the core driver calls it. Each method is a short line of
// checks that hands the work to its unit: the sheets (sheets.h, pagetable.h), the option items and
// their callback (optionitems.h), the printer and driver events (printerevents.h), the document
// events (docevents.h) and the record's DevMode (common/record.h).
#pragma once

#include "common/platform/oemintf.h"
#include "plug-in/inboxui/core/sheetcontext.h"

namespace corv::ui {

class UiPlugin final : public IPrintOemUI2 {
public:
    UiPlugin();
    UiPlugin(const UiPlugin&) = delete;
    UiPlugin& operator=(const UiPlugin&) = delete;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IPrintOemCommon
    STDMETHOD(GetInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override;
    STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM param) override;
    // IPrintOemUI
    STDMETHOD(PublishDriverInterface)(IUnknown* driverInterface) override;
    STDMETHOD(CommonUIProp)(DWORD mode, POEMCUIPPARAM param) override;
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO info, LPARAM lParam) override;
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO info, LPARAM lParam) override;
    STDMETHOD(DevQueryPrintEx)(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) override;
    STDMETHOD(DeviceCapabilities)(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*) override;
    STDMETHOD(UpgradePrinter)(DWORD, PBYTE) override;
    STDMETHOD(PrinterEvent)(PWSTR printerName, INT event, DWORD flags, LPARAM lParam) override;
    STDMETHOD(DriverEvent)(DWORD event, DWORD level, LPBYTE driverInfo, LPARAM lParam) override;
    STDMETHOD(QueryColorProfile)(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*, ULONG*, FLONG*) override;
    STDMETHOD(FontInstallerDlgProc)(HWND, UINT, WPARAM, LPARAM) override;
    STDMETHOD(UpdateExternalFonts)(HANDLE, HANDLE, PWSTR) override;
    // IPrintOemUI2
    STDMETHOD(QueryJobAttributes)(HANDLE, PDEVMODEW, DWORD, LPBYTE) override;
    STDMETHOD(HideStandardUI)(DWORD) override;
    STDMETHOD(DocumentEvent)(HANDLE printer, HDC dc, INT event, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                             PINT result) override;

    // What the option-item callback needs of the object that installed it.
    POPTITEM pageOrderItem() const { return pageOrderItem_; }
    POPTITEM nupItem() const { return nupItem_; }
    SheetContext* documentContext() const { return documentContext_; }

private:
    ~UiPlugin();  // only Release destroys

    void forgetDocumentContext();

    // The driver's, from the last CommonUIProp that handed items; forgotten at the next such call
    // and when the document sheet ends, since the driver may free them then.
    POPTITEM pageOrderItem_ = nullptr;
    POPTITEM nupItem_ = nullptr;
    LONG refs_ = 1;
    IPrintCoreUI2* core_ = nullptr;  // one reference, from PublishDriverInterface
    SheetContext* documentContext_ = nullptr;
    HANDLE documentHeap_ = nullptr;  // the heap documentContext_ came from
};

// ---- The module ------------------------------------------------------------------------------

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT CanUnloadNow();
// Plug-in objects alive in this module, for DllCanUnloadNow.
LONG LiveObjectCount();
void ObjectCreated();
void ObjectDestroyed();

}  // namespace corv::ui
